#pragma once
// The movement document (a sale, or one of the two posts of a cancelled
// ticket) built from plain values: the lines that the sales upload puts into
// mmoRequest, one member per line in the service's fixed order.
//
//   movdoc::Movimento m{.fecha = "2020-06-10T15:12:00.000-0300", .numero = "2935", ...};
//   QStringList lines = movdoc::documento(m, "DINHEIRO^45.6", 0);
//
// Quoted values are escaped as JSON requires; amounts have two decimals. A
// value that cannot be turned into the document throws DocumentError.

#include <QList>
#include <QString>
#include <QStringList>

namespace movdoc {

// One item as the document needs it.
struct Item {
    QString codigoArticulo; // goods code, quoted
    QString codigoBarras;   // barcode, quoted
    QString nome;           // name, cleaned by Trata_asc_especial and quoted
    QString cantidad;       // the quantity exactly as it goes into the document
    double quantidade = 0;  // the quantity as a number (unit price of a discounted item)
    double vlrUni = 0;      // stored unit price, sent when the item has no discount
    double subTot = 0;      // item total after its discount
    double desconto = 0;    // item discount; 0 or less means none
};

struct Movimento {
    QString fecha;  // the moment, already "AAAA-MM-DDTHH:MM:SS.000-0300"
    QString numero; // ticket number, "-" in front for a cancellation
    QList<Item> itens;
    double descontoTicket = 0; // the ticket's own discount
    double recargo = 0;
    double total = 0;
    QString documentoCliente; // empty: null
    bool cancelacion = false;
};

// Lines 1 to 14: from "{" to the line that opens "pagos", items included.
struct Abertura {
    QStringList linhas;
    double somaDescontos = 0; // soma_os_descontos after the last item
};
[[nodiscard]] Abertura abertura(const Movimento& m);

// The payment objects for a payment-forms text split in lines ("name^amount"
// each); vlrTroco, the change, is taken once from the first line whose amount
// exceeds it. Blank lines are passed over.
[[nodiscard]] QStringList pagamentos(const QStringList& linhasFormas, double vlrTroco);

// codigoTipoPago of a payment form's name: 10 credit, 13 debit, 11 cheque, 9 other.
[[nodiscard]] int codigoTipoPago(const QString& nome);

// Lines 16 and 17.
[[nodiscard]] QStringList fecho();

// The whole document: abertura, pagamentos of the text split at its line
// breaks, fecho.
[[nodiscard]] QStringList documento(const Movimento& m, const QString& formas, double vlrTroco);

// The document's lines as the body carries them: every line followed by CR LF.
[[nodiscard]] QString texto(const QStringList& linhas);

} // namespace movdoc
