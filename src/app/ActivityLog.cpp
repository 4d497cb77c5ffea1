#include "app/ActivityLog.h"

#include "app/ErrorDisplay.h"
#include "app/Journal.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/MemTable.h"

namespace {
constexpr int TamanhoOperacao = 40;
constexpr int TamanhoMensagem = 100;
constexpr int MaximoLinhas = 100; // more rows than this empties the table first
} // namespace

TActivityLog::TActivityLog(std::function<QString()> pasta, QObject* parent)
    : QObject(parent),
      m_tabela(new TMemTable(QStringLiteral("tblList"),
                             {{QStringLiteral("Operacao"), FieldType::Text, TamanhoOperacao},
                              {QStringLiteral("Data"), FieldType::Date, 0},
                              {QStringLiteral("Hora"), FieldType::Time, 0},
                              {QStringLiteral("Mensagem"), FieldType::Text, TamanhoMensagem}},
                             this)),
      m_journal(std::make_unique<TJournal>(std::move(pasta))) {}

TActivityLog::~TActivityLog() = default;

void TActivityLog::addList(const QString& OperIn, const QString& MensagemIn) {
    QDateTime agora = appClock().now();
    const QTime hora = agora.time();
    agora.setTime(QTime(hora.hour(), hora.minute(), hora.second()));
    mostraLinha(agora, OperIn, MensagemIn);
    if (const std::optional<QString> falha = m_journal->append(agora, OperIn, MensagemIn)) {
        // Shown like an error that no task handled, but not journaled (the
        // journal is what failed) and without ending the work in progress.
        mostraLinha(agora, QStringLiteral("Erro na operação"), *falha);
        emit noticeRaised(TErrorDisplay::TextoDoErro(*falha));
    }
}

void TActivityLog::mostraLinha(const QDateTime& when, const QString& operacao, const QString& mensagem) {
    if (m_tabela->Active()) {
        if (m_tabela->RecordCount() > MaximoLinhas) m_tabela->EmptyTable();
        // Stored as the 8-bit code page keeps it ("?" for what it lacks), then cut.
        m_tabela->appendRow({ansi::roundTrip(operacao).left(TamanhoOperacao), when.date(), when.time(),
                             ansi::roundTrip(mensagem).left(TamanhoMensagem)});
    }
    emit rowLogged(when, operacao, mensagem);
    emit rowAdded();
}
