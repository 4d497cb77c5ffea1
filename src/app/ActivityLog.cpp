// The activity log: addList adds one row to tblList, which the main window's
// grid shows. The table holds at most 101 rows: the row that would be the 102nd
// starts a new log of one row. Every row also goes, with its whole texts, to the
// day's file of the activity journal (app/Journal.h).

#include "app/Journal.h"
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
    mostraLinha(agora, OperIn, MensagemIn);
    if (const std::optional<QString> falha = m_journal->append(agora, OperIn, MensagemIn)) {
        // Shown like an error that no task handled, but not journaled (the
        // journal is what failed) and without ending the work in progress.
        mostraLinha(agora, QStringLiteral("Erro na operação"), *falha);
        emit noticeRaised(TextoDoErro(*falha));
    }
}

void TPrincipal::mostraLinha(const QDateTime& when, const QString& operacao, const QString& mensagem) {
    if (tblList && tblList->Active()) {
        if (tblList->RecordCount() > MaximoLinhas) tblList->EmptyTable();
        // Stored as the 8-bit code page keeps it ("?" for what it lacks), then cut.
        tblList->appendRow({ansi::roundTrip(operacao).left(TamanhoOperacao), when.date(), when.time(),
                            ansi::roundTrip(mensagem).left(TamanhoMensagem)});
    }
    emit rowLogged(when, operacao, mensagem);
    emit rowAdded();
}
