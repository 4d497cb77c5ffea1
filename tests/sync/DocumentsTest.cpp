// The documents sent to the service, built from plain values: the sale example
// byte for byte, both passes of a cancellation, the closing example, and the
// rules for amounts, payments, escaping and unreadable input.

#include "Exemplos.h"
#include "sync/CancelledTicket.h"
#include "sync/ClosingDocument.h"
#include "sync/DocText.h"
#include "sync/DocumentError.h"
#include "sync/MovementDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

movdoc::Item cafe() {
    movdoc::Item i;
    i.codigoArticulo = QStringLiteral("1002");
    i.codigoBarras = QStringLiteral("7891000010860");
    i.nome = QStringLiteral("CAFE SOLUVEL 50G");
    i.cantidad = QStringLiteral("4");
    i.quantidade = 4;
    i.vlrUni = 11.90;
    i.subTot = 45.60;
    i.desconto = 2.00;
    return i;
}

movdoc::Movimento venda2935() {
    movdoc::Movimento m;
    m.fecha = QStringLiteral("2020-06-10T15:12:00.000-0300");
    m.numero = QStringLiteral("2935");
    m.itens = {cafe()};
    m.total = 45.60;
    return m;
}

QJsonObject parse(const QStringList& linhas) {
    QJsonParseError erro{};
    const QJsonDocument doc = QJsonDocument::fromJson(movdoc::texto(linhas).toUtf8(), &erro);
    EXPECT_EQ(erro.error, QJsonParseError::NoError) << erro.errorString().toStdString() << "\n"
                                                    << movdoc::texto(linhas).toStdString();
    return doc.object();
}

// The "importe" of each payment object.
QList<double> importes(const QStringList& linhas) {
    QList<double> out;
    for (const auto& p : parse(linhas).value(QStringLiteral("pagos")).toArray())
        out << p.toObject().value(QStringLiteral("importe")).toDouble();
    return out;
}

QStringList textoCancelado(const QString& itens, const QString& totais) {
    QStringList l{QStringLiteral("2020-06-10T15:12:00.000-0300"), QStringLiteral("COO 2935 \"x\""),
                  QStringLiteral("anything")};
    if (!itens.isEmpty()) l << itens.split(u'\n');
    l << QStringLiteral("FIMITENS") << QStringLiteral("not read") << totais;
    return l;
}

} // namespace

TEST(SaleDocument, ExampleComesOutByteForByte) {
    const QStringList linhas = movdoc::documento(venda2935(), QStringLiteral("DINHEIRO^45.6"), 0);
    EXPECT_EQ(movdoc::texto(linhas).toUtf8(), QByteArray(kExemploVenda));
}

TEST(SaleDocument, ItemsCommasAndDiscountTotals) {
    movdoc::Movimento m = venda2935();
    m.itens.clear();
    // No items: "detalles":[ followed at once by "],".
    QStringList l = movdoc::abertura(m).linhas;
    EXPECT_EQ(l.at(3), QStringLiteral("\"detalles\":["));
    EXPECT_EQ(l.at(4), QStringLiteral("],"));

    // Ticket discount 1.00 and two items discounted 0.50 each; the second item
    // opens with ",{"; an item without discount sends its stored unit price.
    movdoc::Item a = cafe(), b = cafe(), c = cafe();
    a.desconto = b.desconto = 0.50;
    a.subTot = b.subTot = 45.50;
    c.desconto = -1;
    c.vlrUni = 3.33;
    m.itens = {a, b, c};
    m.descontoTicket = 1.00;
    const movdoc::Abertura ab = movdoc::abertura(m);
    EXPECT_EQ(ab.linhas.count(QStringLiteral(",{")), 2);
    EXPECT_DOUBLE_EQ(ab.somaDescontos, 1.00);
    const QJsonObject o = parse(movdoc::documento(m, QStringLiteral("X^1"), 0));
    EXPECT_DOUBLE_EQ(o.value(QStringLiteral("descuentoTotal")).toDouble(), 2.00);
    EXPECT_TRUE(ab.linhas.contains(QStringLiteral("\"importeUnitario\":11.50,"))); // (45.50 + 0.50) / 4
    EXPECT_TRUE(ab.linhas.contains(QStringLiteral("\"importeUnitario\":3.33,")));
    EXPECT_TRUE(ab.linhas.contains(QStringLiteral("\"descuento\":0.00,")));
}

TEST(SaleDocument, CustomerDocumentIsNullOrQuoted) {
    movdoc::Movimento m = venda2935();
    m.documentoCliente = QStringLiteral("123.456.789-09");
    EXPECT_TRUE(
        movdoc::abertura(m).linhas.contains(QStringLiteral("\"documentoCliente\":\"123.456.789-09\",")));
}

TEST(SaleDocument, QuotedValuesAreEscapedAsJsonRequires) {
    movdoc::Movimento m = venda2935();
    m.documentoCliente = QStringLiteral("12\"3\t\x01");
    m.itens[0].codigoBarras = QStringLiteral("78\\91\"");
    m.itens[0].nome = QStringLiteral("CAFE \"BOM\"\\50G\r\nLINHA");
    const QStringList linhas = movdoc::documento(m, QStringLiteral("DINHEIRO^45.6"), 0);
    // One line per member still: no raw line break inside a value.
    EXPECT_EQ(linhas.size(), QString::fromLatin1(kExemploVenda).count(QStringLiteral("\r\n")));
    const QJsonObject o = parse(linhas);
    EXPECT_EQ(o.value(QStringLiteral("documentoCliente")).toString(), QStringLiteral("12\"3\t\x01"));
    const QJsonObject item = o.value(QStringLiteral("detalles")).toArray().at(0).toObject();
    EXPECT_EQ(item.value(QStringLiteral("codigoBarras")).toString(), QStringLiteral("78\\91\""));
    // The name is cleaned first (quotes and CR removed, "\" to "/"), then escaped.
    EXPECT_EQ(item.value(QStringLiteral("descripcionArticulo")).toString(),
              QStringLiteral("CAFE BOM/50G\nLINHA"));
}

TEST(Payments, ChangeIsTakenOnceFromTheFirstLineThatExceedsIt) {
    const QStringList formas{QStringLiteral("Dinheiro^50.00"), QStringLiteral("Cartao Credito^20,00")};
    const auto pagos = [&](double troco) {
        return importes(movdoc::abertura(venda2935()).linhas + movdoc::pagamentos(formas, troco) +
                        movdoc::fecho());
    };
    EXPECT_EQ(pagos(4.40), (QList<double>{45.60, 20.00}));
    EXPECT_EQ(pagos(60.00), (QList<double>{50.00, 20.00}));
    EXPECT_EQ(pagos(0), (QList<double>{50.00, 20.00}));
    // Blank lines are passed over; stray blanks around an amount are allowed.
    EXPECT_EQ(
        movdoc::pagamentos({QString(), QStringLiteral("Dinheiro^ 5,5 "), QStringLiteral("  ")}, 0).size(),
        11);
}

TEST(Payments, TypeFromTheName) {
    const struct {
        const char16_t* nome;
        int tipo;
    } casos[] = {{u"Cartao Credito", 10}, {u"cartão crédito", 10}, {u"CARTAO DEBITO", 13},
                 {u"Débito", 13},         {u"Cheque", 11},         {u"Vale", 9},
                 {u"CRÉDITO", 9},         {u"TEF 13", 13},         {u"", 9}};
    for (const auto& c : casos)
        EXPECT_EQ(movdoc::codigoTipoPago(QString::fromUtf16(c.nome)), c.tipo)
            << QString::fromUtf16(c.nome).toStdString();
}

TEST(Payments, UnreadableAmountsAreDocumentErrors) {
    for (const char* linha :
         {"Dinheiro^", "Dinheiro", "Dinheiro^50.00x", "Dinheiro^1.234,56", "Dinheiro^R$ 5"})
        EXPECT_THROW((void)movdoc::pagamentos({QString::fromLatin1(linha)}, 0), DocumentError) << linha;
}

TEST(SaleDocument, DiscountedItemOfQuantityZeroIsADocumentError) {
    movdoc::Movimento m = venda2935();
    m.itens[0].quantidade = 0;
    EXPECT_THROW((void)movdoc::abertura(m), DocumentError);
}

TEST(CancellationDocument, PassOneAndPassTwo) {
    const QStringList texto =
        textoCancelado(QStringLiteral("1002^7891000010860^CAFE SOLUVEL 50G^4^11.90^45.60^2.00"),
                       QStringLiteral("0^0,00^45.60^^Cartao Credito"));
    const auto documento = [&](const QString& oper) {
        const canceldoc::Cancelamento c = canceldoc::lerTextoCancelado(texto, 2935, oper);
        return movdoc::texto(
            movdoc::documento(c.movimento, canceldoc::formasDoCancelamento(c, QString()), 0));
    };
    const QString pass1 = documento(QString());
    const QString pass2 = documento(QStringLiteral("-"));

    QString esperado2 = QString::fromLatin1(kExemploVenda);
    esperado2.replace(QStringLiteral("\"numero\":\"2935\""), QStringLiteral("\"numero\":\"-2935\""));
    esperado2.replace(QStringLiteral("\"cancelacion\":false"), QStringLiteral("\"cancelacion\":true"));
    esperado2.replace(QStringLiteral("\"codigoTipoPago\":9"), QStringLiteral("\"codigoTipoPago\":10"));
    EXPECT_EQ(pass2, esperado2);

    QString esperado1 = esperado2;
    esperado1.replace(QStringLiteral("\"numero\":\"-2935\""), QStringLiteral("\"numero\":\"2935\""));
    esperado1.replace(QStringLiteral("\"cancelacion\":true"), QStringLiteral("\"cancelacion\":false"));
    EXPECT_EQ(pass1, esperado1);
}

TEST(CancellationDocument, FieldsAsWritten) {
    const auto item = [](const QString& linhaItem,
                         const QString& totais = QStringLiteral("1.00^0^45.60^123^X")) {
        return canceldoc::lerTextoCancelado(textoCancelado(linhaItem, totais), 7, QString()).movimento;
    };
    // The quantity as written; a decimal comma goes with a point; a form that
    // JSON cannot carry goes in its shortest form.
    const struct {
        const char* campo;
        const char* cantidad;
    } quantidades[] = {{"4", "4"},  {"4.000", "4.000"}, {"4,5", "4.5"},
                       {" 4", "4"}, {"4.", "4"},        {",5", "0.5"}};
    for (const auto& q : quantidades) {
        const movdoc::Movimento m = item(QStringLiteral("1^2^N^%1^1^1^0").arg(QLatin1String(q.campo)));
        EXPECT_EQ(m.itens.at(0).cantidad, QLatin1String(q.cantidad)) << q.campo;
        parse(movdoc::documento(m, QStringLiteral("X^1"), 0));
    }
    // Two items discounted 0.50 and a ticket discount of 1.00; the customer
    // document is quoted; no item line at all gives an empty array.
    const movdoc::Movimento m = item(QStringLiteral("1^2^A^1^1^1^0.50\n1^2^B^1^1^1^0,50"));
    const QJsonObject o = parse(movdoc::documento(m, QStringLiteral("X^1"), 0));
    EXPECT_DOUBLE_EQ(o.value(QStringLiteral("descuentoTotal")).toDouble(), 2.00);
    EXPECT_EQ(o.value(QStringLiteral("documentoCliente")).toString(), QStringLiteral("123"));
    EXPECT_TRUE(canceldoc::lerTextoCancelado(textoCancelado({}, QStringLiteral("0^0^1^^X")), 7, {})
                    .movimento.itens.isEmpty());
}

TEST(CancellationDocument, PaymentsComeFromThePaymentFormsRowWhenThereIsOne) {
    const canceldoc::Cancelamento c =
        canceldoc::lerTextoCancelado(textoCancelado({}, QStringLiteral("0^0^45.6^^Cartao Credito")), 7, {});
    EXPECT_EQ(canceldoc::formasDoCancelamento(c, QString()), QStringLiteral("Cartao Credito^45.6"));
    EXPECT_EQ(canceldoc::formasDoCancelamento(c, QStringLiteral("Dinheiro^50")),
              QStringLiteral("Dinheiro^50"));
}

TEST(CancellationDocument, TextsThatDoNotFollowTheLayoutAreDocumentErrors) {
    const QString bom = QStringLiteral("1^2^N^1^1^1^0");
    const QStringList casos[] = {
        {},                                                                          // empty
        textoCancelado(bom, QStringLiteral("0^0^1^^X")).mid(0, 5),                   // no FIMITENS
        textoCancelado(bom, QStringLiteral("0^0^1^^X")).mid(0, 6),                   // no totals line
        textoCancelado(QStringLiteral("1^2^N^4"), QStringLiteral("0^0^1^^X")),       // too few item fields
        textoCancelado(bom, QStringLiteral("0^0^1")),                                // too few totals fields
        textoCancelado(QStringLiteral("1^2^N^x^1^1^0"), QStringLiteral("0^0^1^^X")), // unreadable quantity
        textoCancelado(QStringLiteral("1^2^N^1^1^1^"), QStringLiteral("0^0^1^^X")),  // empty discount
        textoCancelado(bom, QStringLiteral("0^0^^^X")),                              // empty total
    };
    for (const QStringList& texto : casos)
        EXPECT_THROW((void)canceldoc::lerTextoCancelado(texto, 7, {}), DocumentError)
            << texto.join(u'|').toStdString();
}

TEST(ClosingDocument, ExampleComesOutByteForByte) {
    const QStringList linhas = fechdoc::linhasFechamento(QStringLiteral("10/06/2020"), 100, 3, 25, 1);
    EXPECT_EQ(movdoc::texto(linhas).toUtf8(), QByteArray("{\r\n"
                                                         "\"montoVentaLiquida\":100.00,\r\n"
                                                         "\"cantidadMovimientos\":4,\r\n"
                                                         "\"montoCancelaciones\":25.00,\r\n"
                                                         "\"cantidadCancelaciones\":1,\r\n"
                                                         "\"fechaVentas\":\"2020-06-10\"\r\n"
                                                         "}\r\n"));
    const QStringList vazio = fechdoc::linhasFechamento(QStringLiteral("15/03/2023"), -12.3, 0, 0, 0);
    EXPECT_EQ(vazio.at(1), QStringLiteral("\"montoVentaLiquida\":-12.30,"));
    EXPECT_EQ(vazio.at(3), QStringLiteral("\"montoCancelaciones\":0.00,"));
    EXPECT_EQ(vazio.at(5), QStringLiteral("\"fechaVentas\":\"2023-03-15\""));
}

TEST(DocText, ReadsNumbersWithPointOrComma) {
    const struct {
        const char* texto;
        double valor;
    } bons[] = {{"45.60", 45.60}, {"45,60", 45.60}, {" 4 ", 4},  {"-1,5", -1.5},
                {"+2", 2},        {",5", 0.5},      {"1e2", 100}};
    for (const auto& c : bons)
        EXPECT_DOUBLE_EQ(doctext::readNumber(QString::fromLatin1(c.texto), {}), c.valor) << c.texto;
    for (const char* texto : {"", " ", "1.234,56", "12a", "R$ 5", "1e999", "-", "٣"})
        EXPECT_THROW((void)doctext::readNumber(QString::fromUtf8(texto), {}), DocumentError) << texto;
}
