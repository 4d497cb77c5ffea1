// Promotions and resend-request replies that arrive cut short, dripping,
// oversized, nested too deep or not in UTF-8: an "Erro na operação" row that
// says what happened, the ERP promotion tables as they were, no request
// honoured, both gates open.

#include "PromoReenvioFixture.h"
#include "PromocoesDoc.h"

#include "support/fixtures/HttpLimits.h"

#include <QFile>

#include <functional>

using promodoc::documento;
using promodoc::Promo;

namespace {

// Small limits, so that a slow or oversized reply fails within a second or two.
const THttpClient::Limits kLimites{.lowSpeedSeconds = 1, .maxBodyBytes = 1024 * 1024};

struct RespostaRuim {
    const char* nome;
    FakeService::Delivery entrega;
    QByteArray corpo; // served instead of the published one; empty: the published one
    QString mensagem; // what the log row's message holds
};

QList<RespostaRuim> respostasRuins() {
    return {
        {"cut short", {.truncateAt = 10}, {}, QStringLiteral("transfer closed with ")},
        {"dripping", {.trickleMs = 300}, {}, QStringLiteral("Less than 1024 bytes/sec transferred")},
        {"too large", {}, QByteArray(2 * 1024 * 1024, ' ') + "[]", QStringLiteral("reply body larger than 1048576 bytes")},
    };
}

QByteArray binario() {
    const char bytes[] = "\xFF\xFE[\x00\x81{\"id\":\xC3\x28}]";
    return {bytes, sizeof bytes - 1};
}

} // namespace

class PromoReenvioRespostasRuinsTest : public PromoReenvioTest {
protected:
    [[nodiscard]] ErpDatabase::Content conteudo() const override { return ErpDatabase::Content::Demo; }

    bool buscaEImporta() {
        return core->errors().runGuarded([this] { core->promotions().sincroniza(); });
    }
    [[nodiscard]] QList<QStringList> promocoes() const {
        return db->rows(QStringLiteral("select p.id_prom, p.atv_prom, p.id_sinc, p.tit_prom, i.cod_bar_prom, "
                                       "i.tipo_item from Korvanta_promo p left join Korvanta_item i "
                                       "on i.id_prom = p.id_prom order by 1, 5, 6"));
    }
    [[nodiscard]] int postados() const {
        int n = 0;
        for (const JournalRecord& r : service->journal())
            if (r.method == "POST") ++n;
        return n;
    }
    [[nodiscard]] QByteArray ultGetPromo() const {
        QFile f(pasta.file(QStringLiteral("ult_get_promo.txt")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The rows added since `desde`, as "operation | message".
    [[nodiscard]] QStringList linhasDesde(qsizetype desde) const {
        QStringList out;
        for (qsizetype i = desde; i < log().size(); ++i) out << log().at(i).join(QStringLiteral(" | "));
        return out;
    }

    // Made with the test, before SetUp makes the core and its GET client.
    const HttpLimits limites{kLimites};
};

TEST_F(PromoReenvioRespostasRuinsTest, PromotionsReplyThatNeverArrivesWholeChangesNothing) {
    Promo base;
    base.id = QStringLiteral("500");
    publicaPromocoes(documento({base}).toUtf8());
    ASSERT_TRUE(buscaEImporta()) << textoDoLog().toStdString();
    const QList<QStringList> antes = promocoes();
    Promo outra;
    outra.id = QStringLiteral("501");
    publicaPromocoes(documento({outra}).toUtf8());

    for (const RespostaRuim& c : respostasRuins()) {
        SCOPED_TRACE(c.nome);
        clock.advance(300);
        service->setDelivery(QStringLiteral("promociones"), c.entrega);
        if (!c.corpo.isEmpty()) service->serve(QStringLiteral("promociones"), c.corpo);
        const qsizetype linhas = log().size();

        EXPECT_TRUE(buscaEImporta()); // the fetch logs its failure; the import has nothing to do

        ASSERT_EQ(linhasDesde(linhas).size(), 1) << textoDoLog().toStdString();
        EXPECT_EQ(log().constLast().at(0), "Erro na operação");
        EXPECT_TRUE(log().constLast().at(1).contains(c.mensagem)) << textoDoLog().toStdString();
        EXPECT_TRUE(ultGetPromo().contains(c.mensagem.toLatin1()));
        EXPECT_EQ(promocoes(), antes);
        EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
        EXPECT_TRUE(core->scheduler().gates().podePostVenda());
        service->reset();
    }

    // Whole, but bytes of no text at all: the import refuses it.
    clock.advance(300);
    service->serve(QStringLiteral("promociones"), binario());
    EXPECT_FALSE(buscaEImporta());
    EXPECT_EQ(log().constLast().at(0), "Erro na operação");
    EXPECT_EQ(promocoes(), antes);

    // The document itself was fine all along.
    service->reset();
    clock.advance(300);
    EXPECT_TRUE(buscaEImporta());
    EXPECT_NE(promocoes(), antes);
}

TEST_F(PromoReenvioRespostasRuinsTest, ResendReplyThatNeverArrivesWholeHonoursNothing) {
    const QByteArray pedido = R"([{"fecha":"2025-12-08","codigoCaja":"2"}])";
    publicaReenvioMovimentos(pedido);
    publicaReenvioFechamentos(pedido);
    const QList<QPair<QString, std::function<void()>>> leituras = {
        {QStringLiteral("solicitudesMovimientos"), [this] { core->resend().GetReenvio_Vendas(); }},
        {QStringLiteral("solicitudesCierresDiarios"), [this] { core->resend().GetReenvio_Fecha(); }},
    };
    for (const RespostaRuim& c : respostasRuins()) {
        for (const auto& [endpoint, le] : leituras) {
            SCOPED_TRACE(std::string(c.nome) + " " + endpoint.toStdString());
            service->setDelivery(endpoint, c.entrega);
            if (!c.corpo.isEmpty()) service->serve(endpoint, c.corpo);
            const qsizetype linhas = log().size();

            le();

            ASSERT_EQ(linhasDesde(linhas).size(), 1) << textoDoLog().toStdString();
            EXPECT_EQ(log().constLast().at(0), "Erro na operação");
            EXPECT_TRUE(log().constLast().at(1).contains(c.mensagem)) << textoDoLog().toStdString();
            EXPECT_EQ(postados(), 0);
            EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
            EXPECT_TRUE(core->scheduler().gates().podePostVenda());
            service->reset();
        }
    }
    // Whole, the same request is honoured.
    core->resend().GetReenvio_Fecha();
    EXPECT_EQ(postados(), 1) << textoDoLog().toStdString();
}

TEST_F(PromoReenvioRespostasRuinsTest, ResendListsNestedTooDeepOrNotInUtf8HonourNothing) {
    const QByteArray objetos = QByteArray("{\"a\":").repeated(100'000) + "[]" + QByteArray(100'000, '}');
    struct Caso {
        const char* nome;
        QByteArray corpo;
        const char* mensagem; // the start of the error row's message
    };
    const Caso casos[] = {
        {"arrays 100,000 deep", QByteArray(100'000, '[') + QByteArray(100'000, ']'), "The reply is nested deeper than"},
        {"objects 100,000 deep", objetos, "The reply is nested deeper than"},
        {"a million arrays never closed", QByteArray(1'000'000, '['), "The reply holds no list of requests: "},
        {"a register not in UTF-8", "[{\"fecha\":\"2025-12-08\",\"codigoCaja\":\"2\xFF\"}]",
         "Resend request skipped: codigoCaja \"2?\""},
        {"bytes of no text", binario(), "The reply holds no list of requests: "},
    };
    const QList<std::function<void()>> leituras = {[this] { core->resend().GetReenvio_Vendas(); },
                                                   [this] { core->resend().GetReenvio_Fecha(); }};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        publicaReenvioMovimentos(c.corpo);
        publicaReenvioFechamentos(c.corpo);
        for (const auto& le : leituras) {
            const qsizetype linhas = log().size();
            le();
            const QStringList novas = linhasDesde(linhas);
            ASSERT_EQ(novas.size(), 2) << textoDoLog().toStdString();
            EXPECT_TRUE(novas.at(0).startsWith("Leitura de reenvio-")) << novas.at(0).toStdString();
            EXPECT_TRUE(novas.at(1).startsWith(QStringLiteral("Erro na operação | ") + c.mensagem))
                << novas.at(1).toStdString();
            EXPECT_EQ(postados(), 0);
            EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
        }
    }
}
