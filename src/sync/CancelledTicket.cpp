#include "sync/CancelledTicket.h"

#include "support/frmFunczyr.h"
#include "sync/DocText.h"
#include "sync/DocumentError.h"

namespace canceldoc {

namespace {

const QString kFimItens = QStringLiteral("FIMITENS");
constexpr int kCamposItem = 7;
constexpr int kCamposTotais = 5;

// The fields of a line: each up to the next "^", the last one to the end of the
// line. A line with fewer fields than the layout asks for is refused, rather than
// read with the last field repeated.
QStringList campos(const QString& linha, int quantos, const QString& oQue) {
    QStringList out;
    QString resto = linha;
    for (int i = 0; i < quantos - 1; ++i) {
        if (!resto.contains(u'^'))
            throw DocumentError(QStringLiteral("%1 has %2 fields, %3 expected: '%4'")
                                    .arg(oQue)
                                    .arg(i + 1)
                                    .arg(quantos)
                                    .arg(linha));
        out << Funcoes_da_ZYR::StringDelimitador(resto, QStringLiteral("^"), QStringLiteral("Inicio"));
        resto = Funcoes_da_ZYR::StringDelimitador(resto, QStringLiteral("^"), QStringLiteral("Resto"));
    }
    out << resto;
    return out;
}

// The quantity as written, a decimal comma turned into a point; a form that
// JSON cannot carry goes in the shortest form of the number read.
QString cantidadComoEscrita(const QString& campo, double lida) {
    QString texto = campo;
    texto.replace(u',', u'.');
    return doctext::isJsonNumber(texto) ? texto : doctext::quantity(lida);
}

} // namespace

Cancelamento lerTextoCancelado(const QStringList& linhas, int nroCupom, const QString& strOper) {
    if (linhas.isEmpty()) throw DocumentError(QStringLiteral("the cancelled-ticket text is empty"));
    const qsizetype fim = linhas.indexOf(kFimItens, 3);
    if (fim < 0) throw DocumentError(QStringLiteral("the cancelled-ticket text has no line FIMITENS"));
    if (fim + 2 >= linhas.size())
        throw DocumentError(QStringLiteral("the cancelled-ticket text has no totals line after FIMITENS"));

    Cancelamento c;
    movdoc::Movimento& m = c.movimento;
    m.fecha = linhas.at(0);
    m.numero = strOper + QString::number(nroCupom);
    m.cancelacion = strOper == QLatin1String("-");

    for (qsizetype i = 3; i < fim; ++i) {
        const QString what = QStringLiteral("item line %1").arg(i + 1);
        const QStringList f = campos(linhas.at(i), kCamposItem, what);
        movdoc::Item item;
        item.codigoArticulo = f.at(0);
        item.codigoBarras = f.at(1);
        item.nome = f.at(2);
        // All four numbers are read before anything of the item is decided.
        item.quantidade = doctext::readNumber(f.at(3), what);
        item.vlrUni = doctext::readNumber(f.at(4), what);
        item.subTot = doctext::readNumber(f.at(5), what);
        item.desconto = doctext::readNumber(f.at(6), what);
        item.cantidad = cantidadComoEscrita(f.at(3), item.quantidade);
        m.itens << item;
    }

    const QString what = QStringLiteral("totals line");
    const QStringList t = campos(linhas.at(fim + 2), kCamposTotais, what);
    m.descontoTicket = doctext::readNumber(t.at(0), what);
    m.recargo = doctext::readNumber(t.at(1), what);
    m.total = doctext::readNumber(t.at(2), what);
    m.documentoCliente = t.at(3);
    c.formaPagamento = t.at(4);
    return c;
}

QString formasDoCancelamento(const Cancelamento& c, const QString& formasPgto) {
    if (!formasPgto.trimmed().isEmpty()) return formasPgto;
    return c.formaPagamento + QStringLiteral("^") + doctext::quantity(c.movimento.total);
}

} // namespace canceldoc
