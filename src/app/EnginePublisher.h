#pragma once
// TEnginePublisher: lives on the engine thread beside the core and tells the
// engine's other side (TEngine) what changed, as copies handed over through its
// event queue: every log row as it is added, the errors and notices, the state
// at every change, and the test console's texts and tables. Texts go out with
// every log row; tables only at the end of a piece of work (publish), and only
// those whose rows changed. The work TEngine hands the core is posted to it.

#include "app/EngineState.h"

#include <QObject>
#include <array>
#include <functional>

class TEngine;
class TPrincipal;

class TEnginePublisher : public QObject {
  public:
    TEnginePublisher(TPrincipal& core, TEngine& engine, QObject* parent = nullptr);
    ~TEnginePublisher() override;

    // Sends the state and whatever of the diagnostics changed.
    void publish();
    // Sends the state only.
    void publishState();

  protected:
    bool event(QEvent* event) override; // runs the work TEngine posted

  private:
    [[nodiscard]] EngineState state() const;
    void publishDiagnostics(bool withTables);
    void deliver(std::function<void()> onTheOtherSide);

    TPrincipal& m_core;
    TEngine& m_engine;
    std::array<bool, TDiagnostico::NumTabelas> m_dirty{};
    std::array<QString, TDiagnostico::NumTextos> m_sentTexts;
    bool m_textsSent = false;
};
