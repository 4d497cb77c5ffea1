#pragma once
// The value forms of the documents sent to the service: quoted texts escaped as
// JSON requires, amounts with two decimals, quantities in their shortest form,
// rounding to two decimals, and the reading of numbers that the point-of-sale
// software writes with "." or "," as decimal separator.
//
// Every failure here is a DocumentError naming the value involved.

#include <QString>

namespace doctext {

// A quoted JSON string: the text between double quotes, with the quote, the
// backslash and every control character (below U+0020) escaped.
[[nodiscard]] QString jsonString(const QString& text);

// An amount: format_vlr_korv with "00" (45.6 -> "45.60", 0 -> "0.00").
[[nodiscard]] QString amount(double value);
// A quantity: Formata_Valor_para_Sql (4 -> "4", 1.5 -> "1.5", 0.355 -> "0.355").
[[nodiscard]] QString quantity(double value);
// RoundZYR with two decimals (ties to even); DocumentError when the value is out of range.
[[nodiscard]] double round2(double value);

// Reads a number written with "." or "," as decimal separator: every "." becomes
// "," and the text is read with "," as the decimal separator (blanks around it
// allowed, an optional sign and exponent). So "45.60", "45,60", " 4 " and "-1,5"
// read; "", "1.234,56", "12a" and "R$ 5" do not. `what` names the value in the
// error message.
[[nodiscard]] double readNumber(const QString& text, const QString& what);

// True when the text is a number exactly as JSON writes one ("4", "4.000", "-0.5", "1E-5").
[[nodiscard]] bool isJsonNumber(const QString& text);

} // namespace doctext
