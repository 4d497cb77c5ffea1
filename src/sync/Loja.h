#pragma once
// The store as the tasks see it: its identity at the service and the switches
// of the settings, copied when the settings are applied, and the month's log
// folder, where the tasks keep the files of failed exchanges.

#include <QString>

struct Loja {
    QString idEmpresa;            // the company at the service ("IDEMRPESA")
    QString idLocal;              // the store at the service ("IDLOCAL")
    bool usaCodEmpDolvex = false; // the ERP rows are restricted to one company...
    QString codEmpDolvex;         // ...of this code
    bool postaVendas = false;     // the sales upload is switched on
    bool buscaPromocoes = false;  // the promotions fetch is switched on
    QString pastaLog;             // the month's log folder, ending with the separator
};
