#pragma once
// The synchroniser's executable run as a service manager or an operator would
// run it, against the fake service and an ERP database, and the checks that
// nothing was lost on the way.
//
//   SyncProcess run(folder.path(), {"--once", "send-sales", "pendentes-1"});
//   ASSERT_TRUE(run.waitUntil([&] { return movementPosts(service.journal()).size() >= 10; }));
//   service.kill();
//   ASSERT_TRUE(run.waitForExit());
//   expectLedger(db, service.journal(), Ledger::Partial);

#include "support/fixtures/FakeService.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

class ErpDatabase;

namespace endtoend {

using Settings = QList<QPair<QString, QString>>;

// configAPI.ini in `dir` (section CONF, Windows-1252, CR LF) holding `settings`.
void writeSettings(const QString& dir, const Settings& settings);

// Settings for one ERP and one service: the sales upload every second,
// promotions off, resend requests seldom, and the daily closing done up to
// `lastClosedDay` (yesterday unless given: nothing to close).
[[nodiscard]] Settings shopSettings(const QString& database, const QString& url, QDate lastClosedDay = {});

// korvanta-sync started with --dir `dir` and `arguments`. A time scale above 1
// makes its timers and clock run that many times faster (KORVANTA_TIME_SCALE).
// A process still running when the object goes is killed.
class SyncProcess {
  public:
    SyncProcess(const QString& dir, const QStringList& arguments, double timeScale = 0);
    ~SyncProcess();
    SyncProcess(const SyncProcess&) = delete;
    SyncProcess& operator=(const SyncProcess&) = delete;

    void sendSignal(int signal);
    // Reads the output and asks `done` every few milliseconds until it holds
    // (true) or a generous safety limit passes (false). Never measures time.
    bool waitUntil(const std::function<bool()>& done, int limitMs = 90'000);
    bool waitForExit(int limitMs = 120'000);

    [[nodiscard]] bool crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }
    [[nodiscard]] int exitCode() const { return m_process.exitCode(); }
    // Standard output and error so far, as UTF-8 text.
    [[nodiscard]] QString out();
    [[nodiscard]] QString err();

  private:
    void drain();
    QProcess m_process;
    QByteArray m_out;
    QByteArray m_err;
};

// One movement the service was asked to take: the register from the path,
// "numero" from the document, and the status answered.
struct MovementPost {
    int caixa = 0;
    QString numero;
    int status = 0;
};
[[nodiscard]] QList<MovementPost> movementPosts(const QList<JournalRecord>& journal);

// Whether every sale must have gone through by now.
enum class Ledger {
    Partial,  // work may be left: every ticket flagged 2 was accepted (200 or 208)
    Complete, // as Partial, and every ticket is flagged 2 and every accepted one too
};
// Checks the tickets of cupom_fiscal against what the service accepted,
// as one failure per broken rule.
void expectLedger(const ErpDatabase& db, const QList<JournalRecord>& journal, Ledger ledger);

} // namespace endtoend
