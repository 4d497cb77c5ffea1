#pragma once
// TEnginePublisher: lives on the engine thread beside the core and tells the
// window what changed, as copies sent by queued signals: every log row as it
// is added, the errors and notices, the state at every change, and the test
// console's texts and tables. Texts go out with every log row; tables only at
// the end of a piece of work (publish), and only those whose rows changed.

#include "app/EngineState.h"

#include <QDateTime>
#include <QObject>
#include <array>

class TPrincipal;
class TMemTable;

class TEnginePublisher : public QObject {
    Q_OBJECT

  public:
    explicit TEnginePublisher(TPrincipal& core, QObject* parent = nullptr);

    // Sends the state and whatever of the diagnostics changed.
    void publish();
    // Sends the state only.
    void publishState();

  signals:
    // `kept`: the engine's log table took the row (it is open).
    void rowLogged(const QDateTime& when, const QString& operation, const QString& message, bool kept);
    void errorRaised(const QString& text);
    void noticeRaised(const QString& text);
    void stateChanged(const EngineState& state);
    void diagnosticsChanged(const DiagnosticsSnapshot& snapshot);
    void tickFinished(const QDateTime& when);
    void settingsApplied(const QString& baseUrl);

  private:
    [[nodiscard]] EngineState state() const;
    void publishTexts();
    void publishDiagnostics(bool withTables);

    TPrincipal& m_core;
    std::array<TMemTable*, DiagnosticsSnapshot::TableCount> m_tables{};
    std::array<bool, DiagnosticsSnapshot::TableCount> m_dirty{};
    std::array<QString, DiagnosticsSnapshot::TextCount> m_sentTexts;
    bool m_textsSent = false;
};
