#include "config/IniText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>
#include <random>

namespace {

QString value(const QByteArray& file, const char* section, const char* key) {
    return IniText::parse(file).value(QString::fromLatin1(section), QString::fromLatin1(key));
}

QByteArray withValue(const QByteArray& file, const QString& key, const QString& value) {
    IniText text = IniText::parse(file);
    text.setValue(QStringLiteral("CONF"), key, value);
    return text.toBytes();
}

struct LookupCase {
    const char* name;
    QByteArray file;
    const char* key;
    QString expected;
};

} // namespace

TEST(IniText, LooksUpLikeTheProfileApi) {
    const LookupCase cases[] = {
        {"case-blind section and key", "[conf]\r\npath dolvex=db:x\r\n", "PATH DOLVEX", "db:x"},
        {"blanks trimmed around name and value", "  [ CONF ]  \r\n  SENHA \t=  a b \t\r\n", "senha", "a b"},
        {"LF line ends", "[CONF]\nIDLOCAL=7\nUSUARIO=u\n", "USUARIO", "u"},
        {"last line without line end", "[CONF]\r\nIDLOCAL=7", "IDLOCAL", "7"},
        {"everything after the first =", "[CONF]\r\nURLBASE=http://h/?a=1;b\r\n", "URLBASE",
         "http://h/?a=1;b"},
        {"empty value", "[CONF]\r\nSENHA=\r\n", "SENHA", ""},
        {"missing key", "[CONF]\r\nSENHA=x\r\n", "USUARIO", ""},
        {"missing section", "[OTHER]\r\nSENHA=x\r\n", "SENHA", ""},
        {"key before any section", "SENHA=x\r\n[CONF]\r\n", "SENHA", ""},
        {"key of the next section", "[CONF]\r\nA=1\r\n[X]\r\nSENHA=x\r\n", "SENHA", ""},
        {"commented-out key", "[CONF]\r\n;SENHA=x\r\n", "SENHA", ""},
        {"line without =", "[CONF]\r\nSENHA\r\n", "SENHA", ""},
        {"first of repeated keys", "[CONF]\r\nSENHA=1\r\nsenha=2\r\n", "SENHA", "1"},
        {"key in a repeated section", "[CONF]\r\nA=1\r\n[X]\r\n[conf]\r\nSENHA=2\r\n", "SENHA", "2"},
        {"unclosed bracket is no section", "[CONF]\r\n[X\r\nSENHA=1\r\n", "SENHA", "1"},
        {"no-break space kept", "[CONF]\r\nSENHA=a\xA0\r\n", "SENHA", QString::fromUtf8("a\u00A0")},
    };
    for (const LookupCase& c : cases) {
        EXPECT_EQ(value(c.file, "CONF", c.key), c.expected) << c.name;
    }
}

TEST(IniText, ValueReadIsCutAt2047Characters) {
    const QString longValue(5000, u'x');
    const QByteArray file = "[CONF]\r\nK=" + longValue.toLatin1() + "\r\nNEXT=ok\r\n";
    EXPECT_EQ(value(file, "CONF", "K"), QString(2047, u'x'));
    EXPECT_EQ(value(file, "CONF", "NEXT"), "ok");
    EXPECT_EQ(value("[CONF]\r\nK=" + QByteArray(2047, 'y') + "\r\n", "CONF", "K").size(), 2047);

    // A character outside the 16-bit range is never split in two.
    const QString astral = QString(2046, u'a') + QString::fromUtf8("😀");
    const QByteArray utf8 = "\xEF\xBB\xBF[CONF]\r\nK=" + astral.toUtf8() + "\r\n";
    EXPECT_EQ(value(utf8, "CONF", "K"), QString(2046, u'a'));
}

TEST(IniText, WriteReplacesTheLineInPlaceAndKeepsTheRest) {
    const QByteArray before = "; settings of the store\r\n"
                              "[Other]\r\n"
                              "SENHA=not this one\r\n"
                              "\r\n"
                              "[conf]\r\n"
                              "  senha = old  \r\n"
                              "unknown=kept ; note\r\n"
                              "senha=second\r\n"
                              "\r\n"
                              "[Last]\r\n"
                              "x=\xE7\r\n";
    const QByteArray after = "; settings of the store\r\n"
                             "[Other]\r\n"
                             "SENHA=not this one\r\n"
                             "\r\n"
                             "[conf]\r\n"
                             "SENHA=new\r\n"
                             "unknown=kept ; note\r\n"
                             "senha=second\r\n"
                             "\r\n"
                             "[Last]\r\n"
                             "x=\xE7\r\n";
    EXPECT_EQ(withValue(before, "SENHA", "new"), after);
    // LF-only files come back with CR LF, their text unchanged.
    QByteArray lfOnly = before;
    lfOnly.replace("\r\n", "\n");
    EXPECT_EQ(withValue(lfOnly, "SENHA", "new"), after);
}

TEST(IniText, WriteAddsKeySectionAndFileWhereMissing) {
    struct Case {
        const char* name;
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        {"empty file", "", "[CONF]\r\nPATH DOLVEX=v\r\n"},
        {"other section only", "[X]\r\na=1", "[X]\r\na=1\r\n\r\n[CONF]\r\nPATH DOLVEX=v\r\n"},
        {"trailing blank line reused", "[X]\r\na=1\r\n\r\n", "[X]\r\na=1\r\n\r\n[CONF]\r\nPATH DOLVEX=v\r\n"},
        {"end of its section, before the blank line and the next section",
         "[Conf]\r\nA=1\r\n; c\r\n\r\n[X]\r\nPATH DOLVEX=no\r\n",
         "[Conf]\r\nA=1\r\n; c\r\nPATH DOLVEX=v\r\n\r\n[X]\r\nPATH DOLVEX=no\r\n"},
        {"empty section", "[CONF]\r\n[X]\r\n", "[CONF]\r\nPATH DOLVEX=v\r\n[X]\r\n"},
        {"first of repeated sections", "[CONF]\r\nA=1\r\n[CONF]\r\nB=2\r\n",
         "[CONF]\r\nA=1\r\nPATH DOLVEX=v\r\n[CONF]\r\nB=2\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(withValue(c.before, "PATH DOLVEX", "v"), c.after) << c.name;
    }
}

TEST(IniText, ValueWithLineBreaksStaysOnOneLine) {
    const QByteArray out = withValue("[CONF]\r\n", "USUARIO", "a\r\nSENHA=injected\nb");
    EXPECT_EQ(out, "[CONF]\r\nUSUARIO=a  SENHA=injected b\r\n");
    EXPECT_EQ(value(out, "CONF", "SENHA"), "");
}

TEST(IniText, RejectsNamesThatWouldBreakTheFile) {
    IniText text;
    for (const char* key : {"", "A=B", " A", "[A", "A\nB"}) {
        EXPECT_ANY_THROW(text.setValue(QStringLiteral("CONF"), QString::fromLatin1(key), QStringLiteral("v")))
            << key;
    }
    EXPECT_ANY_THROW(text.setValue(QStringLiteral("CO]NF"), QStringLiteral("A"), QStringLiteral("v")));
}

TEST(IniText, Windows1252AndUtf8WithByteOrderMark) {
    const QString promo = QString::fromUtf8("Promoção €");
    const QByteArray ansi = withValue("", "edtApelidoEmp", promo);
    EXPECT_EQ(ansi, "[CONF]\r\nedtApelidoEmp=Promo\xE7\xE3o \x80\r\n");
    EXPECT_EQ(value(ansi, "CONF", "edtApelidoEmp"), promo);
    // A character the code page lacks becomes "?".
    EXPECT_EQ(value(withValue("", "K", QString::fromUtf8("a✓b")), "CONF", "K"), "a?b");

    // A UTF-8 file keeps its mark and its encoding; its other lines stay byte for byte,
    // invalid sequences included.
    const QByteArray utf8 = "\xEF\xBB\xBF[CONF]\r\nA=Promo\xC3\xA7\xC3\xA3o\r\nbad=\xFF\xFE\r\n";
    EXPECT_TRUE(IniText::parse(utf8).isUtf8());
    EXPECT_EQ(value(utf8, "CONF", "A"), QString::fromUtf8("Promoção"));
    EXPECT_EQ(withValue(utf8, "B", QString::fromUtf8("ação")),
              "\xEF\xBB\xBF[CONF]\r\nA=Promo\xC3\xA7\xC3\xA3o\r\nbad=\xFF\xFE\r\nB=a\xC3\xA7\xC3\xA3o\r\n");
}

TEST(IniText, Utf16WithByteOrderMarkIsReadAndWrittenAsUtf16) {
    // What Notepad saves as "Unicode": the profile API reads and writes it in UTF-16.
    const QString before = QString::fromUtf8("; loja\r\n[CONF]\r\nUSUARIO=jos\u00E9\r\nSENHA=x\r\n");
    const QString after = QString::fromUtf8("; loja\r\n[CONF]\r\nUSUARIO=jos\u00E9\r\nSENHA=\u20AC 1\r\nB=\U0001F600\r\n");
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        const QByteArray file = encoder.encode(before);
        ASSERT_TRUE(file.startsWith(encoding == QStringConverter::Utf16LE ? "\xFF\xFE" : "\xFE\xFF"));
        EXPECT_EQ(value(file, "CONF", "USUARIO"), QString::fromUtf8("jos\u00E9"));
        IniText text = IniText::parse(file);
        text.setValue(QStringLiteral("CONF"), QStringLiteral("SENHA"), QString::fromUtf8("\u20AC 1"));
        text.setValue(QStringLiteral("CONF"), QStringLiteral("B"), QString::fromUtf8("\U0001F600"));
        QStringEncoder again(encoding, QStringConverter::Flag::WriteBom);
        EXPECT_EQ(text.toBytes(), QByteArray(again.encode(after)));
    }
    // Broken UTF-16 (an odd byte, a lone surrogate) is read as far as it goes.
    const QByteArray broken = QByteArray("\xFF\xFE[\0C\0O\0N\0F\0]\0\n\0K\0=\0v\0\x00\xD8\n\0x", 27);
    EXPECT_EQ(value(broken, "CONF", "K"), QString::fromUtf8("v\uFFFD"));
    EXPECT_TRUE(IniText::parse(broken).toBytes().endsWith(QByteArray("\n\0\xFD\xFF\r\0\n\0", 8)));
}

TEST(IniText, HostileContentNeverBreaksReadOrWrite) {
    std::vector<QByteArray> files = {
        QByteArray(4096, '\0'),
        QByteArray(3'000'000, 'A'),                       // one overlong line, no section
        "[\r\n]\r\n=\r\n[]\r\n[=]\r\n==\r\n\r\r\r\n\n\n", // stray punctuation
        "\xEF\xBB\xBF",                                   // mark only
        "\xEF\xBB",                                       // half a mark
        "[CONF]\r\nK=" + QByteArray(100'000, '\xFF') + "\r\n",
    };
    std::mt19937 random(2024);
    for (int n = 0; n < 50; ++n) {
        QByteArray bytes(qsizetype(random() % 4000), '\0');
        for (char& b : bytes)
            b = char(random() % 256);
        files.push_back(bytes);
    }
    for (const QByteArray& file : files) {
        IniText text = IniText::parse(file);
        (void)text.value(QStringLiteral("CONF"), QStringLiteral("K"));
        text.setValue(QStringLiteral("CONF"), QStringLiteral("timerVenda"), QStringLiteral("45"));
        const QByteArray written = text.toBytes();
        const IniText again = IniText::parse(written);
        EXPECT_EQ(again.value(QStringLiteral("conf"), QStringLiteral("TIMERVENDA")), "45");
        EXPECT_EQ(again.toBytes(), written); // stable once written
    }
}
