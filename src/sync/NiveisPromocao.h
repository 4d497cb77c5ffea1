#pragma once
// Reading one level of a promotion from the level above it, as both the
// promotion import and the test console's detail commands do: a text or a
// number of the current row of a memory table, and the array a condition or
// benefit text holds.

#include <QString>

class TMemTable;

namespace promocao {

// The text of a column of the table's current row; empty when the table is
// closed or has no rows.
[[nodiscard]] QString textoAtual(TMemTable& tabela, const QString& coluna);
// The same as a number; 0 when the table is closed or has no rows.
[[nodiscard]] double valorAtual(TMemTable& tabela, const QString& coluna);

// The array of a condition or benefit held as {"grupos":[...]}: the text after
// its first ":" (the whole text when there is none), without its last
// character (the closing "}").
[[nodiscard]] QString arrayDoMembro(const QString& texto);

} // namespace promocao
