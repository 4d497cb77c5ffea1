#pragma once
// Writing JSON text by hand: quoted strings.

#include <string>
#include <string_view>

namespace fake {

// text as a JSON string literal, quotes included. The text must be UTF-8.
[[nodiscard]] std::string jsonQuote(std::string_view text);

// Whether the bytes are valid UTF-8.
[[nodiscard]] bool isUtf8(std::string_view bytes);

[[nodiscard]] std::string base64(std::string_view bytes);

} // namespace fake
