// format_vlr_korv and Trata_asc_especial: numbers and texts as documents carry them.
#include "api/RequestFrame.h"

#include <charconv>
#include <cmath>
#include <string>

namespace api {

namespace {

// Significant digits the value is taken to before it is rounded to the decimals.
constexpr int kSignificant = 15;

// Adds one to a string of decimal digits, growing it on a carry out of the first.
void incrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The exact decimal expansion of |value| (finite, not zero): its significant
// digits without trailing zeros, and the power of ten of the first digit.
void exactDigits(double value, std::string& digits, int& exponent) {
    // 767 significant digits are the most a double's exact expansion has.
    char buf[800];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 770);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    digits = text.substr(0, 1) + text.substr(2, e - 2);
    exponent = std::stoi(text.substr(e + 1));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

} // namespace

QString format_vlr_korv(const QString& strformat, double vlrIn) {
    if (std::isnan(vlrIn)) return QStringLiteral("NAN");
    if (std::isinf(vlrIn)) return vlrIn < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const int decimals = int(strformat.size());

    // scaled: the digits of |vlrIn| * 10^decimals, rounded to an integer.
    std::string scaled = "0";
    if (vlrIn != 0) {
        std::string digits;
        int exponent = 0; // value = d0.d1d2... * 10^exponent
        exactDigits(vlrIn, digits, exponent);
        if (int(digits.size()) > kSignificant) {
            const bool up = digits[kSignificant] >= '5';
            digits.resize(kSignificant);
            if (up) {
                incrementDigits(digits);
                if (int(digits.size()) > kSignificant) {
                    digits.pop_back();
                    ++exponent;
                }
            }
        }
        const int keep = exponent + decimals + 1; // digits at or above 10^-decimals
        if (keep == 0) {
            scaled = digits[0] >= '5' ? "1" : "0";
        } else if (keep > 0) {
            const bool up = keep < int(digits.size()) && digits[size_t(keep)] >= '5';
            scaled = digits.substr(0, size_t(std::min(keep, int(digits.size()))));
            scaled.append(size_t(keep) - scaled.size(), '0');
            if (up) incrementDigits(scaled);
        }
    }

    if (scaled.size() < size_t(decimals) + 1) scaled.insert(0, size_t(decimals) + 1 - scaled.size(), '0');
    const bool isZero = scaled.find_first_not_of('0') == std::string::npos;
    std::string out = (vlrIn < 0 && !isZero) ? "-" : "";
    out += scaled.substr(0, scaled.size() - size_t(decimals));
    if (decimals > 0) out += "." + scaled.substr(scaled.size() - size_t(decimals));
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString Trata_asc_especial(const QString& strIn) {
    QString out = strIn;
    out.replace(QLatin1Char('\\'), QLatin1Char('/'));
    out.remove(QLatin1Char('\r'));
    out.remove(QLatin1Char('"'));
    return out;
}

} // namespace api
