#pragma once
// Reading decimal numbers from text, whatever the workstation's locale:
// optional blanks around, an optional sign, digits with "." or "," as the
// decimal separator, an optional exponent (1e3, 2,5E-2). No thousands
// separators, no "inf"/"nan". The result is nullopt when the text is not such
// a number or is out of the range of a double.

#include <QStringView>

#include <optional>
#include <string_view>

[[nodiscard]] std::optional<double> parseDecimalText(std::string_view text);
[[nodiscard]] std::optional<double> parseDecimalText(QStringView text);
