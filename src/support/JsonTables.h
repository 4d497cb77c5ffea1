#pragma once
// The five memory tables that JsonToDataset fills, with their fixed columns:
//   tblJson1  the promotions           id, titulo, descripcion, tipo, autor, detalles,
//                                      vigenciaDesde, vigenciaHasta, limitePromocionesPorTicket
//   tblJson2  one promotion's details  condiciones, beneficios, precio, descuento, paga
//   tblJson3  condition/benefit groups articulos, cantidad
//   tblJson4  the articles of a group  nombre, codigoBarras
//   tblJson5  resend requests          fecha, codigoCaja
// tblJsonNFields() gives the column list; newTblJsonN() makes a closed table
// named "tblJsonN" with it (owned by `parent` when one is given).

#include "support/MemTable.h"

[[nodiscard]] QList<FieldDef> tblJson1Fields();
[[nodiscard]] QList<FieldDef> tblJson2Fields();
[[nodiscard]] QList<FieldDef> tblJson3Fields();
[[nodiscard]] QList<FieldDef> tblJson4Fields();
[[nodiscard]] QList<FieldDef> tblJson5Fields();

[[nodiscard]] TMemTable* newTblJson1(QObject* parent = nullptr);
[[nodiscard]] TMemTable* newTblJson2(QObject* parent = nullptr);
[[nodiscard]] TMemTable* newTblJson3(QObject* parent = nullptr);
[[nodiscard]] TMemTable* newTblJson4(QObject* parent = nullptr);
[[nodiscard]] TMemTable* newTblJson5(QObject* parent = nullptr);
