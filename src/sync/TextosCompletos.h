#pragma once
// The memory tables keep a text member only up to their column's size. Where a
// cut value would be written as another value (an id, a register, a limit),
// the import asks for the full texts of those members here.

#include <QString>
#include <QStringList>

#include <vector>

// The full texts of the members `membros` of every element of the JSON array
// `arrayJson`, one row per element, in the order of `membros`; a missing or null
// member gives the empty text, a number its text as written. Throws JsonError
// like JsonToDataset when the text is not a JSON array.
[[nodiscard]] std::vector<QStringList> textosCompletos(const QString& arrayJson, const QStringList& membros);
