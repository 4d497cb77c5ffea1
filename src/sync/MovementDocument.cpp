#include "sync/MovementDocument.h"

#include "api/RequestFrame.h"
#include "support/Memo.h"
#include "support/frmFunczyr.h"
#include "sync/DocText.h"
#include "sync/DocumentError.h"

using doctext::amount;
using doctext::jsonString;
using doctext::round2;

namespace movdoc {

namespace {

QString membro(const char* nome, const QString& valor, bool virgula = true) {
    return QLatin1Char('"') + QLatin1String(nome) + QStringLiteral("\":") + valor +
           (virgula ? QStringLiteral(",") : QString());
}

} // namespace

Abertura abertura(const Movimento& m) {
    Abertura a;
    QStringList& l = a.linhas;
    l << QStringLiteral("{") << membro("fecha", jsonString(m.fecha)) << membro("numero", jsonString(m.numero))
      << QStringLiteral("\"detalles\":[");

    QString addVirgula;
    double soma_os_descontos = 0;
    for (const Item& item : m.itens) {
        QString importeUnitario;
        QString descuento;
        if (item.desconto > 0) {
            if (item.quantidade == 0)
                throw DocumentError(QStringLiteral("item %1 has a discount of %2 and a quantity of 0")
                                        .arg(item.codigoArticulo, amount(item.desconto)));
            const double subTotal = round2(item.subTot + item.desconto);
            const double vlrUnitCalculado = round2(subTotal / item.quantidade);
            importeUnitario = amount(vlrUnitCalculado);
            descuento = amount(item.desconto);
            soma_os_descontos = round2(item.desconto + soma_os_descontos);
        } else {
            importeUnitario = amount(item.vlrUni);
            descuento = QStringLiteral("0.00");
        }
        l << addVirgula + QStringLiteral("{") << membro("codigoArticulo", jsonString(item.codigoArticulo))
          << membro("codigoBarras", jsonString(item.codigoBarras))
          << membro("descripcionArticulo", jsonString(api::Trata_asc_especial(item.nome)))
          << membro("cantidad", item.cantidad) << membro("importeUnitario", importeUnitario)
          << membro("importe", amount(item.subTot)) << membro("descuento", descuento)
          << membro("recargo", QStringLiteral("0.00"), false) << QStringLiteral("}");
        addVirgula = QStringLiteral(",");
    }

    l << QStringLiteral("],") << membro("descuentoTotal", amount(m.descontoTicket + soma_os_descontos))
      << membro("recargoTotal", amount(m.recargo)) << membro("codigoMoneda", QStringLiteral("\"986\""))
      << membro("cotizacion", QStringLiteral("1.00")) << membro("total", amount(m.total))
      << membro("documentoCliente",
                m.documentoCliente.isEmpty() ? QStringLiteral("null") : jsonString(m.documentoCliente))
      << membro("cancelacion", m.cancelacion ? QStringLiteral("true") : QStringLiteral("false"))
      << QStringLiteral("\"pagos\":[");
    a.somaDescontos = soma_os_descontos;
    return a;
}

int codigoTipoPago(const QString& nome) {
    const auto tem = [&nome](const char16_t* palavra) {
        return Funcoes_da_ZYR::Tem_Palavra_no_Texto(QString::fromUtf16(palavra), nome);
    };
    if (tem(u"Credito") || tem(u"Crédito") || tem(u"10")) return 10;
    if (tem(u"Debito") || tem(u"Débito") || tem(u"13")) return 13;
    if (tem(u"Cheque") || tem(u"11")) return 11;
    return 9;
}

QStringList pagamentos(const QStringList& linhasFormas, double vlrTroco) {
    QStringList l;
    QString separador;
    for (const QString& linha : linhasFormas) {
        if (linha.trimmed().isEmpty()) continue;
        const QString nome =
            Funcoes_da_ZYR::StringDelimitador(linha, QStringLiteral("^"), QStringLiteral("Inicio"));
        const QString valorTexto =
            Funcoes_da_ZYR::StringDelimitador(linha, QStringLiteral("^"), QStringLiteral("Resto"));
        double valor = doctext::readNumber(valorTexto, QStringLiteral("payment line '%1'").arg(linha));
        if (vlrTroco > 0 && vlrTroco < valor) {
            valor = round2(valor - vlrTroco);
            vlrTroco = 0;
        }
        l << separador + QStringLiteral("{")
          << membro("codigoTipoPago", QString::number(codigoTipoPago(nome)))
          << membro("codigoMoneda", QStringLiteral("\"986\"")) << membro("importe", amount(valor))
          << membro("cotizacion", QStringLiteral("1.00"))
          << membro("documentoCliente", QStringLiteral("null")) << membro("bin", QStringLiteral("null"))
          << membro("ultimosDigitosTarjeta", QStringLiteral("null"))
          << membro("numeroAutorizacion", QStringLiteral("null"))
          << membro("codigoTarjeta", QStringLiteral("null"), false) << QStringLiteral("}");
        separador = QStringLiteral(",");
    }
    return l;
}

QStringList fecho() {
    return {QStringLiteral("]"), QStringLiteral("}")};
}

QStringList documento(const Movimento& m, const QString& formas, double vlrTroco) {
    TMemo memo;
    memo.SetText(formas);
    return abertura(m).linhas + pagamentos(memo.Lines(), vlrTroco) + fecho();
}

QString texto(const QStringList& linhas) {
    QString t;
    for (const QString& linha : linhas)
        t += linha + QStringLiteral("\r\n");
    return t;
}

} // namespace movdoc
