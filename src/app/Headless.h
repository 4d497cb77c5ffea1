#pragma once
// The modes without a window: the headless runner (the scheduler and the tasks,
// no window and no icon) and one command run once. Both run the core on the
// engine thread, as the tray program does (app/Engine.h), and write every
// activity-log row to standard output as it is added and every error that no
// task handled to standard error, as the error display would show it.
// A QCoreApplication (or QApplication) must exist before either is called.

#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <optional>

class TEngine;
class TMemTable;

namespace headless {

// One command of --once.
struct OnceCommand {
    enum class Kind { Tick, SendSales, SendClosing, Promotions, Resend };
    Kind kind = Kind::Tick;
    // SendSales: "pendentes-1", "pendentes-3" or a date; SendClosing: "pendente" or a date.
    QString argument;
};

// Reads the words after --once: "tick", "send-sales pendentes-1|pendentes-3|DD/MM/AAAA",
// "send-closing pendente|DD/MM/AAAA", "promotions" or "resend". On failure returns
// nothing and puts the reason into *error.
[[nodiscard]] std::optional<OnceCommand> parseOnce(const QStringList& words, QString* error);

// A log row as one line of standard output, without the line end: the date
// DD/MM/AAAA, a tab, the time HH:MM:SS, a tab, Operacao, a tab, Mensagem.
// Line breaks and tabs inside the texts become blanks.
[[nodiscard]] QString logLine(const TMemTable& tabela, int row);

// Runs the core without a window, writing the log rows to `out` and the
// errors that no task handled to `err`.
class THeadlessRunner {
  public:
    explicit THeadlessRunner(std::FILE* out = stdout, std::FILE* err = stderr);
    ~THeadlessRunner();
    THeadlessRunner(const THeadlessRunner&) = delete;
    THeadlessRunner& operator=(const THeadlessRunner&) = delete;

    [[nodiscard]] TEngine& engine() { return *m_engine; }
    // Errors shown so far.
    [[nodiscard]] int errorCount() const { return m_errors; }

    // Applies the settings as at start-up, runs the command, returns the exit
    // status: 0 when it ended normally, 1 when an error that no task handled was shown.
    [[nodiscard]] int runOnce(const OnceCommand& command);

    // Starts the scheduler and runs the event loop until SIGINT or SIGTERM ends
    // it (a request waiting for the service is aborted, the task at work ends at
    // its next step, the timers stop); SIGHUP applies the settings anew. Returns 0.
    [[nodiscard]] int runLoop();

  private:
    std::unique_ptr<TEngine> m_engine;
    std::FILE* m_out;
    std::FILE* m_err;
    int m_errors = 0;
};

} // namespace headless
