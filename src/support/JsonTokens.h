#pragma once
// Checks of single JSON tokens (RFC 8259), used by JsonToDataset where the
// on-demand parser hands out raw token text without checking it.

#include <string_view>

namespace jsontokens {

// The token without the blanks that may follow it.
[[nodiscard]] std::string_view trimmed(std::string_view token);

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
[[nodiscard]] bool isNumber(std::string_view token);

// Checks every backslash escape in [begin, end): an escape is one of \" \\ \/
// \b \f \n \r \t or \u with four hex digits, a surrogate only as a proper
// \uD8xx\uDCxx pair. Meant for a whole document whose structure the parser
// has already checked, where every backslash lies inside a string. Returns
// the first bad escape, or nullptr, with `reason` set. Reads up to 12 bytes
// past a backslash: the text must be padded (as the parser's input is).
[[nodiscard]] const char* badEscape(const char* begin, const char* end, const char*& reason);

}  // namespace jsontokens
