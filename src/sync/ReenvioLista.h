#pragma once
// What the resend-request operations take out of the service's replies. Pure
// functions: no tables, no requests.

#include <QString>

namespace reenvio {

// The list of requests in a reply, as the text of a JSON array for the adapter:
//   - a reply that is a JSON array is the list;
//   - a reply that is a JSON object gives the array of its first member whose
//     value is an array;
//   - otherwise the text strictly between the first "{" and the last "}" (the
//     whole text where there is no such brace), which the adapter refuses
//     unless it is an array.
// Throws AppError when that leaves nothing to read (an empty or blank reply)
// and for a reply nested deeper than the JSON parser goes.
[[nodiscard]] QString listaDeSolicitacoes(const QString& resposta);

// Why a request cannot be honoured, or the empty text: `fecha` must be a date
// YYYY-MM-DD of a real day, `codigoCaja` a whole number of at most 5 digits.
[[nodiscard]] QString problemaDaSolicitacao(const QString& fecha, const QString& codigoCaja);

// The day text DD/MM/YYYY of a `fecha` YYYY-MM-DD: 2023-03-15 -> 15/03/2023.
[[nodiscard]] QString diaDaSolicitacao(const QString& fecha);

// The register of a valid `codigoCaja` as the uploads take it: "02" -> "2".
[[nodiscard]] QString caixaDaSolicitacao(const QString& codigoCaja);

} // namespace reenvio
