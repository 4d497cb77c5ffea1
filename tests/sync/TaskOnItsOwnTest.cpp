// A task is made of the collaborators it is handed and nothing else: the sales
// upload and the daily closing it starts, with a log of the test's own, their
// own diagnostics, gates and countdown, and no shell around them.

#include "SalesFixture.h"
#include "api/ServiceFrame.h"
#include "config/Settings.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "sync/Atividades.h"
#include "sync/Diagnostico.h"
#include "sync/EnvioDeVendas.h"
#include "sync/FechamentoDiario.h"
#include "sync/Loja.h"
#include "sync/Portoes.h"
#include "sync/Prazo.h"

namespace {

class LogDoTeste : public TAtividades {
  public:
    void addList(const QString& operacao, const QString& mensagem) override {
        linhas << operacao + u'|' + mensagem;
    }
    QStringList linhas;
};

} // namespace

TEST_F(SalesTest, ATaskWorksThroughTheCollaboratorsItIsHandedAlone) {
    cupom(2935);
    TdtmApi erp;
    erp.setPathBancoDolvex(db->path());
    api::ServiceFrame frame;
    frame.setBaseUrl(service->baseUrl());
    frame.setCredentials(kUsuario, kSenha);
    TConfig config(pasta.file(QStringLiteral("outro.ini")));
    config.LoadConfig();
    config.MostraUltFecha(QStringLiteral("09/06/2020")); // 10/06, the tickets' day, is to close
    const Loja loja{QStringLiteral("11"), QStringLiteral("22"), false, {}, true, false, pasta.path() + u'/'};
    LogDoTeste log;
    TDiagnostico diagnostico;
    TPortoes portoes;
    TPrazo prazoFechamento; // due: the run ends with the closing
    TFechamentoDiario fechamento(erp, frame, config, loja, log, diagnostico);
    TEnvioDeVendas vendas(erp, frame, config, loja, log, diagnostico, portoes, prazoFechamento, fechamento);

    // A closed gate: nothing runs.
    vendas.PostVendas(QStringLiteral("Pendentes-1"), QString(), QDate());
    EXPECT_TRUE(log.linhas.isEmpty());
    EXPECT_TRUE(posts().isEmpty());

    portoes.abreAmbos();
    vendas.PostVendas(QStringLiteral("Pendentes-1"), QString(), QDate());
    EXPECT_EQ(flagCupom(2935), 2);
    EXPECT_EQ(numerosPostados(), QStringList{QStringLiteral("2935")});
    EXPECT_EQ(log.linhas, (QStringList{QStringLiteral("Gravação venda: 1 - 2935 - 10/06/2020|200: Ok"),
                                       QStringLiteral("Fechamento: 10/06/2020 / Cx: 1|200: ok")}))
        << log.linhas.join(u'\n').toStdString();
    // Every trace of the run is in the collaborators handed in: the document
    // posted and the closing document in this diagnostics, the next closing
    // in this countdown, the closed day in this settings store.
    EXPECT_TRUE(diagnostico.documentoEnviado().Text().contains(QStringLiteral("2935")));
    EXPECT_TRUE(
        diagnostico.respostaExaminada().Text().contains(QStringLiteral("\"fechaVentas\":\"2020-06-10\"")));
    EXPECT_EQ(prazoFechamento.proximo(), clockSeconds() + config.values().timerFecha.value());
    EXPECT_EQ(config.values().dataUltFecha, QStringLiteral("13/06/2020"));
    EXPECT_TRUE(portoes.podePostVenda() && portoes.podeGetPromo());
    EXPECT_FALSE(erp.dtbDolvex().Connected());
    // ...and none in the shell the fixture made.
    EXPECT_TRUE(linhasDoLog.isEmpty());
    EXPECT_TRUE(core->diagnostics().documentoEnviado().IsEmpty());
    EXPECT_EQ(core->config().values().dataUltFecha, QString::fromLatin1(TConfig::DefaultDataUltFecha));
}
