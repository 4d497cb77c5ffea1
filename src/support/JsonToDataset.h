#pragma once
// JsonToDataset: fills a memory table from a JSON text holding an array of
// objects, one row per element, each column from the element's member of the
// same name (exact, case-sensitive; the first of repeated keys). Numbers reach
// text columns as written, nested objects and arrays as compact JSON text.
// An empty text does nothing. A text that is not a JSON array raises JsonError
// and leaves the table closed and unchanged; a string that is no number in a
// floating column raises JsonError after the rows appended so far.
// On success the table is open and stands on its first row.
// The whole text is checked as JSON (RFC 8259), also the parts no column
// keeps; nesting deeper than 256 levels is refused; a UTF-8 byte-order mark
// before the value is ignored. Views attached to the table see one reset.

#include "support/Errors.h"
#include "support/MemTable.h"

#include <QByteArrayView>

class JsonError : public AppError {
public:
    using AppError::AppError;
};

void JsonToDataset(TMemTable& aDataset, const QString& aJSON);
// The same from UTF-8 bytes (e.g. a reply body); invalid UTF-8 raises JsonError.
void JsonToDatasetUtf8(TMemTable& aDataset, QByteArrayView aJSON);
