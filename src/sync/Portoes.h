#pragma once
// TPortoes: the two gates of the tasks. A task that talks to the service
// closes both while it works; a task finds its gate closed when another one is
// at work (or when the shell holds it), and then does nothing.
//   podePostVenda  the sales upload may start
//   podeGetPromo   the promotions fetch and the resend readings may start

class TPortoes {
  public:
    [[nodiscard]] bool podePostVenda() const { return m_podePostVenda; }
    [[nodiscard]] bool podeGetPromo() const { return m_podeGetPromo; }
    void setPodePostVenda(bool aberto) { m_podePostVenda = aberto; }
    void setPodeGetPromo(bool aberto) { m_podeGetPromo = aberto; }
    void fechaAmbos() { m_podePostVenda = m_podeGetPromo = false; }
    void abreAmbos() { m_podePostVenda = m_podeGetPromo = true; }

    // Closes both gates and opens them again when it goes, however the work ended.
    class Trabalho {
      public:
        explicit Trabalho(TPortoes& portoes) : m_portoes(portoes) { m_portoes.fechaAmbos(); }
        ~Trabalho() { m_portoes.abreAmbos(); }
        Trabalho(const Trabalho&) = delete;
        Trabalho& operator=(const Trabalho&) = delete;

      private:
        TPortoes& m_portoes;
    };

  private:
    bool m_podePostVenda = false;
    bool m_podeGetPromo = false;
};
