#pragma once
// TPrazo: when a periodic task is next due, in seconds on the clock of
// clockSeconds() (support/Clock.h). A task is due once that moment has passed.

#include <QtGlobal>

class TPrazo {
  public:
    [[nodiscard]] qint64 proximo() const { return m_proximo; }
    void setProximo(qint64 segundos) { m_proximo = segundos; }
    [[nodiscard]] bool venceu(qint64 agora) const { return m_proximo < agora; }
    // When it has passed: the next one `intervalo` seconds after `agora`, and true.
    bool renovaSeVenceu(qint64 agora, qint64 intervalo) {
        if (!venceu(agora)) return false;
        m_proximo = agora + intervalo;
        return true;
    }

  private:
    qint64 m_proximo = 0;
};
