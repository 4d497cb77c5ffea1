#pragma once
// The daily closing document of one register and day: seven lines.
//
//   {
//   "montoVentaLiquida":100.00,
//   "cantidadMovimientos":4,
//   "montoCancelaciones":25.00,
//   "cantidadCancelaciones":1,
//   "fechaVentas":"2020-06-10"
//   }

#include <QString>
#include <QStringList>

namespace fechdoc {

// qualData is the day as "DD/MM/AAAA"; the counts are whole numbers.
[[nodiscard]] QStringList linhasFechamento(const QString& qualData, double somaVenda, double contaVenda,
                                           double somaCancel, double contaCancel);

// True for a date text "DD/MM/AAAA" naming a real day.
[[nodiscard]] bool dataValida(const QString& qualData);

} // namespace fechdoc
