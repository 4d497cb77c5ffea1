// ERP texts holding quotes, backslashes, control characters and SQL fragments,
// end to end: the movement documents stay valid JSON with the texts exact (the
// item names cleaned as the document wants them), and the flags are written to
// the rows posted and to no other.

#include "SalesFixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kNome = QStringLiteral("O'Brien \"X\" \\50G\x01\t'); drop table x;--");
const QString kNomeNoDocumento = QStringLiteral("O'Brien X /50G\x01\t'); drop table x;--");
const QString kCodigoBarras = QStringLiteral("78\"9\\1'; delete from a;--\x02");
const QString kCliente = QStringLiteral("1' or '1'='1\"\\\x1B");
const QString kNomeCancelado = QStringLiteral("CAFE \"BOM\" \\ 50G'); delete from cupom_fiscal; --\x01\t");
const QString kNomeCanceladoNoDocumento = QStringLiteral("CAFE BOM / 50G'); delete from cupom_fiscal; --\x01\t");

QJsonObject documento(const JournalRecord& post) {
    QJsonParseError erro{};
    const QJsonObject o = QJsonDocument::fromJson(post.body, &erro).object();
    EXPECT_EQ(erro.error, QJsonParseError::NoError) << post.body.toStdString();
    return o;
}

QJsonObject primeiroItem(const QJsonObject& doc) {
    return doc.value(QStringLiteral("detalles")).toArray().at(0).toObject();
}

} // namespace

class TextosErpHostisTest : public SalesTest {
protected:
    // A ticket of goods 77, whose barcode and name are the hostile texts.
    void cupomHostil(int nro, int flag = 1) const {
        cupom(nro, 1, kDia, flag);
        db->exec(QStringLiteral("UPDATE itensCupom SET cod_mer = 77 WHERE nro_cupom = %1").arg(nro));
        db->exec(QStringLiteral("UPDATE cupom_fiscal SET cpf_cli = %1 WHERE nro_cupom = %2").arg(sql(kCliente)).arg(nro));
        formasPgto(nro, 1, kDia, QStringLiteral("Cart\"ao' Credito ; delete from KORVANTA_DELETE; --^45,60"));
    }
    [[nodiscard]] QList<QStringList> linhas() const {
        return db->rows(QStringLiteral(
            "select 'c', nro_cupom, cast(sinc_korvanta as varchar(50)), cpf_cli from cupom_fiscal union all "
            "select 'd', nro_cupom, cast(sinc_korv as varchar(50)), memo_korv from KORVANTA_DELETE union all "
            "select 'i', nro_cupom, cast(cod_mer as varchar(50)), '' from itensCupom union all "
            "select 'm', cod_red, cod_bar, nom_mer from mercadorias order by 1, 2, 3"));
    }
};

TEST_F(TextosErpHostisTest, DocumentsCarryTheTextsAndOnlyThePostedRowsAreFlagged) {
    db->exec(QStringLiteral("INSERT INTO mercadorias (cod_red, cod_bar, nom_mer) VALUES (77, %1, %2)")
                 .arg(sql(kCodigoBarras), sql(kNome)));
    cupomHostil(1);
    cupomHostil(2, 0); // not pending: never read, never written
    QString cancelado = textoCancelado();
    cancelado.replace(QStringLiteral("7891000010860^CAFE SOLUVEL 50G"), kCodigoBarras + u'^' + kNomeCancelado);
    cancelamento(9, 1, kDia, 1, cancelado);
    QList<QStringList> esperado = linhas();

    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());

    // The service's strict check accepted every document; each holds the texts exactly.
    ASSERT_EQ(numerosPostados(), (QStringList{"1", "9", "-9"})) << textoDoLog().toStdString();
    for (const JournalRecord& r : posts()) EXPECT_EQ(r.status, 200) << r.reason.toStdString();
    const QJsonObject venda = documento(posts().at(0));
    EXPECT_EQ(venda.value(QStringLiteral("documentoCliente")).toString(), kCliente);
    EXPECT_EQ(primeiroItem(venda).value(QStringLiteral("codigoBarras")).toString(), kCodigoBarras);
    EXPECT_EQ(primeiroItem(venda).value(QStringLiteral("descripcionArticulo")).toString(), kNomeNoDocumento);
    EXPECT_EQ(
        venda.value(QStringLiteral("pagos")).toArray().at(0).toObject().value(QStringLiteral("codigoTipoPago")).toInt(),
        10);
    for (int i : {1, 2}) {
        const QJsonObject cancelamentoDoc = documento(posts().at(i));
        EXPECT_EQ(primeiroItem(cancelamentoDoc).value(QStringLiteral("codigoBarras")).toString(), kCodigoBarras);
        EXPECT_EQ(primeiroItem(cancelamentoDoc).value(QStringLiteral("descripcionArticulo")).toString(),
                  kNomeCanceladoNoDocumento);
    }

    // Flags 2 for the ticket and the cancellation; every other value as it was.
    for (QStringList& linha : esperado)
        if ((linha.at(0) == "c" && linha.at(1) == "1") || (linha.at(0) == "d" && linha.at(1) == "9"))
            linha[2] = QStringLiteral("2");
    EXPECT_EQ(linhas(), esperado);

    // Refused, the ticket is flagged 3 and its error file holds the document as posted.
    cupomHostil(3);
    service->queue(QStringLiteral("movimientos"), {400});
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(flagCupom(3), 3);
    EXPECT_EQ(flagCupom(2), 0);
    QFile arquivo(pasta.file(QStringLiteral("Vda3_1.txt")));
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    EXPECT_TRUE(arquivo.readAll().endsWith(posts().constLast().body)) << textoDoLog().toStdString();
}
