// Rounding, zero padding and the general text of a real.

#include "support/frmFunczyr.h"

#include "support/Errors.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

double Funcoes_da_ZYR::RoundZYR(double ValorIn, int Decimais) {
    double scaled = ValorIn;
    for (int i = 0; i < Decimais; ++i) scaled *= 10;

    // Nearest integer, a value halfway between two going to the even one.
    const double lower = std::floor(scaled);
    const double diff = scaled - lower;
    double rounded = lower;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(lower, 2.0) != 0)) rounded = lower + 1;

    // The integer must fit 64 bits; NaN fails both comparisons.
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        throw AppError(QStringLiteral("Invalid floating point operation"));
    double result = double(qint64(rounded));
    for (int i = 0; i < Decimais; ++i) result /= 10;
    return result;
}

QString Funcoes_da_ZYR::StrZero(int Codigo, int Quantidade) {
    if (Quantidade <= 0) return {};
    const QString text = QString(Quantidade, QChar(u'0')) + QString::number(Codigo);
    return text.right(Quantidade);
}

QString Funcoes_da_ZYR::FloatToStrGeral(double ValorIn) {
    if (std::isnan(ValorIn)) return QStringLiteral("NAN");
    if (std::isinf(ValorIn)) return ValorIn > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (ValorIn == 0) return QStringLiteral("0");

    // 15 significant digits, correctly rounded: "d.dddddddddddddde+XX".
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(ValorIn), std::chars_format::scientific, 14);
    const char* e = buf;
    while (e < res.ptr && *e != 'e') ++e;
    QString digits;
    for (const char* p = buf; p < e; ++p)
        if (*p != '.') digits += QChar(char16_t(*p));
    // to_chars writes no terminating zero: read the exponent within its bounds.
    int exponent = 0;
    const char* x = e + 1;
    if (x < res.ptr && *x == '+') ++x;
    std::from_chars(x, res.ptr, exponent);
    while (digits.size() > 1 && digits.endsWith(u'0')) digits.chop(1);

    QString out;
    if (ValorIn < 0) out += u'-';
    if (exponent >= 15 || exponent < -4) {
        out += digits.at(0);
        if (digits.size() > 1) out += DecimalSeparator() + digits.mid(1);
        out += u'E';
        if (exponent < 0) out += u'-';
        out += QString::number(std::abs(exponent));
    } else if (exponent >= 0) {
        const qsizetype intDigits = exponent + 1;
        out += digits.left(intDigits);
        if (digits.size() < intDigits) out += QString(intDigits - digits.size(), QChar(u'0'));
        if (digits.size() > intDigits) out += DecimalSeparator() + digits.mid(intDigits);
    } else {
        out += u'0';
        out += DecimalSeparator();
        out += QString(-exponent - 1, QChar(u'0'));
        out += digits;
    }
    return out;
}

QString Funcoes_da_ZYR::Formata_Valor_para_Sql(double ValorIn) {
    return TrocaLetra(FloatToStrGeral(ValorIn), QStringLiteral(","), QStringLiteral("."));
}

int Funcoes_da_ZYR::FloatToInt(double ValorIn) {
    const QString text = FloatToStrGeral(std::trunc(ValorIn));
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok) throw ConversionError(QStringLiteral("'") + text + QStringLiteral("' is not a valid integer value"));
    return value;
}
