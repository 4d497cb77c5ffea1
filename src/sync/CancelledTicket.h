#pragma once
// The cancelled-ticket text that the point-of-sale software leaves in
// KORVANTA_DELETE.memo_korv, read into a movement (pass 1: the ticket as a
// sale; pass 2: its cancellation).
//
// Layout, one line per row, fields separated by "^":
//   1  the moment, already as the document's "fecha"
//   2, 3  not read
//   4 .. the line before "FIMITENS": items, seven fields each (goods code,
//        barcode, name, quantity, unit price, item total, item discount)
//   "FIMITENS", then one line not read
//   then the totals: ticket discount, surcharge, ticket total, customer
//        document, payment form name
// Numbers are written with "." or ",". A text that does not follow this layout
// throws DocumentError.

#include "sync/MovementDocument.h"

#include <QString>
#include <QStringList>

namespace canceldoc {

struct Cancelamento {
    movdoc::Movimento movimento; // numero and cancelacion set for the pass
    QString formaPagamento;      // payment form name of the totals line
};

// strOper: "" for pass 1, "-" for pass 2.
[[nodiscard]] Cancelamento lerTextoCancelado(const QStringList& linhas, int nroCupom, const QString& strOper);

// The payment-forms text of a cancellation: the ticket's payment-forms row when
// it has one, otherwise the totals line's form name, "^" and the ticket total.
[[nodiscard]] QString formasDoCancelamento(const Cancelamento& c, const QString& formasPgto);

} // namespace canceldoc
