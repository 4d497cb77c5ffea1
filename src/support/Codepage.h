#pragma once
// The one place where text meets the workstation's 8-bit code page.
// The ERP, the settings file, the log table and the text files beside the
// program all use Windows-1252; a character it lacks becomes "?".

#include <QByteArray>
#include <QString>

namespace ansi {

// Text to Windows-1252 bytes; every character without a counterpart (one "?" per
// character, a surrogate pair counting as one character) becomes '?'.
[[nodiscard]] QByteArray fromUnicode(const QString& text);

// Windows-1252 bytes to text. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same code.
[[nodiscard]] QString toUnicode(const QByteArray& bytes);

// The text as an 8-bit store keeps it: fromUnicode then toUnicode.
[[nodiscard]] QString roundTrip(const QString& text);

} // namespace ansi
