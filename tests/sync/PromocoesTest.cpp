// The promotions fetch and import end to end: the fake service serves a
// document of the test's own, the core imports it into an embedded ERP database.

#include "PromoReenvioFixture.h"
#include "PromocoesDoc.h"

#include "support/Codepage.h"
#include "support/MemTable.h"

#include <QFile>

using promodoc::Artigo;
using promodoc::documento;
using promodoc::grupo;
using promodoc::Promo;

namespace {

Promo promo(const QString& id) {
    Promo p;
    p.id = id;
    p.titulo = QStringLiteral("Promo ") + id;
    return p;
}

} // namespace

class PromocoesTest : public PromoReenvioTest {
protected:
    void publica(const QString& doc) { publicaPromocoes(doc.toUtf8()); }
    // What the scheduler and the commands run.
    void buscaEImporta() { core->promotions().sincroniza(); }
    // id_prom, atv_prom, id_sinc of every promotion.
    QList<QStringList> promocoes() const {
        return db->rows(QStringLiteral("select id_prom, atv_prom, id_sinc from Korvanta_promo order by id_prom"));
    }
    int contagem(const QString& sql) const { return db->integer(sql); }
    QString ultGetPromo() const {
        QFile f(pasta.file(QStringLiteral("ult_get_promo.txt")));
        return f.open(QIODevice::ReadOnly) ? ansi::toUnicode(f.readAll()) : QStringLiteral("<missing>");
    }
};

TEST_F(PromocoesTest, TwoPromotionsOneEndedBothWrittenTheEndedOneSwitchedOff) {
    Promo encerrada = promo("2");
    encerrada.hasta = QStringLiteral(R"("2026-03-31T23:59:59.000-03:00")");
    const QString doc = documento({promo("1"), encerrada}, "2");
    publica(doc);

    buscaEImporta();

    // 10:00:05 is the run's stamp; both rows carry it, so the run wrote both.
    EXPECT_EQ(promocoes(), (QList<QStringList>{{"1", "T", "36005"}, {"2", "F", "36005"}}));
    EXPECT_EQ(contagem("select count(*) from Korvanta_item"), 4);
    EXPECT_TRUE(temLog("Leitura de promoções", "Ok")) << textoDoLog().toStdString();
    EXPECT_TRUE(temLog("Promoções processada sistema ZYR", "Json= 2 / Gravadas: 2")) << textoDoLog().toStdString();
    EXPECT_EQ(core->diagnostics().resultado().Text(), doc);
    EXPECT_EQ(ultGetPromo(), doc);
    EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    const QStringList linha = db->rows("select tit_prom, desc_prom, tipo_prom, vig_in_dh, vig_out_dh, autor_prom, "
                                       "lim_por_ticket from Korvanta_promo where id_prom=1")
                                  .value(0);
    EXPECT_EQ(linha, (QStringList{"Promo 1", "Descricao", "desconto_fixo", "2026-01-01 00:00:00",
                                  "2026-12-31 23:59:59", "Compras", "0"}));
}

TEST_F(PromocoesTest, SameDocumentTwiceUpdatesEveryRowWithoutInserting) {
    Promo virgula = promo("1");
    virgula.titulo = QStringLiteral("Leve 3, pague 2");
    publica(documento({virgula, promo("2")}));
    buscaEImporta();
    EXPECT_EQ(db->text("select tit_prom from Korvanta_promo where id_prom=1"), "Leve 3, pague 2"); // insert form

    clock.advance(60);
    buscaEImporta();

    // The update form turns the comma into a point: the row was updated, not inserted again.
    EXPECT_EQ(db->text("select tit_prom from Korvanta_promo where id_prom=1"), "Leve 3. pague 2");
    EXPECT_EQ(promocoes(), (QList<QStringList>{{"1", "T", "36065"}, {"2", "T", "36065"}}));
    EXPECT_EQ(contagem("select count(*) from Korvanta_item"), 4);
}

TEST_F(PromocoesTest, PromotionMissingFromTheNextDocumentGoesOffAndKeepsItsItems) {
    publica(documento({promo("1"), promo("2")}));
    buscaEImporta();
    clock.advance(300);
    publica(documento({promo("1")}));
    buscaEImporta();

    EXPECT_EQ(promocoes(), (QList<QStringList>{{"1", "T", "36305"}, {"2", "F", "36005"}}));
    EXPECT_EQ(contagem("select count(*) from Korvanta_item where id_prom=2"), 2);
}

TEST_F(PromocoesTest, PromotionStartingTomorrowIsOffUntilARunAfterItsStart) {
    Promo amanha = promo("1");
    amanha.desde = QStringLiteral(R"("2026-06-16T00:00:00")");
    publica(documento({amanha}));
    buscaEImporta();
    EXPECT_EQ(db->text("select atv_prom from Korvanta_promo where id_prom=1"), "F");

    clock.set(QDateTime(QDate(2026, 6, 16), QTime(0, 0, 0))); // the start itself belongs to the period
    buscaEImporta();
    EXPECT_EQ(db->text("select atv_prom from Korvanta_promo where id_prom=1"), "T");
}

TEST_F(PromocoesTest, ItemPricesKindsQuantitiesAndLimits) {
    Promo fixo10 = promo("1");
    fixo10.tipo = "PRECIO_FIJO";
    fixo10.limite = "3";
    fixo10.condiciones = {grupo("3", {{"A", "c1"}})};
    fixo10.beneficios = {grupo("4", {{"B", "b1"}})};
    Promo fixo025 = promo("2");
    fixo025.tipo = "Precio_fijo";
    fixo025.precio = "0.25";
    fixo025.condiciones = {grupo("2", {{"A", "c1"}})};
    fixo025.beneficios = {};
    Promo desconto = promo("3");
    desconto.tipo = "Descuento_Fijo_Especial";
    desconto.condiciones = {grupo("3", {{"A", "c1"}})};
    desconto.beneficios = {};
    Promo semQuantidade = promo("4");
    semQuantidade.tipo = "Precio_fijo";
    semQuantidade.condiciones = {grupo("0", {{"A", "c1"}})};
    semQuantidade.beneficios = {R"({"articulos":[{"nombre":"B","codigoBarras":"b1"}]})"};
    Promo semTipo = promo("5"); // after a fixed-price promotion: its own, empty kind
    semTipo.tipo = "Outra";
    semTipo.condiciones = {grupo("3", {{"A", "c1"}})};
    semTipo.beneficios = {};
    publica(documento({fixo10, fixo025, desconto, semQuantidade, semTipo}));

    buscaEImporta();

    EXPECT_EQ(db->rows("select id_prom, tipo_item, preco_prom, desc_prom, paga_prom, qtd_prom from Korvanta_item "
                       "order by id_prom, tipo_item"),
              (QList<QStringList>{{"1", "beneficio", "2.5000", "1.5000", "0.0000", "4.000"},
                                  {"1", "condicao", "3.3300", "1.5000", "0.0000", "3.000"},
                                  {"2", "condicao", "0.1200", "1.5000", "0.0000", "2.000"},
                                  {"3", "condicao", "10.0000", "1.5000", "0.0000", "3.000"},
                                  {"4", "beneficio", "10.0000", "1.5000", "0.0000", "0.000"},
                                  {"4", "condicao", "10.0000", "1.5000", "0.0000", "0.000"},
                                  {"5", "condicao", "10.0000", "1.5000", "0.0000", "3.000"}}));
    EXPECT_EQ(db->rows("select id_prom, tipo_prom, lim_por_ticket from Korvanta_promo order by id_prom"),
              (QList<QStringList>{{"1", "preco_fixo", "3"},
                                  {"2", "preco_fixo", "0"},
                                  {"3", "desconto_fixo", "0"},
                                  {"4", "preco_fixo", "0"},
                                  {"5", "", "0"}}));
}

TEST_F(PromocoesTest, TitlesCutToFiftyOnlyTheFirstGroupOneRowPerBarcode) {
    Promo p = promo("1");
    p.titulo = QString(60, u'T');
    p.descripcion = QString(60, u'D');
    p.condiciones = {grupo("2", {{"A", "c1"}, {QString(60, u'N'), "c2"}, {"A outra vez", "c1"}}),
                     grupo("5", {{"Z", "z9"}})};
    p.beneficios = {};
    publica(documento({p}));

    buscaEImporta();

    EXPECT_EQ(db->rows("select tit_prom, desc_prom from Korvanta_promo").value(0),
              (QStringList{QString(50, u'T'), QString(50, u'D')}));
    EXPECT_EQ(db->rows("select cod_bar_prom, nom_pro_prom from Korvanta_item order by cod_bar_prom"),
              (QList<QStringList>{{"c1", "A outra vez"}, {"c2", QString(50, u'N')}}));
}

TEST_F(PromocoesTest, FailedFetchLogsAndSavesTheStatusLineAndTheImportLeavesTheErpAlone) {
    publica(documento({promo("1")}));
    buscaEImporta();
    const QList<QStringList> antes = promocoes();

    clock.advance(300);
    service->queue(QStringLiteral("promociones"), {401});
    buscaEImporta();

    EXPECT_TRUE(core->diagnostics().resultado().Text().startsWith("HTTP/1.1 401"))
        << core->diagnostics().resultado().Text().toStdString();
    EXPECT_EQ(ultGetPromo(), core->diagnostics().resultado().Text());
    EXPECT_TRUE(temLog("Erro na operação", core->diagnostics().resultado().Text()))
        << textoDoLog().toStdString();
    EXPECT_EQ(promocoes(), antes);
    EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_EQ(core->frame().failoverIndex(), 1);

    // No service at all: the connection failure goes the same way.
    core->frame().setBaseUrl(QStringLiteral("http://127.0.0.1:1/"));
    buscaEImporta();
    EXPECT_FALSE(core->diagnostics().resultado().Text().isEmpty());
    EXPECT_EQ(ultGetPromo(), core->diagnostics().resultado().Text());
    EXPECT_EQ(log().last(),
              (QStringList{"Erro na operação", core->diagnostics().resultado().Text().left(100)}));
    EXPECT_EQ(promocoes(), antes);
}

TEST_F(PromocoesTest, ClosedGateSendsNothingAndImportsNothing) {
    publica(documento({promo("1")}));
    core->diagnostics().resultado().SetText(documento({promo("9")}));
    core->scheduler().gates().setPodeGetPromo(0);

    buscaEImporta();

    EXPECT_TRUE(service->journal().isEmpty());
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(contagem("select count(*) from Korvanta_promo"), 0);
    EXPECT_FALSE(core->scheduler().gates().podeGetPromo());
}

TEST_F(PromocoesTest, UnwritableLastReplyFileIsLoggedAndTheGatesOpenAgain) {
    changeStore(*core,
                [&](Loja& l) { l.pastaLog = pasta.file(QStringLiteral("sem-pasta")) + QStringLiteral("/"); });
    publica(documento({promo("1")}));

    buscaEImporta();

    EXPECT_TRUE(temLog("Erro na operação", "Unable to write ult_get_promo.txt")) << textoDoLog().toStdString();
    EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_EQ(contagem("select count(*) from Korvanta_promo"), 1); // the document was fetched all the same
}
