// The support strip at the bottom of the main window: the version, the working
// and log folders, the database, the base URL in use and the general tick's
// last and next run, read from a core with known settings.

#include "app/gui/SupportStrip.h"

#include "UiTestSupport.h"
#include "config/gui/uFrmConfig.h"
#include "support/Platform.h"
#include "support/fixtures/EventsUntil.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>

namespace {

class SupportStripTest : public uitest::WindowTest {
  protected:
    void SetUp() override {
        writeSettings({{QStringLiteral("PATH DOLVEX"), QStringLiteral("erp-server:/dados/loja01/erp.fdb")},
                       {QStringLiteral("URLBASE"), QStringLiteral("https://api.korvanta.example/")},
                       {QStringLiteral("URLBASE2"), QStringLiteral("https://api2.korvanta.example/")}});
        start();
        strip = window->faixaSuporte;
    }
    // Makes every task wait, so a tick runs and does nothing.
    void nothingDue() {
        onEngine([](TPrincipal& c) {
            for (TPrazo* prazo : {&c.scheduler().salesCountdown(), &c.scheduler().promotionsCountdown(),
                                  &c.scheduler().resendCountdown()})
                prazo->setProximo(clockSeconds() + 3600);
        });
    }
    TSupportStrip* strip = nullptr;
};

TEST_F(SupportStripTest, ShowsTheVersionTheFoldersTheDatabaseAndTheBaseUrl) {
    window->restauraClick();
    uitest::settle();
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->edtVersao->valor(), QStringLiteral("2020.1104"));
    EXPECT_EQ(QDir(strip->edtPasta->valor()), QDir(folder.path()));
    // Started on 10 April 2023.
    EXPECT_EQ(QDir::fromNativeSeparators(strip->edtPastaLog->valor()),
              QDir(folder.path()).filePath(QStringLiteral("Korvanta/log/Ano2023_4")) + u'/');
    EXPECT_TRUE(QFileInfo(strip->edtPastaLog->valor()).isDir());
    EXPECT_EQ(strip->edtBanco->valor(), QStringLiteral("erp-server:/dados/loja01/erp.fdb"));
    EXPECT_EQ(strip->edtUrlBase->valor(), QStringLiteral("https://api.korvanta.example/"));
    for (TCampoSuporte* value : {strip->edtPasta, strip->edtPastaLog, strip->edtBanco, strip->edtUrlBase})
        EXPECT_EQ(value->toolTip(), value->valor()) << value->objectName().toStdString();
}

TEST_F(SupportStripTest, TheBaseUrlIsTheOneInUseAfterAFailover) {
    onEngine([](TPrincipal& c) { c.frame().trata_erro_url(500); });
    EXPECT_EQ(strip->edtUrlBase->valor(), QStringLiteral("https://api.korvanta.example/")); // not yet applied
    window->FormActivate();
    sync();
    EXPECT_EQ(strip->edtUrlBase->valor(), QStringLiteral("https://api2.korvanta.example/"));
    writeSettings({{QStringLiteral("PATH DOLVEX"), QStringLiteral("/srv/outra.fdb")}});
    window->FormActivate();
    sync();
    EXPECT_EQ(strip->edtBanco->valor(), QStringLiteral("/srv/outra.fdb"));
}

TEST_F(SupportStripTest, TheLastAndTheNextTickOfTheGeneralTimer) {
    // The first tick comes 10 seconds after start-up (09:00:00).
    EXPECT_EQ(strip->edtUltimoCiclo->valor(), QStringLiteral("—"));
    EXPECT_EQ(strip->edtProximoCiclo->valor(), QStringLiteral("09:00:10"));

    nothingDue();
    clock.set(QDateTime(QDate(2023, 4, 10), QTime(9, 0, 10)));
    onEngine([](TPrincipal& c) { c.scheduler().timerGeralTimer(); });
    EXPECT_EQ(strip->edtUltimoCiclo->valor(), QStringLiteral("09:00:10"));
    EXPECT_EQ(strip->edtProximoCiclo->valor(), QStringLiteral("09:00:40"));

    // Stopped while a command or the settings dialog holds the timers.
    onEngine([](TPrincipal& c) { c.scheduler().habilTimer(0); });
    EXPECT_EQ(strip->edtProximoCiclo->valor(), QStringLiteral("em pausa"));

    // Another day: the date comes before the time.
    clock.set(QDateTime(QDate(2023, 4, 11), QTime(0, 0, 5)));
    onEngine([](TPrincipal& c) { c.scheduler().habilTimer(1); });
    EXPECT_EQ(strip->edtUltimoCiclo->valor(), QStringLiteral("10/04/2023 09:00:10"));
    EXPECT_EQ(strip->edtProximoCiclo->valor(), QStringLiteral("00:00:35"));
}

TEST_F(SupportStripTest, WhileTheSettingsDialogIsOpenTheNextTickWaits) {
    QString whileOpen;
    QTimer::singleShot(0, window.get(), [&] {
        // The engine stops the timers and tells the strip so.
        runEventsUntil([&] { return strip->edtProximoCiclo->valor() == QStringLiteral("em pausa"); }, 10'000);
        whileOpen = strip->edtProximoCiclo->valor();
        window->frmConfig().btnsair->click();
    });
    window->btnConfig->click();
    EXPECT_EQ(whileOpen, QStringLiteral("em pausa"));
    sync();
    // Started anew: the first tick still comes 10 seconds after the timers start.
    EXPECT_EQ(strip->edtProximoCiclo->valor(), QStringLiteral("09:00:10"));
}

TEST_F(SupportStripTest, ALongValueIsCutInTheMiddleAndCopiedWhole) {
    window->restauraClick();
    window->resize(window->minimumSize());
    uitest::settle();
    TCampoSuporte* log = strip->edtPastaLog;
    const QString whole = log->valor();
    ASSERT_LT(log->width(), log->fontMetrics().horizontalAdvance(whole)); // too long for its place
    const QString shown = log->text();
    const qsizetype cut = shown.indexOf(QChar(0x2026));
    ASSERT_GT(cut, 0) << shown.toStdString();
    EXPECT_TRUE(whole.startsWith(shown.left(cut))) << shown.toStdString();
    EXPECT_TRUE(whole.endsWith(shown.mid(cut + 1))) << shown.toStdString();
    EXPECT_LE(log->fontMetrics().horizontalAdvance(shown), log->contentsRect().width());

    const QList<QAction*> menu = log->actions();
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.at(0)->text(), QStringLiteral("Copiar"));
    menu.at(0)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), whole);

    window->resize(window->designedSize());
    uitest::settle();
    EXPECT_EQ(strip->edtVersao->text(), QStringLiteral("2020.1104")); // a short one whole
}

TEST_F(SupportStripTest, TheButtonOpensTheLogFolder) {
    QList<QUrl> opened;
    strip->setOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    window->restauraClick();
    uitest::settle();
    ASSERT_TRUE(strip->btnAbreLog->isEnabled());
    strip->btnAbreLog->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0), QUrl::fromLocalFile(engine->state().logFolder));
    EXPECT_TRUE(QFileInfo(opened.at(0).toLocalFile()).isDir());
}

} // namespace
