#include "erp/ErpFieldLists.h"

namespace erpfields {

namespace {

FieldSpec integer(const char* name) { return {QString::fromLatin1(name), FieldKind::Integer, 0}; }
FieldSpec money(const char* name) { return {QString::fromLatin1(name), FieldKind::Numeric, 2}; }
FieldSpec text(const char* name, int size) { return {QString::fromLatin1(name), FieldKind::Text, size}; }
FieldSpec blob(const char* name) { return {QString::fromLatin1(name), FieldKind::Blob, 0}; }

} // namespace

std::vector<FieldSpec> ticketFields() {
    return {integer("NRO_CUPOM"),
            integer("NRO_CX"),
            {QStringLiteral("DATA_CUPOM"), FieldKind::Date, 0},
            integer("COD_CLI"),
            money("VLR_PRO"),
            money("VLR_ACR"),
            money("VLR_DES"),
            money("SUB_TOT"),
            money("VLR_PAG"),
            money("VLR_TRO"),
            text("TIP_VEN", 5),
            text("FORMA_PAG", 15),
            text("CPF_CLI", 18),
            {QStringLiteral("HORA"), FieldKind::Time, 0},
            integer("SINC_KORVANTA"),
            blob("FORMASPGTO"),
            integer("COD_EMP")};
}

std::vector<FieldSpec> cancellationFields() {
    return {integer("NRO_CUPOM"),
            integer("NRO_CX"),
            {QStringLiteral("DATA_CUPOM"), FieldKind::Date, 0},
            blob("MEMO_KORV"),
            integer("SINC_KORV"),
            blob("FORMASPGTO"),
            money("SUB_TOT"),
            integer("COD_EMP")};
}

std::vector<FieldSpec> itemFields() {
    return {integer("COD_MER"),
            money("VLR_UNI"),
            money("SUB_TOT"),
            {QStringLiteral("QTD_VEN"), FieldKind::Numeric, 3},
            money("VLR_UNI_O"),
            text("COD_BAR", 30),
            text("NOM_MER", 50),
            money("VLR_DES_I_KORV")};
}

} // namespace erpfields
