// The resend requests end to end: the fake service lists requests, the core
// honours them with the sales upload and the daily closing on the demo ERP.

#include "PromoReenvioFixture.h"

#include "config/Settings.h"

class ReenvioTest : public PromoReenvioTest {
protected:
    [[nodiscard]] ErpDatabase::Content conteudo() const override { return ErpDatabase::Content::Demo; }

    void pedeMovimentos(const QByteArray& corpo) { publicaReenvioMovimentos(corpo); }
    void pedeFechamentos(const QByteArray& corpo) { publicaReenvioFechamentos(corpo); }
    void readResendRequests() {
        core->resend().GetReenvio_Vendas();
        core->resend().GetReenvio_Fecha();
    }
    // The paths of the posts to one endpoint ("movimientos", "cierresDiarios").
    QStringList posts(const QString& endpoint) const {
        QStringList caminhos;
        for (const JournalRecord& r : service->journal())
            if (r.method == "POST" && r.endpoint == endpoint) caminhos << r.path;
        return caminhos;
    }
    static QString caminho(const QString& caixa, const QString& endpoint) {
        return QStringLiteral("/api-minoristas/api/v2/minoristas/11/locales/22/cajas/%1/%2").arg(caixa, endpoint);
    }
};

TEST_F(ReenvioTest, MovementRequestRunsTheDateModeForThatDayAndRegister) {
    pedeMovimentos(R"([{"fecha":"2025-12-08T00:00:00","codigoCaja":"2","motivo":"perdido"}])");

    readResendRequests();

    // The sales of that day and register, whatever their flags (the cancellations
    // of that day go for every register, as in every date-mode run).
    EXPECT_GE(posts("movimientos").count(caminho("2", "movimientos")), 3) << textoDoLog().toStdString();
    EXPECT_EQ(db->integer("select count(*) from cupom_fiscal where nro_cx=2 and data_cupom='12/08/2025' "
                          "and sinc_korvanta<>2"),
              0);
    EXPECT_EQ(db->integer("select sinc_korvanta from cupom_fiscal where nro_cupom=2935 and nro_cx=1 and cod_emp=1"),
              1);
    EXPECT_EQ(core->commands().day(), QDate(2025, 12, 8));
    EXPECT_TRUE(temLog("Leitura de reenvio-venda", "Ok"));
    EXPECT_TRUE(temLog("Leitura de reenvio-fecha", "Ok"));
    EXPECT_TRUE(posts("cierresDiarios").isEmpty());
    EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
}

TEST_F(ReenvioTest, ClosingRequestPostsThatDaysClosingForThatRegisterOnly) {
    const QString ultimoFechamento = core->config().values().dataUltFecha;
    pedeFechamentos(R"({"total":1,"solicitudes":[{"fecha":"2025-12-08","codigoCaja":"2"}]})");

    readResendRequests();

    EXPECT_EQ(posts("cierresDiarios"), QStringList{caminho("2", "cierresDiarios")}) << textoDoLog().toStdString();
    EXPECT_TRUE(posts("movimientos").isEmpty());
    EXPECT_EQ(core->config().values().dataUltFecha, ultimoFechamento);
    EXPECT_EQ(core->commands().day(), QDate(2025, 12, 8));
}

TEST_F(ReenvioTest, TwoRequestsForTheSameDayAreBothHonoured) {
    pedeFechamentos(R"([{"fecha":"2025-12-08","codigoCaja":"1"},{"fecha":"2025-12-08","codigoCaja":"1"}])");

    readResendRequests();

    EXPECT_EQ(posts("cierresDiarios"), QStringList(2, caminho("1", "cierresDiarios"))) << textoDoLog().toStdString();
}

TEST_F(ReenvioTest, FailedReadHonoursNothingAndOpensBothGates) {
    pedeMovimentos(R"([{"fecha":"2025-12-08","codigoCaja":"2"}])");
    pedeFechamentos(R"([{"fecha":"2025-12-08","codigoCaja":"2"}])");
    service->queue(QStringLiteral("solicitudesMovimientos"), {500});
    core->frame().setBaseUrl(service->baseUrl());

    core->resend().GetReenvio_Vendas();
    core->frame().setBaseUrl(QStringLiteral("http://127.0.0.1:1/"));
    core->resend().GetReenvio_Fecha();

    EXPECT_TRUE(posts("movimientos").isEmpty());
    EXPECT_TRUE(posts("cierresDiarios").isEmpty());
    ASSERT_EQ(log().size(), 2) << textoDoLog().toStdString();
    EXPECT_EQ(log().at(0).at(0), "Erro na operação");
    EXPECT_TRUE(log().at(0).at(1).startsWith("HTTP/1.1 500"));
    EXPECT_EQ(log().at(1).at(0), "Erro na operação");
    EXPECT_EQ(core->diagnostics().resultado().Text().left(100), log().at(1).at(1));
    EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
}

TEST_F(ReenvioTest, ClosedGateReadsNothing) {
    core->scheduler().gates().setPodeGetPromo(0);
    readResendRequests();
    EXPECT_TRUE(service->journal().isEmpty());
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(ReenvioTest, InvalidRequestsAreSkippedTheOthersHonoured) {
    pedeFechamentos(R"([{"fecha":"2025-12-08","codigoCaja":"2 or 1=1"},)"
                    R"({"fecha":"2025-02-30","codigoCaja":"1"},)"
                    R"({"fecha":"08/12/2025","codigoCaja":"1"},)"
                    R"({"fecha":"2025-12-08","codigoCaja":123456},)"
                    R"({"fecha":"2025-12-08"},)"
                    R"({"codigoCaja":"1"},)"
                    R"("2025-12-08",)"
                    R"({"fecha":"2025-12-08","codigoCaja":2}])");

    readResendRequests();

    EXPECT_EQ(posts("cierresDiarios"), QStringList{caminho("2", "cierresDiarios")}) << textoDoLog().toStdString();
    int pulados = 0;
    for (const QStringList& linha : log())
        if (linha.at(0) == "Erro na operação" && linha.at(1).startsWith("Resend request skipped")) ++pulados;
    EXPECT_EQ(pulados, 7) << textoDoLog().toStdString();
}

TEST_F(ReenvioTest, ReplyWithoutAListLogsAnError) {
    const QList<QByteArray> respostas = {"", "<html>erro</html>", R"({"mensaje":"nada"})",
                                         QByteArray(10'000, '[') + QByteArray(10'000, ']')};
    for (const QByteArray& resposta : respostas) {
        SCOPED_TRACE(resposta.left(40).toStdString());
        pedeFechamentos(resposta);
        const qsizetype antes = log().size();
        core->resend().GetReenvio_Fecha();
        ASSERT_EQ(log().size(), antes + 2) << textoDoLog().toStdString();
        EXPECT_EQ(log().at(antes), (QStringList{"Leitura de reenvio-fecha", "Ok"}));
        EXPECT_EQ(log().at(antes + 1).at(0), "Erro na operação");
        EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    }
    EXPECT_TRUE(posts("cierresDiarios").isEmpty());
}

TEST_F(ReenvioTest, EmptyListGivesOnlyTheOkRow) {
    pedeMovimentos("[]");
    core->resend().GetReenvio_Vendas();
    EXPECT_EQ(log(), (QList<QStringList>{{"Leitura de reenvio-venda", "Ok"}}));
}
