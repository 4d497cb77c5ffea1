#pragma once
// The promotions document of bench/promotions_import: `promocoes` promotions,
// each with `artigos` condition and `artigos` benefit articles, as the values
// (gera) and as the service's JSON text (documento).

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <vector>

namespace bench {

struct Artigo {
    QString nombre;
    QString codigo;
};

struct Promocao {
    qint64 id = 0;
    QString titulo;
    QString descripcion;
    QString tipoJson;  // "Precio_fijo" ...
    QString tipoProm;  // "preco_fixo" ...
    QDateTime desde;
    QDateTime hasta;
    int limite = 0;
    double precio = 0;
    double descuento = 0;
    double paga = 0;
    double cantidadCondicion = 0;
    double cantidadBeneficio = 0;
    std::vector<Artigo> condicion;
    std::vector<Artigo> beneficio;
};

inline const char* const kTipos[][2] = {{"Descuento_Fijo", "desconto_fixo"},
                                 {"Precio_fijo", "preco_fixo"},
                                 {"Lleva_paga", "leva_paga"},
                                 {"Adicional_descuento", "adicional_desconto"},
                                 {"Adicional_regalo", "adicional_regalo"},
                                 {"Descuento_Variable", "desconto_variavel"}};

inline std::vector<Promocao> gera(int promocoes, int artigos) {
    std::vector<Promocao> lista;
    lista.reserve(static_cast<std::size_t>(promocoes));
    for (int i = 0; i < promocoes; ++i) {
        Promocao p;
        p.id = 100000 + i;
        p.titulo = QStringLiteral("Leve %1, pague %2 - promoção nº %3").arg(i % 5 + 2).arg(i % 5 + 1).arg(i);
        p.descripcion = QStringLiteral("Descrição da promoção %1 para os artigos da loja").arg(i);
        p.tipoJson = QString::fromLatin1(kTipos[i % 6][0]);
        p.tipoProm = QString::fromLatin1(kTipos[i % 6][1]);
        p.desde = QDateTime(QDate(2026, 1, 1), QTime(0, 0, 0));
        p.hasta = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59));
        p.limite = i % 4;
        p.precio = 10 + i % 90;
        p.descuento = (i % 20) * 0.5;
        p.paga = i % 3;
        p.cantidadCondicion = 1 + i % 4;
        p.cantidadBeneficio = 1 + i % 2;
        for (int a = 0; a < artigos; ++a) {
            p.condicion.push_back({QStringLiteral("ARTIGO CONDICAO %1-%2").arg(i).arg(a),
                                   QStringLiteral("789%1%2").arg(i, 6, 10, QLatin1Char('0')).arg(a, 2, 10, QLatin1Char('0'))});
            p.beneficio.push_back({QStringLiteral("ARTIGO BENEFICIO %1-%2").arg(i).arg(a),
                                   QStringLiteral("780%1%2").arg(i, 6, 10, QLatin1Char('0')).arg(a, 2, 10, QLatin1Char('0'))});
        }
        lista.push_back(std::move(p));
    }
    return lista;
}

inline QString grupoJson(double cantidad, const std::vector<Artigo>& artigos) {
    QString s = QStringLiteral(R"({"grupos":[{"cantidad":%1,"articulos":[)").arg(cantidad);
    for (std::size_t a = 0; a < artigos.size(); ++a) {
        if (a) s += u',';
        s += QStringLiteral(R"({"nombre":"%1","codigoBarras":"%2"})").arg(artigos[a].nombre, artigos[a].codigo);
    }
    return s + QStringLiteral("]}]}");
}

inline QString documento(const std::vector<Promocao>& lista) {
    QString s = QStringLiteral(R"({"total":%1,"promociones":[)").arg(lista.size());
    for (std::size_t i = 0; i < lista.size(); ++i) {
        const Promocao& p = lista[i];
        if (i) s += u',';
        s += QStringLiteral(R"({"id":%1,"titulo":"%2","descripcion":"%3","tipo":"%4","autor":{"nombre":"Compras"},)"
                            R"("vigenciaDesde":"%5","vigenciaHasta":"%6","limitePromocionesPorTicket":%7,)")
                 .arg(QString::number(p.id), p.titulo, p.descripcion, p.tipoJson,
                      p.desde.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.000-03:00")),
                      p.hasta.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.000-03:00")), QString::number(p.limite));
        s += QStringLiteral(R"("detalles":{"condiciones":%1,"beneficios":%2,"precio":%3,"descuento":%4,"paga":%5}})")
                 .arg(grupoJson(p.cantidadCondicion, p.condicion), grupoJson(p.cantidadBeneficio, p.beneficio),
                      QString::number(p.precio), QString::number(p.descuento), QString::number(p.paga));
    }
    return s + QStringLiteral("]}");
}

} // namespace bench
