#pragma once
// TEngine: the core on a thread of its own. The tasks, the scheduler with its
// timers, the ERP session and the HTTP clients live on the engine thread and
// run one at a time there, in the order they were asked for; the window, the
// tray icon, the dialogs (or the headless runner) stay on the thread that made
// the engine and never wait for them.
//
// The two sides talk only through their event queues (app/EngineWork.h): post()
// hands the engine a piece of work (a command, an application of the settings),
// the engine sends back copies of what changed (TEnginePublisher): log rows,
// errors, its state and the test console's texts and tables. This side keeps the
// latest copies: state(), log() (a table of the rows, as the core's) and
// diagnostics().
//
//   TEngine engine;                                   // the core is made on its thread
//   engine.post([](TPrincipal& c) { c.FormCreate(); });
//   engine.command("Enviar vendas", [](TPrincipal& c) { c.commands().sendSales(); });
//   engine.stop();                                    // aborts a request, ends the thread
//
// Only post(), call(), command() and stop() touch the engine thread; the core
// itself must not be touched from this side (tests use call()).

#include "app/EngineState.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QThread;
class TActivityLog;
class TDiagnostico;
class TEnginePublisher;
class TPrincipal;

class TEngine : public QObject {
    Q_OBJECT

  public:
    using Work = std::function<void(TPrincipal&)>;

    explicit TEngine(QObject* parent = nullptr);
    ~TEngine() override; // stop()s

    // Queues work on the engine thread; after it the engine tells what changed.
    // An error that escapes it goes to the error display.
    void post(Work work);
    // Runs work on the engine thread and waits for its end (start-up steps that
    // must be over before the next one, and tests). Never from the engine thread.
    void call(const Work& work);
    // An operator command: queued behind the work at hand. While it waits its
    // caption is in queued(); the same command asked for again meanwhile is not
    // queued twice (false then).
    bool command(const QString& caption, Work work);
    // Commands waiting behind the work at hand, in their order.
    [[nodiscard]] const QStringList& queued() const { return m_queued; }

    // Ends the engine: a request in progress is aborted, the work at hand ends
    // at its next step, queued work is dropped, and the core is destroyed on its
    // thread. Waits at most `waitMs`; false when the thread did not end by then.
    static constexpr int StopWaitMs = 10'000;
    bool stop(int waitMs = StopWaitMs);
    [[nodiscard]] bool running() const;

    // The latest copies from the engine.
    [[nodiscard]] const EngineState& state() const { return m_state; }
    [[nodiscard]] bool busy() const { return !m_state.task.isEmpty(); }
    [[nodiscard]] TActivityLog& log() const { return *m_log; }
    [[nodiscard]] TDiagnostico& diagnostics() const { return *m_diagnostics; }

  signals:
    // All emitted on this side's thread.
    void stateChanged();                    // state() or queued() changed
    void rowAdded();                        // a row reached log()
    void errorRaised(const QString& text);  // an error no task handled, as shown
    void noticeRaised(const QString& text); // shown as an error is, but no work failed
    void diagnosticsChanged();              // diagnostics() took new copies
    void tickFinished(const QDateTime& when);
    void settingsApplied(const QString& baseUrl);

  protected:
    bool event(QEvent* event) override; // runs what the engine handed over

  private:
    friend class TEnginePublisher;
    class Thread;
    void runOnEngine(const Work& work); // on the engine thread: the work, then what changed
    void receiveState(const EngineState& state);
    void receiveRow(const QDateTime& when, const QString& operation, const QString& message);
    void receiveDiagnostics(const DiagnosticsSnapshot& snapshot);

    std::unique_ptr<Thread> m_thread;
    TPrincipal* m_core = nullptr;            // lives on the engine thread
    TEnginePublisher* m_publisher = nullptr; // lives on the engine thread
    EngineState m_state;
    QStringList m_queued;
    std::unique_ptr<TActivityLog> m_log;
    std::unique_ptr<TDiagnostico> m_diagnostics;
};
