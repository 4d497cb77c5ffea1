// The activity log: addList adds one row to tblList, which the main window's
// grid shows. The table holds at most 101 rows: the row that would be the 102nd
// starts a new log of one row.

#include "app/uPrincipal.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/MemTable.h"

namespace {
constexpr int TamanhoOperacao = 40;
constexpr int TamanhoMensagem = 100;
constexpr int MaximoLinhas = 100; // more rows than this empties the table first
} // namespace

void TPrincipal::addList(const QString& OperIn, const QString& MensagemIn) {
    QDateTime agora = appClock().now();
    const QTime hora = agora.time();
    agora.setTime(QTime(hora.hour(), hora.minute(), hora.second()));
    if (tblList && tblList->Active()) {
        if (tblList->RecordCount() > MaximoLinhas) tblList->EmptyTable();
        // Stored as the 8-bit code page keeps it ("?" for what it lacks), then cut.
        tblList->appendRow({ansi::roundTrip(OperIn).left(TamanhoOperacao), agora.date(),
                            QTime(hora.hour(), hora.minute(), hora.second()),
                            ansi::roundTrip(MensagemIn).left(TamanhoMensagem)});
    }
    emit rowLogged(agora, OperIn, MensagemIn);
    emit rowAdded();
}
