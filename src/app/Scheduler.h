#pragma once
// TScheduler: the general tick (timerGeral) that runs the tasks that are due,
// the ping handshake (timerPing), the countdowns of the periodic tasks and the
// gates. It also marks the work of a tick or an operator command: a tick or
// command that arrives while another one is at work does nothing; the task at
// work has a name for the operator (taskStarted, currentTask).
//
// A silent service costs one time-out per tick: once a request of the tick got
// no reply (the request frame's count rose), the network tasks still to come
// in that tick do not start and stay due for the next one, and one log row
// "Serviço sem resposta" says what waits.
//
// The countdowns hold seconds on the clock of clockSeconds(), which does not
// restart at midnight: a task keeps coming due every interval around the clock,
// a clock set back makes the tasks wait and a clock set forward makes them due.

#include "sync/Portoes.h"
#include "sync/Prazo.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

namespace api {
class ServiceFrame;
}
class TConfig;
class TDiagnostico;
class TEnvioDeVendas;
class TErrorDisplay;
class TPromocoes;
class TReenvio;
class TAtividades;
struct Loja;

class TScheduler : public QObject {
    Q_OBJECT

  public:
    // Intervals in milliseconds as the program uses them.
    static constexpr int InitialInterval = 10000; // timerGeral at creation
    static constexpr int GeneralInterval = 30000; // timerGeral after every tick
    static constexpr int PingInterval = 20000;    // timerPing
    // Tests shrink the real timer intervals by this factor (1 in the program).
    static void setTimerScale(double factor);
    [[nodiscard]] static double timerScale();

    // The tasks a tick runs.
    struct Tasks {
        TEnvioDeVendas& sales;
        TPromocoes& promotions;
        TReenvio& resend;
    };
    TScheduler(TConfig& config, const Loja& store, TAtividades& log, TDiagnostico& diagnostics,
               TErrorDisplay& errors, const api::ServiceFrame& frame, QObject* parent = nullptr);
    // The tasks are made after the scheduler (they are handed its gates and
    // countdowns); they are given to it once, before the timers first start.
    void setTasks(const Tasks& tasks);

    void habilTimer(int Value); // 0 stops both timers, 1 starts them
    void timerGeralTimer();
    void timerPingTimer();
    // The interval timerGeral runs on, as the program sees it (10000 or 30000).
    [[nodiscard]] int timerGeralInterval() const { return m_generalInterval; }
    [[nodiscard]] const QTimer& timerGeral() const { return m_timerGeral; }
    [[nodiscard]] const QTimer& timerPing() const { return m_timerPing; }
    [[nodiscard]] QTimer& timerGeral() { return m_timerGeral; }
    [[nodiscard]] QTimer& timerPing() { return m_timerPing; }

    [[nodiscard]] TPortoes& gates() { return m_gates; }
    [[nodiscard]] TPrazo& salesCountdown() { return m_salesCountdown; }
    [[nodiscard]] TPrazo& closingCountdown() { return m_closingCountdown; }
    [[nodiscard]] TPrazo& promotionsCountdown() { return m_promotionsCountdown; }
    [[nodiscard]] TPrazo& resendCountdown() { return m_resendCountdown; }

    // The names of the tasks, as the operator sees them.
    inline static const QString SalesTask = QStringLiteral("Envio de vendas");
    inline static const QString PromotionsTask = QStringLiteral("Leitura de promoções");
    inline static const QString ResendTask = QStringLiteral("Leitura de reenvio");
    inline static const QString ClosingTask = QStringLiteral("Fechamento diário");

    // An operator command: stops both timers, announces the task, runs the
    // work, starts them again (the gates open again when it failed). Nothing
    // while other work is on.
    void command(const QString& task, const std::function<void()>& work);
    // The end of a tick or command whose work failed: the timers start again
    // and the gates open, so the next due task runs.
    void resumeAfterError();
    // True while a tick or a command is at work.
    [[nodiscard]] bool busy() const { return m_workDepth > 0; }
    // The task at work (one of the names above); empty when idle.
    [[nodiscard]] const QString& currentTask() const { return m_currentTask; }
    // Marks a tick or command at work, announcing `task` when one is named; at
    // the outermost end forgets the task at work and tells workEnded.
    class Work {
      public:
        explicit Work(TScheduler& s, const QString& task = QString()) : m_s(s) {
            ++m_s.m_workDepth;
            if (!task.isEmpty()) m_s.announce(task);
        }
        ~Work() {
            if (--m_s.m_workDepth > 0) return;
            m_s.m_currentTask.clear();
            emit m_s.workEnded();
        }
        Work(const Work&) = delete;
        Work& operator=(const Work&) = delete;

      private:
        TScheduler& m_s;
    };

  signals:
    void taskStarted(const QString& task); // a task of a tick or a command starts
    void tickFinished(); // a general tick has ended (also after an error)
    void workEnded();    // the outermost work at hand has ended
    void changed();      // what the window shows may have changed

  private:
    void setTimerGeralInterval(int ms);
    void announce(const QString& task);
    // The due tasks of a tick, in their order; what a silent service held back is logged.
    void runDueTasks();

    TConfig& m_config;
    const Loja& m_store;
    TAtividades& m_log;
    TDiagnostico& m_diagnostics;
    TErrorDisplay& m_errors;
    const api::ServiceFrame& m_frame;
    std::optional<Tasks> m_tasks;
    QString m_currentTask;
    QTimer m_timerGeral; // the general tick: 10 s at creation, 30 s after every tick
    QTimer m_timerPing;  // the ping handshake, 20 s
    int m_generalInterval = InitialInterval;
    int m_workDepth = 0;
    TPortoes m_gates;
    TPrazo m_salesCountdown;
    TPrazo m_closingCountdown;
    TPrazo m_promotionsCountdown;
    TPrazo m_resendCountdown;
};
