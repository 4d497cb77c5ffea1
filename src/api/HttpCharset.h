#pragma once
// Turning a GET reply's body into text by the charset its Content-Type declares.

#include <QByteArray>
#include <QString>

namespace httpcharset {

// The charset parameter of a Content-Type value, lower-case, quotes removed;
// empty when there is none ("application/json;charset=UTF-8" -> "utf-8").
[[nodiscard]] QByteArray charsetOf(const QByteArray& contentType);

// The body decoded by the declared charset. No charset: each byte becomes the
// character of the same code (ISO-8859-1). "windows-1252" (and "cp1252")
// decodes through the workstation code page; UTF-8, UTF-16/32 and ISO-8859-1
// (with "us-ascii") are understood; an unknown charset falls back to ISO-8859-1.
[[nodiscard]] QString decodeBody(const QByteArray& body, const QByteArray& contentType);

} // namespace httpcharset
