#pragma once
// Sets both gates again when the exchange that closed them ends, however it ends.

#include "app/uPrincipal.h"

class ReabreGates {
public:
    explicit ReabreGates(TPrincipal& p) : m_p(p) {}
    ~ReabreGates() {
        m_p.podePostVenda = 1;
        m_p.podeGetPromo = 1;
    }
    ReabreGates(const ReabreGates&) = delete;
    ReabreGates& operator=(const ReabreGates&) = delete;

private:
    TPrincipal& m_p;
};
