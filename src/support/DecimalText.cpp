#include "support/DecimalText.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> parseDecimalText(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 400) return std::nullopt;

    // Check the grammar and copy into a buffer with "." as separator, without
    // a leading "+" (from_chars refuses it).
    std::array<char, 401> buffer{};
    std::size_t out = 0;
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') {
        if (text[i] == '-') buffer[out++] = '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) { buffer[out++] = text[i++]; ++mantissaDigits; }
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        buffer[out++] = '.';
        ++i;
        while (i < text.size() && isDigit(text[i])) { buffer[out++] = text[i++]; ++mantissaDigits; }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        buffer[out++] = 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) buffer[out++] = text[i++];
        int exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) { buffer[out++] = text[i++]; ++exponentDigits; }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    double value = 0;
    const auto [end, ec] = std::from_chars(buffer.data(), buffer.data() + out, value);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is no number we can hold.
        bool nonZeroDigit = false;
        for (std::size_t k = 0; k < out && buffer[k] != 'e'; ++k)
            if (buffer[k] >= '1' && buffer[k] <= '9') nonZeroDigit = true;
        const char* e = std::find(buffer.data(), buffer.data() + out, 'e');
        const bool negativeExponent = e + 1 < buffer.data() + out && e[1] == '-';
        if (nonZeroDigit && negativeExponent) return buffer[0] == '-' ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (ec != std::errc() || end != buffer.data() + out || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> parseDecimalText(QStringView text) {
    if (text.size() > 400) return std::nullopt;
    for (QChar c : text)
        if (c.unicode() > 0x7F) return std::nullopt;
    return parseDecimalText(std::string_view(text.toLatin1().constData(),
                                             static_cast<std::size_t>(text.size())));
}
