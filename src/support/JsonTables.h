#pragma once
// The five memory tables that JsonToDataset fills, with their fixed columns
// (the tables keep the names "tblJson1" to "tblJson5"):
//   promotions               id, titulo, descripcion, tipo, autor, detalles,
//                            vigenciaDesde, vigenciaHasta, limitePromocionesPorTicket
//   one promotion's details  condiciones, beneficios, precio, descuento, paga
//   condition/benefit groups articulos, cantidad
//   the articles of a group  nombre, codigoBarras
//   resend requests          fecha, codigoCaja
// ...Fields() gives a table's column list; new...Table() makes a closed table
// with it (owned by `parent` when one is given).

#include "support/MemTable.h"

[[nodiscard]] QList<FieldDef> promotionFields();
[[nodiscard]] QList<FieldDef> promotionDetailFields();
[[nodiscard]] QList<FieldDef> groupFields();
[[nodiscard]] QList<FieldDef> articleFields();
[[nodiscard]] QList<FieldDef> resendRequestFields();

[[nodiscard]] TMemTable* newPromotionsTable(QObject* parent = nullptr);
[[nodiscard]] TMemTable* newPromotionDetailsTable(QObject* parent = nullptr);
[[nodiscard]] TMemTable* newGroupsTable(QObject* parent = nullptr);
[[nodiscard]] TMemTable* newArticlesTable(QObject* parent = nullptr);
[[nodiscard]] TMemTable* newResendRequestsTable(QObject* parent = nullptr);
