#include "support/JsonTables.h"

namespace {

FieldDef text(const char* name, int size) { return {QString::fromLatin1(name), FieldType::Text, size}; }
FieldDef memo(const char* name) { return {QString::fromLatin1(name), FieldType::LongText, 0}; }
FieldDef real(const char* name) { return {QString::fromLatin1(name), FieldType::Float, 0}; }

}  // namespace

QList<FieldDef> tblJson1Fields() {
    return {text("id", 10),           text("titulo", 100),        text("descripcion", 100),
            text("tipo", 30),         text("autor", 30),          memo("detalles"),
            text("vigenciaDesde", 30), text("vigenciaHasta", 30), text("limitePromocionesPorTicket", 5)};
}

QList<FieldDef> tblJson2Fields() {
    return {memo("condiciones"), memo("beneficios"), real("precio"), real("descuento"), real("paga")};
}

QList<FieldDef> tblJson3Fields() { return {memo("articulos"), real("cantidad")}; }

QList<FieldDef> tblJson4Fields() { return {text("nombre", 50), text("codigoBarras", 30)}; }

QList<FieldDef> tblJson5Fields() { return {text("fecha", 10), text("codigoCaja", 5)}; }

TMemTable* newTblJson1(QObject* parent) { return new TMemTable(QStringLiteral("tblJson1"), tblJson1Fields(), parent); }
TMemTable* newTblJson2(QObject* parent) { return new TMemTable(QStringLiteral("tblJson2"), tblJson2Fields(), parent); }
TMemTable* newTblJson3(QObject* parent) { return new TMemTable(QStringLiteral("tblJson3"), tblJson3Fields(), parent); }
TMemTable* newTblJson4(QObject* parent) { return new TMemTable(QStringLiteral("tblJson4"), tblJson4Fields(), parent); }
TMemTable* newTblJson5(QObject* parent) { return new TMemTable(QStringLiteral("tblJson5"), tblJson5Fields(), parent); }
