// Start-up (FormCreate), the application of the settings, the caption, the ping
// handshake and the text of the error display.

#include "AppTestSupport.h"
#include "support/Platform.h"
#include "support/fixtures/CoreParts.h"

#include <QDir>
#include <QFile>

using apptest::rows;

namespace {

using StartupTest = apptest::ShellTest;

const QString CaptionBase = QStringLiteral("API de comunicação - Korvanta - Versão 2020.1104");

TEST_F(StartupTest, StartUpAppliesTheSettingsAndPreparesEveryTask) {
    writeSettings({{QStringLiteral("PATH DOLVEX"), QStringLiteral("srv:/dados/erp.fdb")},
                   {QStringLiteral("IDEMRPESA"), QStringLiteral("11")},
                   {QStringLiteral("IDLOCAL"), QStringLiteral("22")},
                   {QStringLiteral("USUARIO"), QStringLiteral("loja")},
                   {QStringLiteral("SENHA"), QStringLiteral("s3nha")},
                   {QStringLiteral("URLBASE"), QStringLiteral("http://a.example/")},
                   {QStringLiteral("chkGetPromo"), QStringLiteral("NAO")},
                   {QStringLiteral("edtcodempdolvex"), QStringLiteral("7")}});
    TPrincipal core;
    core.FormCreate();

    EXPECT_EQ(core.erp().pathBancoDolvex(), QStringLiteral("srv:/dados/erp.fdb"));
    EXPECT_EQ(core.store().idEmpresa, QStringLiteral("11"));
    EXPECT_EQ(core.store().idLocal, QStringLiteral("22"));
    EXPECT_EQ(core.frame().user(), QStringLiteral("loja"));
    EXPECT_EQ(core.frame().password(), QStringLiteral("s3nha"));
    EXPECT_EQ(core.frame().baseUrl(), QStringLiteral("http://a.example/"));
    EXPECT_EQ(core.frame().failoverIndex(), 1);
    EXPECT_FALSE(core.store().buscaPromocoes);
    EXPECT_TRUE(core.store().postaVendas);
    EXPECT_FALSE(core.store().usaCodEmpDolvex);
    EXPECT_EQ(core.store().codEmpDolvex, QStringLiteral("7"));
    EXPECT_EQ(core.caption(), CaptionBase);

    EXPECT_TRUE(core.scheduler().gates().podePostVenda());
    EXPECT_TRUE(core.scheduler().gates().podeGetPromo());
    EXPECT_TRUE(core.log().table().Active());
    EXPECT_TRUE(core.scheduler().timerGeral().isActive());
    EXPECT_TRUE(core.scheduler().timerPing().isActive());
    EXPECT_EQ(core.scheduler().timerGeralInterval(), TScheduler::InitialInterval);
    EXPECT_EQ(core.scheduler().salesCountdown().proximo() + core.scheduler().closingCountdown().proximo() +
                  core.scheduler().promotionsCountdown().proximo() +
                  core.scheduler().resendCountdown().proximo(),
              0);
    EXPECT_EQ(core.frame().pdvVersion(), QStringLiteral("2020.1104"));
    EXPECT_EQ(core.frame().backEndVersion(), QStringLiteral("2020.1104"));
    EXPECT_EQ(core.testConsoleOffered(),
              platform::computerName() == QLatin1String(TPrincipal::TestWorkstation));
    EXPECT_EQ(QString::fromLatin1(TPrincipal::TestWorkstation).size(), 14);
    EXPECT_TRUE(core.log().table().RecordCount() == 0);
}

TEST_F(StartupTest, TheMonthsLogFolderIsMadeLevelByLevel) {
    const QChar sep = QDir::separator();
    struct Case {
        QDate day;
        QString folder;
    };
    for (const Case& c : {Case{QDate(2023, 12, 31), QStringLiteral("Ano2023_12")},
                          Case{QDate(2024, 1, 1), QStringLiteral("Ano2024_1")}}) {
        clock.set(QDateTime(c.day, QTime(8, 0)));
        TPrincipal core;
        core.FormCreate();
        const QString expected =
            dir() + QStringLiteral("Korvanta") + sep + QStringLiteral("log") + sep + c.folder + sep;
        EXPECT_EQ(core.store().pastaLog, expected);
        EXPECT_TRUE(QDir(expected).exists()) << expected.toStdString();
    }
}

TEST_F(StartupTest, CaptionNamesTheNicknameOnlyWithCompanyFiltering) {
    struct Case {
        QString filtering, nickname, caption;
    };
    const Case cases[] = {
        {QStringLiteral("NAO"), QStringLiteral("Loja Centro"), CaptionBase},
        {QStringLiteral("SIM"), QStringLiteral("Loja Centro"),
         CaptionBase + QStringLiteral(" - ( Loja Centro )")},
        {QStringLiteral("SIM"), QString(), CaptionBase + QStringLiteral(" - (  )")},
        {QStringLiteral("sim"), QStringLiteral("Loja Centro"), CaptionBase},
    };
    TPrincipal core;
    core.FormCreate();
    for (const Case& c : cases) {
        writeSettings({{QStringLiteral("chkCodEmpDolvex"), c.filtering},
                       {QStringLiteral("edtApelidoEmp"), c.nickname}});
        core.FormActivate();
        EXPECT_EQ(core.caption(), c.caption) << c.filtering.toStdString() << " " << c.nickname.toStdString();
    }
}

TEST_F(StartupTest, ActivationReloadsTheFileOpensTheGatesAndSetsToday) {
    TPrincipal core;
    core.FormCreate();
    core.scheduler().gates().setPodePostVenda(0);
    core.scheduler().gates().setPodeGetPromo(0);
    core.scheduler().habilTimer(0);
    core.commands().setDay(QDate(2020, 6, 10));
    writeSettings({{QStringLiteral("IDEMRPESA"), QStringLiteral("99")}});
    clock.set(QDateTime(QDate(2023, 4, 11), QTime(7, 30)));

    core.FormActivate();
    EXPECT_EQ(core.store().idEmpresa, QStringLiteral("99"));
    EXPECT_TRUE(core.scheduler().gates().podePostVenda());
    EXPECT_TRUE(core.scheduler().gates().podeGetPromo());
    EXPECT_TRUE(core.scheduler().timerGeral().isActive());
    EXPECT_EQ(core.commands().day(), QDate(2023, 4, 11));
    // The countdowns are left alone by the application of the settings.
    EXPECT_EQ(core.scheduler().salesCountdown().proximo(), 0);
}

TEST(ErrorText, APointIsAddedUnlessTheTextEndsInCode46OrBelow) {
    struct Case {
        const char16_t* in;
        const char16_t* out;
    };
    const Case cases[] = {
        {u"Banco indisponível", u"Banco indisponível."},
        {u"Termina com ponto.", u"Termina com ponto."},
        {u"Termina com blank ", u"Termina com blank "},
        {u"Status -", u"Status -"},    // '-' is 45
        {u"Lista: a/", u"Lista: a/."}, // '/' is 47
        {u"Pergunta?", u"Pergunta?."},
        {u"", u"."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TErrorDisplay::shownText(QString::fromUtf16(c.in)), QString::fromUtf16(c.out));
}

class PingTest : public apptest::ShellTest {
  protected:
    void SetUp() override {
        core.FormCreate();
        core.scheduler().timerGeral().stop(); // only the ping timer runs in these tests
    }
    [[nodiscard]] QString file(const char* name) const { return dir() + QString::fromLatin1(name); }
    void touch(const char* name) {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TPrincipal core;
};

TEST_F(PingTest, ARequestIsAnsweredWithTheErrorMemoInTheCodePage) {
    core.diagnostics().respostaExaminada().Add(QStringLiteral("400"));
    core.diagnostics().respostaExaminada().Add(QStringLiteral("Ação ☺"));
    touch("test-ping.txt");
    ASSERT_TRUE(apptest::waitFor(&core.log(), &TActivityLog::rowAdded));

    EXPECT_FALSE(QFile::exists(file("test-ping.txt")));
    QFile answer(file("resp-ping.txt"));
    ASSERT_TRUE(answer.open(QIODevice::ReadOnly));
    EXPECT_EQ(answer.readAll(), QByteArray("400\r\nA\xe7\xe3o ?\r\n"));
    EXPECT_EQ(rows(core.log().table()), QStringList{QStringLiteral("Resp-Ping.txt|")});
    EXPECT_TRUE(core.scheduler().timerPing().isActive());
}

TEST_F(PingTest, WithoutARequestTheEventDoesNothing) {
    core.scheduler().timerPingTimer();
    EXPECT_FALSE(QFile::exists(file("resp-ping.txt")));
    EXPECT_EQ(core.log().table().RecordCount(), 0);
}

TEST_F(PingTest, AnAnswerThatCannotBeWrittenIsShownAndThePingGoesOn) {
    ASSERT_TRUE(QDir().mkdir(file("resp-ping.txt"))); // a folder where the file should go
    touch("test-ping.txt");
    apptest::ErrorSpy errors(core);
    core.scheduler().timerPingTimer();

    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts.at(0).startsWith(QStringLiteral("Unable to write to ") + file("resp-ping.txt")));
    EXPECT_EQ(core.log().table().cell(1, 0).toString(), QStringLiteral("Erro na operação"));
    EXPECT_TRUE(core.scheduler().timerPing().isActive());
}

} // namespace
