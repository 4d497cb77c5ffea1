#pragma once
// The rows the promotion import writes, built from the texts of one promotion
// as the memory tables hold them. Pure functions: no database, no tables.
//
//   Korvanta_promo  key id_prom = <id>, ten pairs (paresPromocao)
//   Korvanta_item   key id_prom = <id> and cod_bar_prom = <barcode> and tipo_item = <kind>,
//                   nine pairs (paresItem)
//
// Every value reaches the database as a parameter of the generic insert and
// update. problemaDaPromocao refuses an id that is not a whole number. NUL
// characters are dropped from every text, as the ERP's rows never had them.

#include "erp/SqlStatement.h"

#include <QString>
#include <QStringList>

namespace promocao {

inline const QString kTabelaPromo = QStringLiteral("Korvanta_promo");
inline const QString kTabelaItem = QStringLiteral("Korvanta_item");
inline const QString kItemCondicao = QStringLiteral("condicao");
inline const QString kItemBeneficio = QStringLiteral("beneficio");
// Columns of tblJson1 whose texts have a size limit that a real value may reach.
inline constexpr int kTamanhoId = 10;
inline constexpr int kTamanhoLimite = 5;

// The kind written to tipo_prom: the first of the six words found in "tipo"
// (case-blind substring test), in the order of the kinds table; the empty text
// when none is found.
[[nodiscard]] QString tipoPromocao(const QString& tipo);

// The author: the text after the first ":" up to the first "}", without double
// quotes. {"nombre":"Compras"} and Compras both give Compras.
[[nodiscard]] QString autorPromocao(const QString& autor);

// A validity text 2023-03-01T08:30:00.000-03:00 as the month-first date-time
// literal text 03/01/2023 08:30:00 (characters 6-7, 9-10, 1-4 and 12-19).
[[nodiscard]] QString vigenciaSql(const QString& vigencia);

// "0" followed by the limit: 2 -> "02", empty (missing or null) -> "0".
[[nodiscard]] QString limitePorTicket(const QString& limite);

// Why a promotion cannot be written, or the empty text when it can: its id must
// be a whole number of at most 10 characters, its validity texts date-times of
// the form YYYY-MM-DDTHH:MM:SS (a fraction and a zone may follow), and its
// limit empty or a whole number of at most 5 digits. The texts are the full
// texts of the document (see textosCompletos in PromocaoTextos.h).
[[nodiscard]] QString problemaDaPromocao(const QString& id, const QString& vigenciaDesde,
                                         const QString& vigenciaHasta, const QString& limite);

// The condition that selects one promotion: id_prom = id.
[[nodiscard]] SqlWhere condicaoPromocao(const QString& id);

struct LinhaPromocao {
    QString id;
    QString titulo;
    QString descricao;
    QString tipo;           // already mapped (tipoPromocao)
    QString vigenciaInicio; // already in the SQL form (vigenciaSql)
    QString vigenciaFim;
    QString autor;          // already extracted (autorPromocao)
    QString idSinc;         // the run's stamp
    QString limite;         // already prefixed (limitePorTicket)
};
// The ten pairs of the Korvanta_promo row, in order; title and description cut
// to their first 50 characters; "Atv_prom" is "T".
[[nodiscard]] QStringList paresPromocao(const LinhaPromocao& linha);

// The price of an article: for the kind "preco_fixo" the promotion's price
// divided by the group's quantity, rounded to 2 decimals ties to even; for
// every other kind, and for a quantity of 0, the price unchanged.
[[nodiscard]] double precoDoItem(const QString& tipo, double precio, double cantidad);

// The condition that selects one article of a promotion: id_prom = id and
// cod_bar_prom = barcode and tipo_item = kind.
[[nodiscard]] SqlWhere condicaoItem(const QString& id, const QString& codigoBarras, const QString& tipoItem);

struct LinhaItem {
    QString id;
    QString tipoItem; // kItemCondicao or kItemBeneficio
    double preco = 0;
    double desconto = 0;
    double paga = 0;
    double quantidade = 0;
    QString nome;
    QString codigoBarras;
};
// The pairs without those of the item's key (id_prom, cod_bar_prom, tipo_item).
[[nodiscard]] QStringList semChaveDoItem(const QStringList& pares);

// The nine pairs of the Korvanta_item row, in order: numbers written with
// Formata_Valor_para_Sql, the name cut to 50 characters, "cod_red_prom" "0".
[[nodiscard]] QStringList paresItem(const LinhaItem& linha);

} // namespace promocao
