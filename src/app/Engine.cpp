#include "app/Engine.h"

#include "api/CurlShared.h"
#include "api/HttpClient.h"
#include "app/ActivityLog.h"
#include "app/EnginePublisher.h"
#include "app/EngineWork.h"
#include "app/ErrorDisplay.h"
#include "app/uPrincipal.h"
#include "support/MemTable.h"
#include "support/ThreadHandoff.h"
#include "sync/Diagnostico.h"

#include <QThread>
#include <atomic>
#include <semaphore>

class TEngine::Thread : public QThread {
  public:
    explicit Thread(TEngine& engine) : m_engine(engine) { setObjectName(QStringLiteral("engine")); }

    std::atomic<bool> stopping{false};
    std::binary_semaphore ready{0};

  protected:
    void run() override {
        // Made, used and destroyed here: the timers, the ERP session and the
        // HTTP clients belong to this thread.
        {
            TPrincipal core;
            TEnginePublisher publisher(core, m_engine);
            m_engine.m_core = &core;
            m_engine.m_publisher = &publisher;
            ready.release();
            exec();
            // Work still queued is dropped with the publisher it was posted to.
        }
        curlshared::releaseThreadState();
        handoffRelease(&m_engine);
    }

  private:
    TEngine& m_engine;
};

namespace {

// Releases the waiting side of call() once the work has run or was dropped.
struct Done {
    std::binary_semaphore signal{0};
};

} // namespace

TEngine::TEngine(QObject* parent)
    : QObject(parent), m_thread(std::make_unique<Thread>(*this)),
      m_log(std::make_unique<TActivityLog>([] { return QString(); })),
      m_diagnostics(std::make_unique<TDiagnostico>()) {
    // This side only shows the rows the engine's log kept.
    m_log->table().Open();
    m_thread->start();
    m_thread->ready.acquire();
    call([](TPrincipal&) {}); // the first state
}

TEngine::~TEngine() {
    stop();
}

bool TEngine::running() const {
    return m_publisher != nullptr && m_thread->isRunning();
}

bool TEngine::event(QEvent* event) {
    return runWork(this, event) || QObject::event(event);
}

void TEngine::runOnEngine(const Work& work) {
    if (m_thread->stopping) return;
    m_core->errors().runGuarded([&] { work(*m_core); });
    m_publisher->publish();
}

void TEngine::post(Work work) {
    if (!running()) return;
    postWork(m_publisher, [this, work = std::move(work)] { runOnEngine(work); });
}

void TEngine::call(const Work& work) {
    Q_ASSERT(QThread::currentThread() != m_thread.get());
    if (!running()) return;
    auto done = std::make_shared<Done>();
    {
        // The guard goes with the work: run, or dropped unrun, it lets this side go on.
        const std::shared_ptr<void> release(nullptr, [done](void*) { done->signal.release(); });
        postWork(m_publisher, [this, &work, release] { runOnEngine(work); });
    }
    done->signal.acquire();
}

bool TEngine::command(const QString& caption, Work work) {
    if (!running() || m_queued.contains(caption)) return false;
    m_queued.append(caption);
    emit stateChanged();
    post([this, caption, work = std::move(work)](TPrincipal& core) {
        // Taken: no longer waiting.
        postWork(this, [this, caption] {
            m_queued.removeOne(caption);
            emit stateChanged();
        });
        work(core);
    });
    return true;
}

bool TEngine::stop(int waitMs) {
    if (!m_thread->isRunning()) return true;
    m_thread->stopping = true;
    // A request waiting for the service ends within about a second; the work
    // at hand then ends as after any request without a reply.
    THttpClient::abortAll();
    m_thread->quit();
    if (!m_thread->wait(waitMs)) return false;
    handoffAcquire(this);
    m_core = nullptr;
    m_publisher = nullptr;
    THttpClient::resumeAll();
    return true;
}

void TEngine::receiveState(const EngineState& state) {
    m_state = state;
    emit stateChanged();
}

void TEngine::receiveRow(const QDateTime& when, const QString& operation, const QString& message) {
    m_log->showRow(when, operation, message);
    emit rowAdded();
}

void TEngine::receiveDiagnostics(const DiagnosticsSnapshot& snapshot) {
    const auto texts = m_diagnostics->textos();
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (snapshot.texts.at(i)) texts.at(i)->SetText(*snapshot.texts.at(i));
    const auto tables = m_diagnostics->tabelas();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const std::optional<TableSnapshot>& table = snapshot.tables.at(i);
        if (!table) continue;
        if (table->active)
            tables.at(i)->Refill(TMemRows(table->rows), table->current);
        else
            tables.at(i)->Close();
    }
    emit diagnosticsChanged();
}
