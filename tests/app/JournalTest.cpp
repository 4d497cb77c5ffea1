// The activity journal: every log row, whole, in the day's file of the month's
// log folder; a journal that cannot be written is reported once and the work
// goes on.

#include "app/Journal.h"

#include "AppTestSupport.h"
#include "app/JournalLine.h"
#include "support/Platform.h"
#include "support/fixtures/CoreParts.h"
#include "support/fixtures/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

using apptest::ErrorSpy;
using apptest::operations;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class JournalTest : public apptest::ShellTest {
  protected:
    JournalTest() { quietSettings(); }
    // No sales, no promotions, and a dead port: a tick's requests fail at once,
    // without leaving the machine.
    void quietSettings() {
        writeSettings({{QStringLiteral("URLBASE"), QStringLiteral("http://127.0.0.1:9/")},
                       {QStringLiteral("chkPostVenda"), QStringLiteral("NAO")},
                       {QStringLiteral("chkGetPromo"), QStringLiteral("NAO")}});
    }
    [[nodiscard]] QString monthFolder() const { return dir() + QStringLiteral("Korvanta/log/Ano2023_4/"); }
    [[nodiscard]] QString journalFile(const QDate& day = QDate(2023, 4, 10)) const {
        return monthFolder() + journal::fileName(day);
    }
};

TEST_F(JournalTest, RowsGoWholeIntoTheDaysFileInWindows1252WithCrLfAndTabs) {
    TPrincipal core;
    core.FormCreate();
    const QString longMessage = QStringLiteral("Não há promoção: ") + QString(150, u'x');
    const QString longOperation = QStringLiteral("Erro Venda cancelada p.1 (+): 1 - 2930 - 08/12/2025");
    clock.set(QDateTime(QDate(2023, 4, 10), QTime(9, 0, 5, 700)));
    core.log().addList(QStringLiteral("Leitura de promoções"), QStringLiteral("Ok"));
    core.log().addList(longOperation, longMessage);
    clock.advance(61);
    core.log().addList(QStringLiteral("Abriu post-vendas"), QString());
    core.log().addList(QStringLiteral("Erro na operação"), QStringLiteral("linha um\r\nlinha\tdois\n€ ☺"));

    const QByteArray expected =
        QByteArray("10/04/2023\t09:00:05\tLeitura de promo\xE7\xF5"
                   "es\tOk\r\n") +
        "10/04/2023\t09:00:05\t" + longOperation.toLatin1() +
        "\tN\xE3o h\xE1 promo\xE7\xE3o: " + QByteArray(150, 'x') + "\r\n" +
        "10/04/2023\t09:01:06\tAbriu post-vendas\t\r\n" +
        "10/04/2023\t09:01:06\tErro na opera\xE7\xE3o\tlinha um  linha dois \x80 ?\r\n";
    EXPECT_EQ(readAll(journalFile()), expected);
    // The window's log keeps its cut texts.
    EXPECT_EQ(core.log().table().cell(1, 0).toString(), longOperation.left(40));
    EXPECT_EQ(core.log().table().cell(1, 3).toString(), longMessage.left(100));
    // For the owner alone.
    const QFileDevice::Permissions others =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    EXPECT_EQ(QFileInfo(journalFile()).permissions() & others, QFileDevice::Permissions());
    EXPECT_TRUE(
        QFileInfo(journalFile()).permissions().testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
}

TEST_F(JournalTest, EachRowGoesToTheFileOfItsOwnDayInTheFolderOfTheMonthTheProgramStarted) {
    clock.set(QDateTime(QDate(2023, 4, 30), QTime(23, 59, 59)));
    TPrincipal core;
    core.FormCreate();
    core.log().addList(QStringLiteral("antes"), QString());
    clock.advance(2);
    core.log().addList(QStringLiteral("depois"), QString());
    EXPECT_EQ(readAll(journalFile(QDate(2023, 4, 30))), QByteArray("30/04/2023\t23:59:59\tantes\t\r\n"));
    EXPECT_EQ(readAll(journalFile(QDate(2023, 5, 1))), QByteArray("01/05/2023\t00:00:01\tdepois\t\r\n"));
}

TEST_F(JournalTest, RowsFromBeforeTheLogFolderIsKnownGoInFrontOfTheNextRow) {
    TPrincipal core; // not started: no log folder yet
    core.log().addList(QStringLiteral("cedo"), QStringLiteral("1"));
    EXPECT_FALSE(QDir(dir() + QStringLiteral("Korvanta")).exists());
    core.FormCreate();
    clock.advance(1);
    core.log().addList(QStringLiteral("depois"), QStringLiteral("2"));
    EXPECT_EQ(readAll(journalFile()),
              QByteArray("10/04/2023\t09:00:00\tcedo\t1\r\n10/04/2023\t09:00:01\tdepois\t2\r\n"));
}

TEST_F(JournalTest, ATickJournalsEveryRowItLogsAsTheLogTellsIt) {
    TPrincipal core;
    core.FormCreate();
    QList<journal::Row> told;
    QObject::connect(&core.log(), &TActivityLog::rowLogged, &core,
                     [&told](const QDateTime& when, const QString& op, const QString& msg) {
                         told.push_back({when, op, msg});
                     });
    core.scheduler().timerGeralTimer();
    ASSERT_GE(told.size(), 3); // "Abriu post-vendas" and the two failed resend readings
    const QList<QByteArray> lines = readAll(journalFile()).split('\n');
    ASSERT_EQ(lines.size(), told.size() + 1); // the last line end leaves an empty piece
    for (qsizetype i = 0; i < told.size(); ++i) {
        const std::optional<journal::Row> row = journal::parse(lines[i]);
        ASSERT_TRUE(row.has_value()) << lines[i].toStdString();
        EXPECT_EQ(row->when, told[i].when);
        EXPECT_EQ(row->operation, told[i].operation);
        EXPECT_EQ(row->message, told[i].message);
    }
    EXPECT_EQ(told.first().operation, QStringLiteral("Abriu post-vendas"));
}

// Ways a journal cannot be written: each is made before the start-up, repaired,
// and (where it can be) made again.
struct Fault {
    const char* name;
    // Breaks the month's folder; returns why the case cannot run here, or "".
    std::function<QString(const QString& month, std::unique_ptr<FullDisk>& disk)> breakIt;
    std::function<void(const QString& month)> repair;
    bool breaksAgain;
};

TEST_F(JournalTest, AJournalThatCannotBeWrittenIsReportedOnceAndTheWorkGoesOn) {
    const Fault faults[] = {
        {"a file stands where the month's folder should be",
         [](const QString& month, std::unique_ptr<FullDisk>&) {
             QDir().mkpath(QFileInfo(month).path());
             QFile blocker(month);
             return blocker.open(QIODevice::WriteOnly) ? QString() : QStringLiteral("no blocker");
         },
         [](const QString& month) {
             QFile::remove(month);
             QDir().mkpath(month);
         },
         true},
        {"the month's folder is read-only",
         [](const QString& month, std::unique_ptr<FullDisk>&) {
             QDir().mkpath(month);
             QFile::setPermissions(month, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
             QFile probe(month + QStringLiteral("probe"));
             if (probe.open(QIODevice::WriteOnly)) {
                 probe.remove();
                 return QStringLiteral("the folder takes files although read-only (running as root)");
             }
             return QString();
         },
         [](const QString& month) {
             QFile::setPermissions(month,
                                   QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
         },
         false},
        {"the disk holding the log folder is full",
         [](const QString& month, std::unique_ptr<FullDisk>& disk) {
             disk = std::make_unique<FullDisk>(QFileInfo(QFileInfo(month).path()).path());
             if (!disk->mounted()) return disk->whyNot();
             QDir().mkpath(month);
             disk->fill();
             return QString();
         },
         [](const QString& month) {
             QFile::remove(QFileInfo(QFileInfo(month).path()).path() + QStringLiteral("/filler"));
         },
         false},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        const TempFolder scratch;
        platform::setBaseDir(scratch.path());
        quietSettings();
        const QString month = dir() + QStringLiteral("Korvanta/log/Ano2023_4");
        std::unique_ptr<FullDisk> disk;
        if (const QString skip = fault.breakIt(month, disk); !skip.isEmpty()) {
            std::printf("[ SKIPPED  ] %s: %s\n", fault.name, qPrintable(skip));
            continue;
        }
        TPrincipal core;
        core.FormCreate();
        ErrorSpy errors(core);
        core.log().addList(QStringLiteral("um"), QStringLiteral("1"));
        core.log().addList(QStringLiteral("dois"), QStringLiteral("2"));
        core.scheduler().timerGeralTimer(); // a whole tick logs on and ends
        ASSERT_EQ(errors.texts.size(), 1) << errors.texts.join(u'|').toStdString();
        EXPECT_TRUE(
            errors.texts[0].startsWith(QStringLiteral("Unable to write the activity journal ") + month))
            << errors.texts[0].toStdString();
        const QStringList ops = operations(core.log().table());
        ASSERT_GE(ops.size(), 4);
        EXPECT_EQ(ops.mid(0, 3), (QStringList{QStringLiteral("um"), QStringLiteral("Erro na operação"),
                                              QStringLiteral("dois")}));
        EXPECT_TRUE(ops.contains(QStringLiteral("Abriu post-vendas")));

        fault.repair(month);
        clock.advance(1);
        core.log().addList(QStringLiteral("três"), QStringLiteral("3"));
        EXPECT_EQ(errors.texts.size(), 1);
        // Only whole rows: a line cut by the full disk was taken back.
        EXPECT_EQ(readAll(month + QStringLiteral("/Atividade_2023-04-10.txt")),
                  QByteArray("10/04/2023\t09:00:01\ttr\xEAs\t3\r\n"));

        if (fault.breaksAgain) {
            QDir(month).removeRecursively();
            fault.breakIt(month, disk);
            core.log().addList(QStringLiteral("quatro"), QStringLiteral("4"));
            core.log().addList(QStringLiteral("cinco"), QStringLiteral("5"));
            EXPECT_EQ(errors.texts.size(), 2);
        }
        clock.set(QDateTime(QDate(2023, 4, 10), QTime(9, 0, 0)));
        disk.reset();
    }
    platform::setBaseDir(folder.path());
}

TEST(JournalFile, NamesAndLinesReadBack) {
    EXPECT_EQ(journal::fileName(QDate(2024, 3, 5)), QStringLiteral("Atividade_2024-03-05.txt"));
    EXPECT_EQ(journal::dayOfFile(QStringLiteral("Atividade_2024-03-05.txt")), QDate(2024, 3, 5));
    for (const char* other : {"Atividade_2024-3-5.txt", "Atividade_2024-02-30.txt", "Vda12_1.txt",
                              "Atividade_2024-03-05.txt.bak"})
        EXPECT_FALSE(journal::dayOfFile(QString::fromLatin1(other)).has_value()) << other;

    const QDateTime when(QDate(2024, 3, 5), QTime(7, 8, 9));
    const std::optional<journal::Row> row = journal::parse(
        journal::line(when, QStringLiteral("Gravação venda: 1 - 2 - 05/03/2024"), QStringLiteral("200: Ok"))
            .chopped(1));
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->when, when);
    EXPECT_EQ(row->operation, QStringLiteral("Gravação venda: 1 - 2 - 05/03/2024"));
    EXPECT_EQ(row->message, QStringLiteral("200: Ok"));
    for (const char* broken : {"05/03/2024\t07:08:09\tcut", "", "x\ty\tz\tw", "05/03/2024\t07:08\ta\tb"})
        EXPECT_FALSE(journal::parse(broken).has_value()) << broken;
}

} // namespace
