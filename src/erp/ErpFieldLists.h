#pragma once
// The typed field lists of the ticket, cancellation and item statements: the
// fields each of them must return, checked when the statement opens.

#include "erp/FbQuery.h"

#include <vector>

namespace erpfields {

// qryCupom: NRO_CUPOM, NRO_CX, DATA_CUPOM, COD_CLI, VLR_PRO ... VLR_TRO, TIP_VEN,
// FORMA_PAG, CPF_CLI, HORA, SINC_KORVANTA, FORMASPGTO, COD_EMP
[[nodiscard]] std::vector<FieldSpec> ticketFields();
// qryCupomDelete: NRO_CUPOM, NRO_CX, DATA_CUPOM, MEMO_KORV, SINC_KORV, FORMASPGTO,
// SUB_TOT, COD_EMP
[[nodiscard]] std::vector<FieldSpec> cancellationFields();
// qryItensCupom: COD_MER, VLR_UNI, SUB_TOT, QTD_VEN, VLR_UNI_O, COD_BAR, NOM_MER,
// VLR_DES_I_KORV
[[nodiscard]] std::vector<FieldSpec> itemFields();

} // namespace erpfields
