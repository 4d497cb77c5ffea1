#pragma once
// What the engine thread tells the window: copies, made on the engine thread
// and read on the GUI thread, so the window never reads the core itself.
//
//   EngineState          what the main window, the support strip and the test
//                        console's identity fields show; sent whole at every change
//   DiagnosticsSnapshot  the test console's texts and tables that changed since
//                        the last snapshot (texts are shared, not copied; a table
//                        is copied only when its rows changed)

#include "app/Commands.h"
#include "support/MemRows.h"
#include "sync/Diagnostico.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <optional>

struct EngineState {
    QString caption;                 // the main window's caption
    bool testConsoleOffered = false; // the test console's button is shown
    TCommands::Selection selection = TCommands::Selection::Pending1;
    QDate day; // the day of the "Data" selection
    // The store's identity, as the test console shows it.
    QString idEmpresa;
    QString idLocal;
    QString user;
    QString password;
    // What the support strip shows.
    QString logFolder; // the month's log folder, empty while unknown
    QString database;  // the ERP database of the settings
    QString baseUrl;   // the base URL in use
    QString task;      // the task at work; empty when the engine is idle
    QDateTime nextTick; // when the general tick comes next; invalid while the timers are stopped
    [[nodiscard]] bool timersRunning() const { return nextTick.isValid(); }
};

// One memory table as the engine holds it.
struct TableSnapshot {
    bool active = false;
    TMemRows rows{QList<FieldDef>{}};
    int current = -1;
};

struct DiagnosticsSnapshot {
    // In the order of TDiagnostico::textos() and tabelas(); empty: unchanged.
    std::array<std::optional<QString>, TDiagnostico::NumTextos> texts;
    std::array<std::optional<TableSnapshot>, TDiagnostico::NumTabelas> tables;
    [[nodiscard]] bool isEmpty() const {
        for (const auto& t : texts)
            if (t) return false;
        for (const auto& t : tables)
            if (t) return false;
        return true;
    }
};
