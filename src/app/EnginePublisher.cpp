#include "app/EnginePublisher.h"

#include "api/ServiceFrame.h"
#include "app/ActivityLog.h"
#include "app/Engine.h"
#include "app/EngineWork.h"
#include "app/ErrorDisplay.h"
#include "app/Scheduler.h"
#include "app/uPrincipal.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "support/MemTable.h"
#include "support/ThreadHandoff.h"
#include "sync/Diagnostico.h"
#include "sync/Loja.h"

#include <algorithm>
#include <cmath>

TEnginePublisher::TEnginePublisher(TPrincipal& core, TEngine& engine, QObject* parent)
    : QObject(parent), m_core(core), m_engine(engine) {
    m_dirty.fill(true);
    const auto tables = core.diagnostics().tabelas();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        TMemTable* table = tables.at(i);
        const auto dirty = [this, i] { m_dirty.at(i) = true; };
        connect(table, &QAbstractItemModel::modelReset, this, dirty);
        connect(table, &QAbstractItemModel::rowsInserted, this, dirty);
        connect(table, &QAbstractItemModel::rowsRemoved, this, dirty);
        connect(table, &QAbstractItemModel::dataChanged, this, dirty);
        connect(table, &QAbstractItemModel::layoutChanged, this, dirty);
    }

    TActivityLog& log = core.log();
    connect(&log, &TActivityLog::rowLogged, this,
            [this](const QDateTime& when, const QString& operation, const QString& message) {
                // The other side shows the rows the log's table took (it is open).
                if (m_core.log().table().Active())
                    deliver([&e = m_engine, when, operation, message] {
                        e.receiveRow(when, operation, message);
                    });
                publishDiagnostics(false);
            });
    connect(&log, &TActivityLog::noticeRaised, this,
            [this](const QString& text) { deliver([&e = m_engine, text] { emit e.noticeRaised(text); }); });
    connect(&core.errors(), &TErrorDisplay::errorRaised, this,
            [this](const QString& text) { deliver([&e = m_engine, text] { emit e.errorRaised(text); }); });
    connect(&core, &TPrincipal::stateChanged, this, &TEnginePublisher::publishState);
    connect(&core, &TPrincipal::settingsApplied, this, [this] {
        deliver([&e = m_engine, url = m_core.frame().baseUrl()] { emit e.settingsApplied(url); });
    });
    TScheduler& scheduler = core.scheduler();
    connect(&scheduler, &TScheduler::changed, this, &TEnginePublisher::publishState);
    connect(&scheduler, &TScheduler::taskStarted, this, &TEnginePublisher::publishState);
    connect(&scheduler, &TScheduler::workEnded, this, &TEnginePublisher::publish);
    connect(&scheduler, &TScheduler::tickFinished, this, [this] {
        publish();
        deliver([&e = m_engine, when = appClock().now()] { emit e.tickFinished(when); });
    });
}

TEnginePublisher::~TEnginePublisher() {
    // Work still waiting is dropped here, on this thread.
    handoffAcquire(this);
}

bool TEnginePublisher::event(QEvent* event) {
    return runWork(this, event) || QObject::event(event);
}

void TEnginePublisher::deliver(std::function<void()> onTheOtherSide) {
    postWork(&m_engine, std::move(onTheOtherSide));
}

EngineState TEnginePublisher::state() const {
    const TPrincipal& core = m_core;
    const TScheduler& scheduler = core.scheduler();
    EngineState s;
    s.caption = core.caption();
    s.testConsoleOffered = core.testConsoleOffered();
    s.selection = core.commands().selection();
    s.day = core.commands().day();
    s.idEmpresa = core.store().idEmpresa;
    s.idLocal = core.store().idLocal;
    s.user = core.frame().user();
    s.password = core.frame().password();
    s.logFolder = core.store().pastaLog;
    s.database = core.erp().pathBancoDolvex();
    s.baseUrl = core.frame().baseUrl();
    s.task = scheduler.currentTask();
    if (scheduler.timerGeral().isActive()) {
        // The timer runs on real milliseconds; the program's clock may run faster
        // (tests and demonstrations scale the timers).
        const double left = scheduler.timerGeral().remainingTime() / TScheduler::timerScale();
        s.nextTick = appClock().now().addMSecs(static_cast<qint64>(std::llround(std::max(0.0, left))));
    }
    return s;
}

void TEnginePublisher::publishState() {
    deliver([&e = m_engine, s = state()] { e.receiveState(s); });
}

void TEnginePublisher::publish() {
    publishState();
    publishDiagnostics(true);
}

void TEnginePublisher::publishDiagnostics(bool withTables) {
    const TDiagnostico& d = m_core.diagnostics();
    const auto texts = d.textos();
    DiagnosticsSnapshot snapshot;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // A text held unchanged still shares its data with the copy sent last.
        const QString& text = texts.at(i)->Text();
        if (m_textsSent && text.isSharedWith(m_sentTexts.at(i))) continue;
        m_sentTexts.at(i) = text;
        snapshot.texts.at(i) = text;
    }
    m_textsSent = true;
    if (withTables) {
        const auto tables = d.tabelas();
        for (std::size_t i = 0; i < tables.size(); ++i) {
            if (!m_dirty.at(i)) continue;
            m_dirty.at(i) = false;
            const TMemTable& table = *tables.at(i);
            snapshot.tables.at(i) = TableSnapshot{table.Active(), table.rows(), table.currentRow()};
        }
    }
    if (snapshot.isEmpty()) return;
    deliver([&e = m_engine, snapshot = std::move(snapshot)] { e.receiveDiagnostics(snapshot); });
}
