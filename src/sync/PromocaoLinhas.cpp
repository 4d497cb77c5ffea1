// The rows of Korvanta_promo and Korvanta_item and the checks a promotion's
// texts must pass before they are written.

#include "sync/PromocaoLinhas.h"

#include "support/MemTable.h"
#include "support/frmFunczyr.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <array>
#include <cmath>
#include <utility>

namespace promocao {

namespace {

using F = Funcoes_da_ZYR;

constexpr int kTamanhoTexto = 50; // tit_prom, desc_prom, nom_pro_prom

bool soDigitos(QStringView texto) {
    if (texto.isEmpty()) return false;
    for (const QChar c : texto)
        if (c < u'0' || c > u'9') return false;
    return true;
}

bool numeroInteiro(QStringView texto) {
    if (texto.startsWith(u'-')) texto = texto.mid(1);
    return soDigitos(texto);
}

// The ERP's tables have never held a NUL (the texts were once written inside the
// statement, where a NUL ends it), and the point-of-sale software reads them as
// C strings. No text of a promotion needs one.
QString semNulos(QString texto) {
    texto.remove(QChar(u'\0'));
    return texto;
}

// A value as a log message shows it: at most 30 characters, in quotes.
QString citado(const QString& texto) {
    return QLatin1Char('"') + (texto.size() > 30 ? TMemTable::cutText(texto, 30) + QStringLiteral("...") : texto) +
           QLatin1Char('"');
}

// Empty when `texto` is a date-time YYYY-MM-DDTHH:MM:SS of a real day and time,
// optionally followed by a fraction and a zone (which are not used).
QString problemaDaVigencia(const char* membro, const QString& texto) {
    static const QRegularExpression forma(QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2}))"));
    // What may follow the seconds: ".000", "Z", "-03:00", "+0300" and the like.
    // The column keeps 30 characters, so a long fraction and zone may arrive cut.
    static const QRegularExpression resto(QStringLiteral(R"(^(\.\d*)?([Zz]|[+-][\d:]*)?$)"));
    const QString porque = QStringLiteral("\"%1\" %2 is not a date-time YYYY-MM-DDTHH:MM:SS")
                               .arg(QLatin1String(membro), texto.isEmpty() ? QStringLiteral("missing,")
                                                                           : citado(texto));
    const QRegularExpressionMatch m = forma.match(texto);
    if (!m.hasMatch() || !resto.match(QStringView(texto).mid(19)).hasMatch()) return porque;
    const QDate dia(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const int h = m.captured(4).toInt(), min = m.captured(5).toInt(), s = m.captured(6).toInt();
    if (!dia.isValid() || dia.year() < 1 || h > 23 || min > 59 || s > 59) return porque;
    return {};
}

} // namespace

QString tipoPromocao(const QString& tipo) {
    static const std::array<std::pair<QString, QString>, 6> tipos = {{
        {QStringLiteral("Descuento_Fijo"), QStringLiteral("desconto_fixo")},
        {QStringLiteral("Precio_fijo"), QStringLiteral("preco_fixo")},
        {QStringLiteral("Lleva_paga"), QStringLiteral("leva_paga")},
        {QStringLiteral("Adicional_descuento"), QStringLiteral("adicional_desconto")},
        {QStringLiteral("Adicional_regalo"), QStringLiteral("adicional_regalo")},
        {QStringLiteral("Descuento_Variable"), QStringLiteral("desconto_variavel")},
    }};
    for (const auto& [palavra, tipoProm] : tipos)
        if (F::Tem_Palavra_no_Texto(palavra, tipo)) return tipoProm;
    return {};
}

QString autorPromocao(const QString& autor) {
    const QString valor = F::StringDelimitador(F::StringDelimitador(autor, QStringLiteral(":"), QStringLiteral("resto")),
                                               QStringLiteral("}"), QStringLiteral("inicio"));
    return F::TrocaLetra(valor, QStringLiteral("\""), QString());
}

QString vigenciaSql(const QString& vigencia) {
    const QStringView v(vigencia);
    auto pedaco = [&](qsizetype inicio, qsizetype tamanho) { return v.mid(inicio, tamanho).toString(); };
    return pedaco(5, 2) + u'/' + pedaco(8, 2) + u'/' + pedaco(0, 4) + u' ' + pedaco(11, 8);
}

QString limitePorTicket(const QString& limite) { return QStringLiteral("0") + limite; }

QString problemaDaPromocao(const QString& id, const QString& vigenciaDesde, const QString& vigenciaHasta,
                           const QString& limite) {
    if (id.isEmpty()) return QStringLiteral("the promotion has no \"id\"");
    if (!numeroInteiro(id)) return QStringLiteral("\"id\" %1 is not a whole number").arg(citado(id));
    if (id.size() > kTamanhoId)
        return QStringLiteral("\"id\" %1 is longer than %2 characters").arg(citado(id)).arg(kTamanhoId);
    if (QString p = problemaDaVigencia("vigenciaDesde", vigenciaDesde); !p.isEmpty()) return p;
    if (QString p = problemaDaVigencia("vigenciaHasta", vigenciaHasta); !p.isEmpty()) return p;
    if (!limite.isEmpty() && (!soDigitos(limite) || limite.size() > kTamanhoLimite))
        return QStringLiteral("\"limitePromocionesPorTicket\" %1 is not a whole number of at most %2 digits")
            .arg(citado(limite))
            .arg(kTamanhoLimite);
    return {};
}

SqlWhere condicaoPromocao(const QString& id) {
    return SqlWhere{}.add(QStringLiteral("id_prom"), QStringLiteral("="), id);
}

QStringList paresPromocao(const LinhaPromocao& l) {
    return {QStringLiteral("id_prom"),        l.id,
            QStringLiteral("tit_prom"),       TMemTable::cutText(semNulos(l.titulo), kTamanhoTexto),
            QStringLiteral("desc_prom"),      TMemTable::cutText(semNulos(l.descricao), kTamanhoTexto),
            QStringLiteral("tipo_prom"),      l.tipo,
            QStringLiteral("vig_in_dh"),      l.vigenciaInicio,
            QStringLiteral("vig_out_dh"),     l.vigenciaFim,
            QStringLiteral("autor_prom"),     semNulos(l.autor),
            QStringLiteral("Atv_prom"),       QStringLiteral("T"),
            QStringLiteral("id_sinc"),        l.idSinc,
            QStringLiteral("lim_por_ticket"), l.limite};
}

double precoDoItem(const QString& tipo, double precio, double cantidad) {
    if (tipo != QLatin1String("preco_fixo") || cantidad == 0) return precio;
    return F::RoundZYR(precio / cantidad, 2);
}

SqlWhere condicaoItem(const QString& id, const QString& codigoBarras, const QString& tipoItem) {
    return condicaoPromocao(id)
        .add(QStringLiteral("cod_bar_prom"), QStringLiteral("="), semNulos(codigoBarras))
        .add(QStringLiteral("tipo_item"), QStringLiteral("="), tipoItem);
}

QStringList semChaveDoItem(const QStringList& pares) {
    static const QStringList chave = {QStringLiteral("id_prom"), QStringLiteral("cod_bar_prom"),
                                      QStringLiteral("tipo_item")};
    QStringList resto;
    for (qsizetype i = 0; i + 1 < pares.size(); i += 2) {
        if (chave.contains(pares.at(i), Qt::CaseInsensitive)) continue;
        resto << pares.at(i) << pares.at(i + 1);
    }
    return resto;
}

QStringList paresItem(const LinhaItem& l) {
    return {QStringLiteral("id_prom"),      l.id,
            QStringLiteral("tipo_item"),    l.tipoItem,
            QStringLiteral("preco_prom"),   F::Formata_Valor_para_Sql(l.preco),
            QStringLiteral("desc_prom"),    F::Formata_Valor_para_Sql(l.desconto),
            QStringLiteral("paga_prom"),    F::Formata_Valor_para_Sql(l.paga),
            QStringLiteral("qtd_prom"),     F::Formata_Valor_para_Sql(l.quantidade),
            QStringLiteral("nom_pro_prom"), TMemTable::cutText(semNulos(l.nome), kTamanhoTexto),
            QStringLiteral("cod_bar_prom"), semNulos(l.codigoBarras),
            QStringLiteral("cod_red_prom"), QStringLiteral("0")};
}

} // namespace promocao
