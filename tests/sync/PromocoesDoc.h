#pragma once
// Promotions documents of the service's form, written for the tests:
//   {"total":7,"promociones":[ {promotion}, ... ]}

#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QString>
#include <QStringList>

namespace promodoc {

// A text as a JSON string literal.
inline QString str(const QString& texto) {
    const QByteArray a = QJsonDocument(QJsonArray{texto}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}

struct Artigo {
    QString nombre;
    QString codigoBarras;
};

// {"cantidad":3,"articulos":[{"nombre":"...","codigoBarras":"..."},...]}
inline QString grupo(const QString& cantidad, const QList<Artigo>& artigos) {
    QStringList lista;
    for (const Artigo& a : artigos)
        lista << QStringLiteral(R"({"nombre":%1,"codigoBarras":%2})").arg(str(a.nombre), str(a.codigoBarras));
    return QStringLiteral(R"({"cantidad":%1,"articulos":[%2]})").arg(cantidad, lista.join(u','));
}

struct Promo {
    QString id = QStringLiteral("1"); // JSON value texts from here on, unless said otherwise
    QString titulo = QStringLiteral("Promo");           // plain text
    QString descripcion = QStringLiteral("Descricao");  // plain text
    QString tipo = QStringLiteral("Descuento_Fijo");    // plain text
    QString autor = QStringLiteral(R"({"nombre":"Compras"})");
    QString desde = QStringLiteral(R"("2026-01-01T00:00:00.000-03:00")");
    QString hasta = QStringLiteral(R"("2026-12-31T23:59:59.000-03:00")");
    QString limite = QStringLiteral("null");
    QString precio = QStringLiteral("10");
    QString descuento = QStringLiteral("1.5");
    QString paga = QStringLiteral("0");
    // The groups of the condition and of the benefit; an empty list leaves the member out.
    QStringList condiciones = {grupo(QStringLiteral("1"), {{QStringLiteral("ARROZ 5KG"), QStringLiteral("789001")}})};
    QStringList beneficios = {grupo(QStringLiteral("1"), {{QStringLiteral("FEIJAO 1KG"), QStringLiteral("789002")}})};
    // Replaces the whole "detalles" value when not empty.
    QString detalles;

    [[nodiscard]] QString json() const {
        QString d = detalles;
        if (d.isEmpty()) {
            QStringList membros;
            if (!condiciones.isEmpty())
                membros << QStringLiteral(R"("condiciones":{"grupos":[%1]})").arg(condiciones.join(u','));
            if (!beneficios.isEmpty())
                membros << QStringLiteral(R"("beneficios":{"grupos":[%1]})").arg(beneficios.join(u','));
            membros << QStringLiteral(R"("precio":%1,"descuento":%2,"paga":%3)").arg(precio, descuento, paga);
            d = QLatin1Char('{') + membros.join(u',') + QLatin1Char('}');
        }
        return QStringLiteral(R"({"id":%1,"titulo":%2,"descripcion":%3,"tipo":%4,"autor":%5,)"
                              R"("vigenciaDesde":%6,"vigenciaHasta":%7,"limitePromocionesPorTicket":%8,)"
                              R"("detalles":%9})")
            .arg(id, str(titulo), str(descripcion), str(tipo), autor, desde, hasta, limite, d);
    }
};

inline QString documento(const QList<Promo>& promos, const QString& total = QStringLiteral("7")) {
    QStringList lista;
    for (const Promo& p : promos) lista << p.json();
    return QStringLiteral(R"({"total":%1,"promociones":[%2]})").arg(total, lista.join(u','));
}

} // namespace promodoc
