#pragma once
// Checks of single JSON tokens (RFC 8259), used by JsonToDataset where the
// on-demand parser hands out raw token text without checking it.

#include <string_view>

namespace jsontokens {

// The token without the blanks that may follow it.
[[nodiscard]] std::string_view trimmed(std::string_view token);

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
[[nodiscard]] bool isNumber(std::string_view token);

// `p` is just after a string's opening quote, in a text whose string ends the
// parser has already found. Returns the position of the closing quote, or
// nullptr with `reason` set when an escape is invalid (an unknown escape, a
// \u without four hex digits, a surrogate that is not a proper pair).
[[nodiscard]] const char* stringEnd(const char* p, const char*& reason);

}  // namespace jsontokens
