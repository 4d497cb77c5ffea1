#include "sync/ClosingDocument.h"

#include "sync/DocText.h"

#include <QDate>
#include <QRegularExpression>

namespace fechdoc {

QStringList linhasFechamento(const QString& qualData, double somaVenda, double contaVenda, double somaCancel,
                             double contaCancel) {
    // Characters 7 to 10, 4 and 5, 1 and 2 of DD/MM/AAAA.
    const QString fechaVentas = qualData.mid(6, 4) + u'-' + qualData.mid(3, 2) + u'-' + qualData.mid(0, 2);
    return {
        QStringLiteral("{"),
        QStringLiteral("\"montoVentaLiquida\":") + doctext::amount(somaVenda) + u',',
        QStringLiteral("\"cantidadMovimientos\":") + doctext::quantity(contaVenda + contaCancel) + u',',
        QStringLiteral("\"montoCancelaciones\":") + doctext::amount(somaCancel) + u',',
        QStringLiteral("\"cantidadCancelaciones\":") + doctext::quantity(contaCancel) + u',',
        QStringLiteral("\"fechaVentas\":") + doctext::jsonString(fechaVentas),
        QStringLiteral("}"),
    };
}

bool dataValida(const QString& qualData) {
    static const QRegularExpression form(QStringLiteral("^[0-9]{2}/[0-9]{2}/[0-9]{4}$"));
    return form.match(qualData).hasMatch() &&
           QDate::fromString(qualData, QStringLiteral("dd/MM/yyyy")).isValid();
}

} // namespace fechdoc
