#include "sync/DocText.h"

#include "api/RequestFrame.h"
#include "support/frmFunczyr.h"
#include "sync/DocumentError.h"

#include <QRegularExpression>
#include <cmath>

namespace doctext {

QString jsonString(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\b':
            out += QStringLiteral("\\b");
            break;
        case u'\f':
            out += QStringLiteral("\\f");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

QString amount(double value) {
    return api::format_vlr_korv(QStringLiteral("00"), value);
}

QString quantity(double value) {
    return Funcoes_da_ZYR::Formata_Valor_para_Sql(value);
}

double round2(double value) {
    try {
        return Funcoes_da_ZYR::RoundZYR(value, 2);
    } catch (const AppError& e) {
        throw DocumentError(
            QStringLiteral("%1 rounding %2").arg(e.message(), QString::number(value, 'g', 17)));
    }
}

double readNumber(const QString& text, const QString& what) {
    // The text with "," as its only decimal separator, as the workstation reads it.
    const QString comma = Funcoes_da_ZYR::TrocaLetra(text, QStringLiteral("."), QStringLiteral(","));
    static const QRegularExpression form(
        QStringLiteral("^ *[+-]?([0-9]+,?[0-9]*|,[0-9]+)([eE][+-]?[0-9]+)? *$"));
    if (form.match(comma).hasMatch()) {
        bool ok = false;
        const double value = comma.trimmed().replace(u',', u'.').toDouble(&ok);
        if (ok && std::isfinite(value)) return value;
    }
    throw DocumentError(QStringLiteral("'%1' is not a valid number (%2)").arg(text, what));
}

bool isJsonNumber(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?$"));
    return form.match(text).hasMatch();
}

} // namespace doctext
