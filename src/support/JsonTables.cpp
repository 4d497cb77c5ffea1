#include "support/JsonTables.h"

namespace {

FieldDef text(const char* name, int size) { return {QString::fromLatin1(name), FieldType::Text, size}; }
FieldDef memo(const char* name) { return {QString::fromLatin1(name), FieldType::LongText, 0}; }
FieldDef real(const char* name) { return {QString::fromLatin1(name), FieldType::Float, 0}; }

}  // namespace

QList<FieldDef> promotionFields() {
    return {text("id", 10),           text("titulo", 100),        text("descripcion", 100),
            text("tipo", 30),         text("autor", 30),          memo("detalles"),
            text("vigenciaDesde", 30), text("vigenciaHasta", 30), text("limitePromocionesPorTicket", 5)};
}

QList<FieldDef> promotionDetailFields() {
    return {memo("condiciones"), memo("beneficios"), real("precio"), real("descuento"), real("paga")};
}

QList<FieldDef> groupFields() {
    return {memo("articulos"), real("cantidad")};
}

QList<FieldDef> articleFields() {
    return {text("nombre", 50), text("codigoBarras", 30)};
}

QList<FieldDef> resendRequestFields() {
    return {text("fecha", 10), text("codigoCaja", 5)};
}

TMemTable* newPromotionsTable(QObject* parent) {
    return new TMemTable(QStringLiteral("tblJson1"), promotionFields(), parent);
}
TMemTable* newPromotionDetailsTable(QObject* parent) {
    return new TMemTable(QStringLiteral("tblJson2"), promotionDetailFields(), parent);
}
TMemTable* newGroupsTable(QObject* parent) {
    return new TMemTable(QStringLiteral("tblJson3"), groupFields(), parent);
}
TMemTable* newArticlesTable(QObject* parent) {
    return new TMemTable(QStringLiteral("tblJson4"), articleFields(), parent);
}
TMemTable* newResendRequestsTable(QObject* parent) {
    return new TMemTable(QStringLiteral("tblJson5"), resendRequestFields(), parent);
}
