// Promotions documents that are broken or hostile: a clear log row, nothing
// wrongly written, no crash and no hang.

#include "PromoReenvioFixture.h"
#include "PromocoesDoc.h"

using promodoc::documento;
using promodoc::grupo;
using promodoc::Promo;
using promodoc::str;

class PromocoesEntradaRuimTest : public PromoReenvioTest {
protected:
    void publica(const QByteArray& corpo) { publicaPromocoes(corpo); }
    // As a tick runs them: an error that reaches the caller ends up in the log.
    bool buscaEImporta() {
        return core->errors().runGuarded([this] { core->promotions().sincroniza(); });
    }
    QList<QStringList> estado() const {
        return db->rows(QStringLiteral("select p.id_prom, p.atv_prom, p.id_sinc, p.tit_prom, "
                                       "(select count(*) from Korvanta_item i where i.id_prom=p.id_prom) "
                                       "from Korvanta_promo p order by p.id_prom"));
    }
    // A first good import, so that a broken one has something to spoil.
    QList<QStringList> importaBase() {
        Promo p;
        p.id = "500";
        publica(documento({p}).toUtf8());
        EXPECT_TRUE(buscaEImporta()) << textoDoLog().toStdString();
        clock.advance(300);
        return estado();
    }
};

TEST_F(PromocoesEntradaRuimTest, BrokenDocumentsEndTheImportWithALogRowAndChangeNothing) {
    const QList<QStringList> antes = importaBase();
    Promo p;
    p.id = "501";
    const QByteArray bom = documento({p}).toUtf8();
    Promo condicaoRuim;
    condicaoRuim.id = "502";
    condicaoRuim.detalles = R"({"condiciones":{"a":[],"b":[]},"precio":1})";
    Promo precoTexto;
    precoTexto.id = "503";
    precoTexto.precio = R"("dez")";
    const QList<QPair<const char*, QByteArray>> casos = {
        {"empty", ""},
        {"blank", "  \r\n"},
        {"truncated", bom.left(bom.size() / 2)},
        {"not JSON", "<html><body>Service Unavailable</body></html>"},
        {"an object without an array", R"({"mensaje":"sem promocoes"})"},
        // Written after 501, so the rollback of the whole run is seen.
        {"a condition that is not one member", documento({p, condicaoRuim}).toUtf8()},
        {"a price that is no number", documento({p, precoTexto}).toUtf8()},
    };
    for (const auto& [nome, corpo] : casos) {
        SCOPED_TRACE(nome);
        publica(corpo);
        const qsizetype linhas = log().size();
        EXPECT_FALSE(buscaEImporta());
        ASSERT_GT(log().size(), linhas + 1);
        EXPECT_EQ(log().last().at(0), "Erro na operação");
        EXPECT_FALSE(log().last().at(1).isEmpty());
        EXPECT_EQ(estado(), antes);
        // The core is usable afterwards.
        EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
        clock.advance(1);
    }
}

TEST_F(PromocoesEntradaRuimTest, NestingTenThousandDeepIsRefusedWithALogRow) {
    const QList<QStringList> antes = importaBase();
    Promo p;
    p.id = "501";
    const QString bom = p.json();
    const QByteArray fundo = QByteArray(10'000, '[') + QByteArray(10'000, ']');
    const QList<QPair<const char*, QByteArray>> casos = {
        {"as the promotions", "{\"total\":1,\"promociones\":[" + fundo + "]}"},
        {"inside one promotion", "{\"total\":1,\"promociones\":[" + bom.toUtf8() + ",{\"id\":9,\"detalles\":" +
                                     fundo + "}]}"},
    };
    for (const auto& [nome, corpo] : casos) {
        SCOPED_TRACE(nome);
        publica(corpo);
        EXPECT_FALSE(buscaEImporta());
        EXPECT_EQ(log().last().at(0), "Erro na operação");
        EXPECT_EQ(estado(), antes);
    }
}

TEST_F(PromocoesEntradaRuimTest, HostileIdsDatesAndLimitsSkipTheirPromotionOnly) {
    importaBase();
    QList<Promo> promos;
    const QStringList idsRuins = {R"("12 or 1=1")", "1.5", R"("7; delete from Korvanta_item")", "null",
                                  "12345678901", "true", R"({"id":1})"};
    for (const QString& id : idsRuins) {
        Promo p;
        p.id = id;
        promos << p;
    }
    const QList<QPair<QString, QString>> datasRuins = {
        {R"("2026-02-30T00:00:00")", R"("2026-12-31T00:00:00")"},
        {R"("2026-01-01T00:00:00")", R"("31/12/2026")"},
        {R"("2026-01-01T00:00:00' or '1'='1")", R"("2026-12-31T00:00:00")"},
        {"null", R"("2026-12-31T00:00:00")"},
        {R"("2026-01-01T00:00:00")", "20261231"},
    };
    int id = 600;
    for (const auto& [desde, ate] : datasRuins) {
        Promo p;
        p.id = QString::number(id++);
        p.desde = desde;
        p.hasta = ate;
        promos << p;
    }
    Promo limiteRuim;
    limiteRuim.id = QString::number(id++);
    limiteRuim.limite = R"("1 or 1=1")";
    promos << limiteRuim;
    const int ruins = int(promos.size());
    Promo bom;
    bom.id = "700";
    Promo dezDigitos;
    dezDigitos.id = "1234567890";
    promos.insert(3, bom);
    promos << dezDigitos;
    publica(documento(promos).toUtf8());

    EXPECT_TRUE(buscaEImporta()) << textoDoLog().toStdString();

    EXPECT_EQ(db->rows("select id_prom, atv_prom from Korvanta_promo order by id_prom"),
              (QList<QStringList>{{"500", "F"}, {"700", "T"}, {"1234567890", "T"}}));
    EXPECT_EQ(db->integer("select count(*) from Korvanta_item"), 6);
    int erros = 0;
    for (const QStringList& linha : log())
        if (linha.at(0).startsWith("Erro na promoção: ")) ++erros;
    EXPECT_EQ(erros, ruins) << textoDoLog().toStdString();
    EXPECT_TRUE(temLog("Erro na promoção: 1.5", "\"id\" \"1.5\" is not a whole number")) << textoDoLog().toStdString();
    EXPECT_TRUE(temLog("Erro na promoção: 600", "\"vigenciaDesde\"")) << textoDoLog().toStdString();
    EXPECT_TRUE(temLog("Promoções processada sistema ZYR", "Json= 7 / Gravadas: 2")) << textoDoLog().toStdString();
}

TEST_F(PromocoesEntradaRuimTest, QuotesCommasAndSqlInTextsAreStoredAsTextRunAfterRun) {
    const QString titulo = QStringLiteral(R"(O'Brien, "x"'); delete from Korvanta_item; --)");
    const QString codigo1 = QStringLiteral("1' or '1'='1");
    // Barcodes are kept to 30 characters on reading.
    const QString codigo2 = QStringLiteral(R"(a,b'); delete from Korvanta_promo; --)").left(30);
    Promo p;
    p.id = "800";
    p.titulo = titulo;
    p.descripcion = QStringLiteral("\\ %1 %s ''");
    p.autor = str(QStringLiteral("x'; drop table Korvanta_promo; --"));
    p.condiciones = {grupo("1", {{QStringLiteral("Nome 'com' aspas"), codigo1}, {"N2", codigo2}})};
    p.beneficios = {grupo("1", {{"N3", codigo1}})};
    publica(documento({p}).toUtf8());

    ASSERT_TRUE(buscaEImporta()) << textoDoLog().toStdString();
    // Inserted: the texts as sent (the title cut to 50).
    EXPECT_EQ(db->text("select tit_prom from Korvanta_promo where id_prom=800"), titulo.left(50));
    EXPECT_EQ(db->text("select desc_prom from Korvanta_promo where id_prom=800"), "\\ %1 %s ''");
    EXPECT_EQ(db->rows("select cod_bar_prom, tipo_item, nom_pro_prom from Korvanta_item order by cod_bar_prom, tipo_item"),
              (QList<QStringList>{{codigo1, "beneficio", "N3"},
                                  {codigo1, "condicao", "Nome 'com' aspas"},
                                  {codigo2, "condicao", "N2"}}));

    // Updated, three more times: the same rows, the barcodes kept as keys.
    for (int i = 0; i < 3; ++i) {
        clock.advance(60);
        ASSERT_TRUE(buscaEImporta()) << textoDoLog().toStdString();
    }
    EXPECT_EQ(db->text("select tit_prom from Korvanta_promo where id_prom=800"),
              QStringLiteral(R"(O Brien.  x  ); delete from Korvanta_item; --)").left(50));
    EXPECT_EQ(db->rows("select cod_bar_prom, tipo_item, nom_pro_prom from Korvanta_item order by cod_bar_prom, tipo_item"),
              (QList<QStringList>{{codigo1, "beneficio", "N3"},
                                  {codigo1, "condicao", "Nome  com  aspas"},
                                  {codigo2, "condicao", "N2"}}));
    EXPECT_EQ(db->text("select atv_prom from Korvanta_promo where id_prom=800"), "T");
}

TEST_F(PromocoesEntradaRuimTest, InvalidUtf8OutsideTheCodePageAndNulCharacters) {
    Promo p;
    p.id = "900";
    p.titulo = "TITULO";
    QByteArray corpo = documento({p}).toUtf8();
    corpo.replace("TITULO", "Caf\xC3\xA9 \xFF\xFE fim \xE2\x82\xAC \xF0\x9F\x98\x80");
    corpo.replace("Descricao", "antes\\u0000depois");

    publica(corpo);
    ASSERT_TRUE(buscaEImporta()) << textoDoLog().toStdString();

    EXPECT_EQ(db->text("select tit_prom from Korvanta_promo where id_prom=900"),
              QStringLiteral("Café ?? fim € ?"));
    EXPECT_EQ(db->text("select desc_prom from Korvanta_promo where id_prom=900"), "antesdepois");
}

TEST_F(PromocoesEntradaRuimTest, FiftyMegabyteDocumentIsImported) {
    Promo p;
    p.id = "950";
    p.descripcion = QString(50 * 1024 * 1024, u'x');
    publica(documento({p}).toUtf8());

    ASSERT_TRUE(buscaEImporta()) << textoDoLog().toStdString();

    EXPECT_EQ(db->text("select desc_prom from Korvanta_promo where id_prom=950"), QString(50, u'x'));
    EXPECT_TRUE(temLog("Promoções processada sistema ZYR", "Json= 7 / Gravadas: 1"));
}
