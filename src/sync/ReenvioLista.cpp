// Taking the list of resend requests out of a reply, and checking one request.

#include "sync/ReenvioLista.h"

#include "support/Errors.h"
#include "support/frmFunczyr.h"

#include <QDate>
#include <QRegularExpression>

#include <simdjson.h>

#include <optional>

namespace reenvio {

namespace {

using F = Funcoes_da_ZYR;

constexpr int kTamanhoCaixa = 5;

// The list when the reply is JSON: the reply itself for an array, the first
// array-valued member of an object. nullopt when the reply is not JSON or is
// JSON of another shape.
std::optional<QString> listaJson(const QString& resposta) {
    const QByteArray utf8 = resposta.toUtf8();
    simdjson::dom::parser parser;
    simdjson::dom::element raiz;
    if (const auto erro = parser.parse(utf8.constData(), static_cast<std::size_t>(utf8.size())).get(raiz)) {
        // No list of requests lies that deep; nothing of it goes further.
        if (erro == simdjson::DEPTH_ERROR)
            throw AppError(QStringLiteral("The reply is nested deeper than %1 levels: it holds no list of requests")
                               .arg(parser.max_depth()));
        return std::nullopt;
    }
    if (raiz.is_array()) return resposta;
    simdjson::dom::object objeto;
    if (raiz.get_object().get(objeto)) return std::nullopt;
    for (const auto [chave, valor] : objeto) {
        (void)chave;
        if (valor.is_array()) return QString::fromStdString(simdjson::to_string(valor));
    }
    return std::nullopt;
}

// The text strictly between the first "{" and the last "}", cut with the
// delimiter helpers: "Resto" at "{", reversed, "Resto" at "}", reversed back.
QString entreChaves(const QString& texto) {
    const QString aposAbre = F::StringDelimitador(texto, QStringLiteral("{"), QStringLiteral("Resto"));
    const QString invertido = F::InverteTexto(aposAbre);
    return F::InverteTexto(F::StringDelimitador(invertido, QStringLiteral("}"), QStringLiteral("Resto")));
}

bool soDigitos(const QString& texto) {
    if (texto.isEmpty()) return false;
    for (const QChar c : texto)
        if (c < u'0' || c > u'9') return false;
    return true;
}

} // namespace

QString listaDeSolicitacoes(const QString& resposta) {
    if (auto lista = listaJson(resposta)) return *lista;
    const QString cortada = entreChaves(resposta);
    if (cortada.trimmed().isEmpty())
        throw AppError(resposta.trimmed().isEmpty() ? QStringLiteral("The reply is empty: it holds no list of requests")
                                                    : QStringLiteral("The reply holds no list of requests"));
    return cortada;
}

QString problemaDaSolicitacao(const QString& fecha, const QString& codigoCaja) {
    static const QRegularExpression forma(QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})$)"));
    const QRegularExpressionMatch m = forma.match(fecha);
    const QDate dia = m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt())
                                   : QDate();
    if (!dia.isValid() || dia.year() < 1)
        return QStringLiteral("Resend request skipped: fecha \"%1\" is not a date YYYY-MM-DD (codigoCaja \"%2\")")
            .arg(fecha.left(20), codigoCaja.left(20));
    if (!soDigitos(codigoCaja) || codigoCaja.size() > kTamanhoCaixa)
        return QStringLiteral("Resend request skipped: codigoCaja \"%1\" is not a whole number (fecha %2)")
            .arg(codigoCaja.left(20), fecha);
    return {};
}

QString diaDaSolicitacao(const QString& fecha) {
    return fecha.mid(8, 2) + u'/' + fecha.mid(5, 2) + u'/' + fecha.left(4);
}

QString caixaDaSolicitacao(const QString& codigoCaja) { return QString::number(codigoCaja.toInt()); }

} // namespace reenvio
