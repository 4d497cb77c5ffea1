// The test console's detail commands: each takes a text from the current row of
// one memory table, puts it into memoItem and refills a detail table from it.
// A text that is not a JSON array leaves the target closed, memoItem showing
// the text, and the error goes to the general error display.

#include "app/uPrincipal.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "support/frmFunczyr.h"

namespace {

// The text of a column of the table's current row; empty when there is no row.
QString textoAtual(TMemTable& tabela, const char* coluna) {
    if (!tabela.Active() || tabela.RecordCount() == 0) return {};
    return tabela.FieldByName(QString::fromLatin1(coluna)).AsString();
}

// The text of a condition or benefit held as {"name": [...]}: after its first
// ":" (the whole text when there is none), without its last character.
QString arrayDoMembro(const QString& texto) {
    QString resto = Funcoes_da_ZYR::StringDelimitador(texto, QStringLiteral(":"), QStringLiteral("Resto"));
    resto.chop(1);
    return resto;
}

} // namespace

namespace {
void detalhe(TPrincipal& p, TMemTable& alvo, const QString& texto) {
    p.memoItem.SetText(texto);
    alvo.Close();
    JsonToDataset(alvo, p.memoItem.Text());
}
} // namespace

void TPrincipal::Button2Click() {
    runGuarded([this] {
        detalhe(*this, *tblJson2,
                QStringLiteral("[") + textoAtual(*tblJson1, "detalles") + QStringLiteral("]"));
    });
    emit stateChanged();
}

void TPrincipal::Button3Click() {
    runGuarded([this] { detalhe(*this, *tblJson3, arrayDoMembro(textoAtual(*tblJson2, "condiciones"))); });
    emit stateChanged();
}

void TPrincipal::Button4Click() {
    runGuarded([this] { detalhe(*this, *tblJson3, arrayDoMembro(textoAtual(*tblJson2, "beneficios"))); });
    emit stateChanged();
}

void TPrincipal::Button8Click() {
    runGuarded([this] { detalhe(*this, *tblJson4, textoAtual(*tblJson3, "articulos")); });
    emit stateChanged();
}
