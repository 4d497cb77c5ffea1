#include "config/Settings.h"

#include "ConfigTestFiles.h"
#include "config/IniFile.h"
#include "support/Platform.h"
#include "support/fixtures/TestPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>
#include <gtest/gtest.h>

using configtest::ConfigFile;
using configtest::readBytes;
using configtest::writeBytes;

namespace {

const QByteArray AllKeysStored = "[CONF]\r\n"
                                 "PATH DOLVEX=srv:/dados/erp.fdb\r\n"
                                 "IDEMRPESA=emp-9\r\n"
                                 "IDLOCAL=12\r\n"
                                 "USUARIO=loja\r\n"
                                 "SENHA=p=w;d\r\n"
                                 "URLBASE=http://a/\r\n"
                                 "URLBASE2=http://b/\r\n"
                                 "URLBASE3=http://c/\r\n"
                                 "URLBASE4=http://d/\r\n"
                                 "chkCodEmpDolvex=SIM\r\n"
                                 "chkPostVenda=NAO\r\n"
                                 "chkGetPromo=NAO\r\n"
                                 "edtcodempdolvex=3\r\n"
                                 "edtApelidoEmp=Loja Promo\xE7\xE3o\r\n"
                                 "timerProm=301\r\n"
                                 "timerReenvio=601\r\n"
                                 "timerFecha=661\r\n"
                                 "timerVenda=91\r\n"
                                 "DataUltFecha=10/03/2023\r\n";

} // namespace

TEST(TConfig, NoFileGivesTheDefaultsAndCreatesNothing) {
    ConfigFile f;
    ConfigValues before = f.config.values();
    before.pathBDDolvex = QStringLiteral("left from before");
    before.buscaPromocoes = false;
    f.config.setValues(before);
    f.changes = 0;
    f.config.LoadConfig();
    const ConfigValues& c = f.config.values();
    for (const QString* text : {&c.pathBDDolvex, &c.idEmpresa, &c.idLocal, &c.usuario, &c.senha, &c.urlBase,
                                &c.urlBase2, &c.urlBase3, &c.urlBase4, &c.apelidoEmp}) {
        EXPECT_EQ(*text, "");
    }
    EXPECT_EQ(c.codEmpDolvex.text(), "");
    EXPECT_FALSE(c.usaCodEmpDolvex);
    EXPECT_TRUE(c.buscaPromocoes);
    EXPECT_TRUE(c.postaVendas);
    EXPECT_EQ(c.timerProm.value(), 300);
    EXPECT_EQ(c.timerReenvio.value(), 600);
    EXPECT_EQ(c.timerVenda.value(), 90);
    EXPECT_EQ(c.timerFecha.value(), 660);
    EXPECT_EQ(c.dataUltFecha, "01/11/2020");
    EXPECT_FALSE(QFileInfo::exists(f.path));
    EXPECT_TRUE(QDir(f.dir.path()).isEmpty());
    EXPECT_EQ(f.changes, 1);

    // A fresh object holds the same values before any load.
    const TConfig fresh(f.path);
    EXPECT_TRUE(fresh.values().buscaPromocoes && fresh.values().postaVendas &&
                !fresh.values().usaCodEmpDolvex);
    EXPECT_EQ(fresh.values().timerVenda.text(), "90");
    EXPECT_EQ(fresh.values().dataUltFecha, "01/11/2020");
}

TEST(TConfig, LoadsEveryKeyCaseBlind) {
    ConfigFile f;
    QByteArray lower = AllKeysStored;
    lower.replace("PATH DOLVEX", "path dolvex")
        .replace("[CONF]", "[conf]")
        .replace("timerVenda", "TIMERVENDA");
    const ConfigValues& c = f.load(lower).values();
    EXPECT_EQ(c.pathBDDolvex, "srv:/dados/erp.fdb");
    EXPECT_EQ(c.idEmpresa, "emp-9");
    EXPECT_EQ(c.idLocal, "12");
    EXPECT_EQ(c.usuario, "loja");
    EXPECT_EQ(c.senha, "p=w;d");
    EXPECT_EQ(c.urlBase, "http://a/");
    EXPECT_EQ(c.urlBase2, "http://b/");
    EXPECT_EQ(c.urlBase3, "http://c/");
    EXPECT_EQ(c.urlBase4, "http://d/");
    EXPECT_TRUE(c.usaCodEmpDolvex);
    EXPECT_FALSE(c.postaVendas);
    EXPECT_FALSE(c.buscaPromocoes);
    EXPECT_EQ(c.codEmpDolvex.value(), 3);
    EXPECT_EQ(c.apelidoEmp, QString::fromUtf8("Loja Promoção"));
    EXPECT_EQ(c.timerProm.value(), 301);
    EXPECT_EQ(c.timerReenvio.value(), 601);
    EXPECT_EQ(c.timerFecha.value(), 661);
    EXPECT_EQ(c.timerVenda.value(), 91);
    EXPECT_EQ(c.dataUltFecha, "10/03/2023");
}

TEST(TConfig, SwitchValuesAreComparedExactly) {
    struct Case {
        const char* stored; // nullptr: key missing
        bool codEmp;        // chkCodEmpDolvex: on only for "SIM"
        bool promoAndSales; // chkGetPromo, chkPostVenda: off only for "NAO"
    };
    const Case cases[] = {
        {"SIM", true, true}, {"sim", false, true}, {"NAO", false, false},   {"nao", false, true},
        {"0", false, true},  {"", false, true},    {" NAO ", false, false}, {nullptr, false, true},
    };
    for (const Case& c : cases) {
        ConfigFile f;
        const QByteArray value = c.stored ? QByteArray(c.stored) : QByteArray();
        const QByteArray content = c.stored
                                       ? "[CONF]\r\nchkCodEmpDolvex=" + value + "\r\nchkGetPromo=" + value +
                                             "\r\nchkPostVenda=" + value + "\r\n"
                                       : QByteArray("[CONF]\r\n");
        const ConfigValues& config = f.load(content).values();
        const char* name = c.stored ? c.stored : "(missing)";
        EXPECT_EQ(config.usaCodEmpDolvex, c.codEmp) << name;
        EXPECT_EQ(config.buscaPromocoes, c.promoAndSales) << name;
        EXPECT_EQ(config.postaVendas, c.promoAndSales) << name;
    }
}

TEST(TConfig, IntervalsOfValueZeroTakeTheirDefaults) {
    struct Case {
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {
        {"0", "90"},
        {"", "90"},
        {"abc", "90"},
        {"45s", "45"},
        {"  120 ", "120"},
        {"-0", "90"},
        {"00", "90"},
        {"99999999999", "90"},
        {"2147483647", "2147483647"},
    };
    for (const Case& c : cases) {
        ConfigFile f;
        const QByteArray content =
            QByteArray("[CONF]\r\ntimerVenda=") + c.stored + "\r\nedtcodempdolvex=" + c.stored + "\r\n";
        const ConfigValues& config = f.load(content).values();
        EXPECT_EQ(config.timerVenda.text(), c.shown) << c.stored;
        // The company code has no default: what the edit keeps stays.
        TNumericValue code;
        code.setText(QString::fromLatin1(c.stored).trimmed());
        EXPECT_EQ(config.codEmpDolvex, code) << c.stored;
        // The file is not changed by the load.
        EXPECT_EQ(readBytes(f.path), content);
    }
}

TEST(TNumericValue, KeepsDigitsAndALeadingSign) {
    struct Case {
        const char* input;
        const char* text;
        qint32 value;
    };
    const Case cases[] = {
        {"45s", "45", 45},
        {"-12", "-12", -12},
        {"+7", "+7", 7},
        {"1-2", "12", 12},
        {" -5", "5", 5},
        {"--5", "-5", -5},
        {"abc", "", 0},
        {"-", "-", 0},
        {"", "", 0},
        {"1.000,50", "100050", 100050},
        {"2147483647", "2147483647", 2147483647},
        {"-2147483648", "-2147483648", -2147483647 - 1},
        {"2147483648", "2147483648", 0},
    };
    for (const Case& c : cases) {
        TNumericValue edit;
        edit.setText(QString::fromLatin1(c.input));
        EXPECT_EQ(edit.text(), c.text) << c.input;
        EXPECT_EQ(edit.value(), c.value) << c.input;
    }
    TNumericValue other;
    other.setText(QString::fromUtf8("٣٤")); // digits of another script are not taken
    EXPECT_EQ(other.text(), "");
}

TEST(TConfig, SaveAfterLoadWritesAllNineteenKeysInOrder) {
    ConfigFile f;
    f.config.LoadConfig();
    f.config.Save();
    EXPECT_EQ(readBytes(f.path), "[CONF]\r\n"
                                 "PATH DOLVEX=\r\n"
                                 "IDEMRPESA=\r\n"
                                 "IDLOCAL=\r\n"
                                 "USUARIO=\r\n"
                                 "SENHA=\r\n"
                                 "URLBASE=\r\n"
                                 "URLBASE2=\r\n"
                                 "URLBASE3=\r\n"
                                 "URLBASE4=\r\n"
                                 "chkCodEmpDolvex=NAO\r\n"
                                 "chkPostVenda=SIM\r\n"
                                 "chkGetPromo=SIM\r\n"
                                 "edtcodempdolvex=\r\n"
                                 "edtApelidoEmp=\r\n"
                                 "timerProm=300\r\n"
                                 "timerReenvio=600\r\n"
                                 "timerFecha=660\r\n"
                                 "timerVenda=90\r\n"
                                 "DataUltFecha=01/11/2020\r\n");

    // Loading what was saved and saving again changes nothing; a full file round-trips.
    for (const QByteArray& stored : {readBytes(f.path), AllKeysStored}) {
        f.load(stored).Save();
        EXPECT_EQ(readBytes(f.path), stored);
    }
}

TEST(TConfig, SaveReplacesInPlaceAndKeepsForeignLines) {
    ConfigFile f;
    f.load("; written by the installer\r\n"
           "[conf]\r\n"
           "senha=old\r\n"
           "Obsolete=1\r\n"
           "timerVenda=abc\r\n"
           "\r\n"
           "[Other]\r\n"
           "SENHA=elsewhere\r\n");
    ConfigValues edited = f.config.values();
    edited.senha = QStringLiteral("new");
    edited.usaCodEmpDolvex = true;
    f.config.setValues(edited);
    f.config.Save();
    const QByteArray saved = readBytes(f.path);
    EXPECT_TRUE(saved.startsWith("; written by the installer\r\n"
                                 "[conf]\r\n"
                                 "SENHA=new\r\n"
                                 "Obsolete=1\r\n"
                                 "timerVenda=90\r\n"
                                 "PATH DOLVEX=\r\n"
                                 "IDEMRPESA=\r\n"))
        << saved.toStdString();
    EXPECT_TRUE(saved.contains("chkCodEmpDolvex=SIM\r\n"));
    EXPECT_TRUE(saved.endsWith("DataUltFecha=01/11/2020\r\n"
                               "\r\n"
                               "[Other]\r\n"
                               "SENHA=elsewhere\r\n"))
        << saved.toStdString();
    EXPECT_EQ(saved.count("\r\n"), 8 + 17);
}

TEST(TConfig, UnsavedEditsAreReplacedByTheNextLoad) {
    ConfigFile f;
    f.load(AllKeysStored);
    ConfigValues typed = f.config.values();
    typed.usuario = QStringLiteral("typed, not saved");
    f.config.setValues(typed);
    f.config.MostraUltFecha(QStringLiteral("12/03/2023")); // advanced by a closing run, not stored
    writeBytes(f.path, QByteArray(AllKeysStored).replace("IDLOCAL=12", "IDLOCAL=13"));
    f.config.LoadConfig();
    EXPECT_EQ(f.config.values().usuario, "loja");
    EXPECT_EQ(f.config.values().dataUltFecha, "10/03/2023");
    EXPECT_EQ(f.config.values().idLocal, "13");
}

TEST(TConfig, SalvaUltFechaWritesOnlyTheDate) {
    ConfigFile f;
    f.load(AllKeysStored);
    ConfigValues edited = f.config.values();
    edited.usuario = QStringLiteral("edited in the dialog");
    f.config.setValues(edited);
    f.changes = 0;
    f.config.SalvaUltFecha(QStringLiteral("05/03/2023"));
    EXPECT_EQ(f.config.values().dataUltFecha, "05/03/2023");
    EXPECT_EQ(f.config.values().usuario, "edited in the dialog"); // nothing else reloaded
    EXPECT_EQ(readBytes(f.path), QByteArray(AllKeysStored).replace("10/03/2023", "05/03/2023"));
    EXPECT_EQ(f.changes, 1);

    // Without a file, the file holds the date alone.
    ConfigFile empty;
    empty.config.SalvaUltFecha(QStringLiteral("05/03/2023"));
    EXPECT_EQ(readBytes(empty.path), "[CONF]\r\nDataUltFecha=05/03/2023\r\n");
}

TEST(TConfig, DateEditShowsDatesInFullForm) {
    struct Case {
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {
        {"5/3/2023", "05/03/2023"},   {"05/03/2023", "05/03/2023"}, {"", "01/11/2020"},
        {"31/02/2023", "31/02/2023"}, {"1/1/20", "1/1/20"},         {"abc", "abc"},
    };
    for (const Case& c : cases) {
        ConfigFile f;
        EXPECT_EQ(f.load(QByteArray("[CONF]\r\nDataUltFecha=") + c.stored + "\r\n").values().dataUltFecha,
                  c.shown)
            << c.stored;
    }
}

TEST(TConfig, WriteFailuresReachTheCaller) {
    TempFolder dir;
    writeBytes(dir.file("plain-file"), "x");
    const QString path = dir.file("plain-file") + QDir::separator() + "configAPI.ini";
    const QString expected = "Unable to write to " + QDir::toNativeSeparators(path);
    TConfig config(path);
    int changes = 0;
    QObject::connect(&config, &TConfig::changed, [&changes] { ++changes; });
    config.LoadConfig();

    try {
        config.Save();
        ADD_FAILURE() << "Save did not fail";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(e.message(), expected);
    }
    try {
        config.SalvaUltFecha(QStringLiteral("05/03/2023"));
        ADD_FAILURE() << "SalvaUltFecha did not fail";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), expected);
    }
    EXPECT_EQ(config.values().dataUltFecha, "05/03/2023"); // shown before the write failed
    EXPECT_EQ(changes, 2);
}

TEST(TConfig, DefaultFileIsBesideTheProgram) {
    TempFolder dir;
    platform::setBaseDir(dir.path());
    TConfig config;
    EXPECT_EQ(config.iniPath(), platform::baseDir() + "configAPI.ini");
    EXPECT_EQ(QFileInfo(config.iniPath()).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    config.SalvaUltFecha(QStringLiteral("05/03/2023"));
    EXPECT_EQ(readBytes(dir.file("configAPI.ini")), "[CONF]\r\nDataUltFecha=05/03/2023\r\n");
    platform::setBaseDir(QString());
}

namespace {
// A literal's bytes, NUL bytes included.
template <std::size_t N>
QByteArray bytes(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}
} // namespace

TEST(TConfig, HostileFilesLoadWhatTheyHoldAndSaveWithoutDamage) {
    const QByteArray overlong(100'000, 'A');
    const auto utf16 = [](const QString& text) { return QByteArray(QStringEncoder(QStringConverter::Utf16LE).encode(text)); };
    struct Case {
        const char* name;
        QByteArray file;
        QString usuario, urlBase, apelido, timerVenda; // as loaded
        QList<QByteArray> kept;                        // lines the save leaves as they were
    };
    const Case cases[] = {
        // As the Windows profile API does: the first occurrence in the section is
        // the one read and the one written; the later ones stay, unread.
        {"repeated keys",
         "[CONF]\r\nUSUARIO=first\r\nusuario=second\r\nURLBASE=http://a/\r\nURLBASE=http://b/\r\n"
         "timerVenda=45\r\nTIMERVENDA=99\r\n",
         "first", "http://a/", "", "45", {"usuario=second\r\n", "URLBASE=http://b/\r\n", "TIMERVENDA=99\r\n"}},
        {"garbage and binary lines",
         bytes("[CONF]\r\n\x00\x01\xFF garbage\x00\r\n=no name\r\n[[[\r\n]\r\nUSUARIO=loja\r\n\x1A\x7F\x81\r\n"
               "timerVenda=\x01\x02"
               "45s\r\n"),
         "loja", "", "", "45", {bytes("\x00\x01\xFF garbage\x00\r\n"), "=no name\r\n[[[\r\n]\r\n", "\x1A\x7F\x81\r\n"}},
        // A value read is cut at 2047 characters, and saved so; other lines stay whole.
        {"overlong lines",
         overlong + "\r\n[CONF]\r\nUSUARIO=loja\r\nURLBASE=" + QByteArray(5000, 'u') + "\r\nForeign=" + overlong + "\r\n",
         "loja", QString(2047, u'u'), "", "90", {overlong + "\r\n[CONF]\r\n", "\r\nForeign=" + overlong + "\r\n"}},
        {"UTF-8 with a byte-order mark",
         "\xEF\xBB\xBF[CONF]\r\nUSUARIO= jos\xC3\xA9 \r\nedtApelidoEmp=Promo\xC3\xA7\xC3\xA3o \xE2\x82\xAC\r\nbad=\xFF\xFE\r\n",
         QString::fromUtf8("josé"), "", QString::fromUtf8("Promoção €"), "90",
         {"\xEF\xBB\xBF[CONF]\r\nUSUARIO=jos\xC3\xA9\r\n", "bad=\xFF\xFE\r\n"}},
        // Notepad's "Unicode": read and written in UTF-16, as the profile API does.
        {"UTF-16 with a byte-order mark",
         "\xFF\xFE" + utf16(QString::fromUtf8("; técnico\r\n[CONF]\r\nUSUARIO=jos\u00E9\r\ntimerVenda=45\r\n")),
         QString::fromUtf8("josé"), "", "", "45",
         {"\xFF\xFE" + utf16(QString::fromUtf8("; técnico\r\n[CONF]\r\nUSUARIO=jos\u00E9\r\n")),
          utf16(QStringLiteral("\r\nDataUltFecha=01/11/2020\r\n"))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConfigFile f;
        const auto expectLoaded = [&c](const TConfig& settings) {
            const ConfigValues& config = settings.values();
            EXPECT_EQ(config.usuario, c.usuario);
            EXPECT_EQ(config.urlBase, c.urlBase);
            EXPECT_EQ(config.apelidoEmp, c.apelido);
            EXPECT_EQ(config.timerVenda.text(), c.timerVenda);
            EXPECT_EQ(config.pathBDDolvex, "");
            EXPECT_TRUE(config.postaVendas);
            EXPECT_EQ(config.dataUltFecha, "01/11/2020");
        };
        expectLoaded(f.load(c.file));

        f.config.Save();
        const QByteArray saved = readBytes(f.path);
        for (const QByteArray& line : c.kept)
            EXPECT_TRUE(saved.contains(line)) << line.left(60).toStdString();
        TConfig again(f.path);
        again.LoadConfig();
        expectLoaded(again);
        again.Save();
        EXPECT_EQ(readBytes(f.path), saved); // stable once saved
    }
}
