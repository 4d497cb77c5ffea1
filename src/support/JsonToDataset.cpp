#include "support/JsonToDataset.h"

void JsonToDataset(TMemTable& aDataset, const QString& aJSON) {
    if (aJSON.isEmpty()) return;
    aDataset.Close();
    throw JsonError(QStringLiteral("JsonToDataset: not implemented yet"));
}
