// The main window: hidden start, captions, the log grid, close hides, the
// icon's menu, activation applies the settings, the error box, the end and the
// question before it.

#include "UiTestSupport.h"
#include "app/gui/TrayIcon.h"
#include "config/gui/uFrmConfig.h"
#include "support/MemTable.h"
#include "ui/uPaginaTeste.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QSemaphore>
#include <QTimer>

namespace {

using MainWindowTest = uitest::WindowTest;

TEST_F(MainWindowTest, StartsHiddenWithTheCommandsOfTheLeftColumn) {
    start();
    uitest::settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("API de comunicação - Korvanta - Versão 2020.1104"));
    EXPECT_EQ(window->size(), window->designedSize()); // the area 1013 x 675 and the strip
    struct Face {
        QAbstractButton* button;
        QString text, tip;
    };
    const Face faces[] = {
        {window->btnClose, {}, QStringLiteral("Fecha sincronizador")},
        {window->btnConfig, {}, QStringLiteral("Configurações")},
        {window->btnguiaTeste, QStringLiteral("Guia de testes"), {}},
        {window->btnGetReenvio, QStringLiteral("Leitura de reenvio"), {}},
        {window->btnCopia, QStringLiteral("Leitura de promoções"), {}},
        {window->rdPendente1, QStringLiteral("Vendas / fecha pendente - 1"), {}},
        {window->rdPendente3, QStringLiteral("Vendas / fecha pendente - 3"), {}},
        {window->rdData, QStringLiteral("Vendas / fechamento por data:"), {}},
        {window->btnEnvia, QStringLiteral("Enviar vendas"), {}},
        {window->btnEnviaFecha, QStringLiteral("Enviar fechamento diário"), {}},
    };
    for (const Face& f : faces) {
        EXPECT_EQ(f.button->text(), f.text) << f.button->objectName().toStdString();
        EXPECT_EQ(f.button->toolTip(), f.tip) << f.button->objectName().toStdString();
    }
    EXPECT_TRUE(window->rdPendente1->isChecked());
    EXPECT_FALSE(window->btnClose->icon().isNull());
    EXPECT_FALSE(window->btnConfig->icon().isNull());
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->btnguiaTeste->isVisibleTo(window.get()), engine->state().testConsoleOffered);
    EXPECT_EQ(window->GridList->model(), &engine->log().table());
}

TEST_F(MainWindowTest, CaptionFollowsTheSettings) {
    writeSettings({{QStringLiteral("chkCodEmpDolvex"), QStringLiteral("SIM")},
                   {QStringLiteral("edtApelidoEmp"), QStringLiteral("Loja Centro")}});
    start();
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("API de comunicação - Korvanta - Versão 2020.1104 - ( Loja Centro )"));
    writeSettings({{QStringLiteral("chkCodEmpDolvex"), QStringLiteral("SIM")}});
    window->FormActivate();
    sync();
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("API de comunicação - Korvanta - Versão 2020.1104 - (  )"));
}

TEST_F(MainWindowTest, TheNewestLogRowIsCurrentAndInView) {
    start();
    window->restauraClick();
    uitest::settle();
    onEngine([](TPrincipal& c) {
        for (int i = 1; i <= 60; ++i)
            c.log().addList(QStringLiteral("linha %1").arg(i), QString());
    });
    const QModelIndex current = window->GridList->selectionModel()->currentIndex();
    EXPECT_EQ(current.row(), 59);
    EXPECT_TRUE(window->GridList->viewport()->rect().intersects(window->GridList->visualRect(current)));
    EXPECT_EQ(window->GridList->model()->headerData(3, Qt::Horizontal).toString(),
              QStringLiteral("Mensagem"));
}

TEST_F(MainWindowTest, ClosingHidesAndTheTimersGoOn) {
    start();
    window->restauraClick();
    uitest::settle();
    ASSERT_TRUE(window->isVisible());
    EXPECT_FALSE(window->close()); // refused
    EXPECT_FALSE(window->isVisible());
    onEngine([](TPrincipal& c) {
        EXPECT_TRUE(c.scheduler().timerGeral().isActive());
        EXPECT_TRUE(c.scheduler().timerPing().isActive());
    });
}

TEST_F(MainWindowTest, TheIconsMenuRestoresAndADoubleClickToo) {
    start();
    TTrayIcon& tray = window->tray();
    const QList<QAction*> items = tray.PopupMenu1.actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items.at(0)->text(), QStringLiteral("Restaurar programa - Korvanta"));
    EXPECT_TRUE(items.at(1)->isSeparator());
    EXPECT_EQ(items.at(2)->text(), QStringLiteral("Sair do sistema"));

    tray.onActivated(QSystemTrayIcon::Trigger); // a single click does nothing
    uitest::settle();
    EXPECT_FALSE(window->isVisible());
    tray.onActivated(QSystemTrayIcon::DoubleClick);
    uitest::settle();
    EXPECT_TRUE(window->isVisible());
    window->hide();
    tray.restaura->trigger();
    uitest::settle();
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, WithoutASystemTrayTheProgramRunsOnAndTheIconRetries) {
    start();
    if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this session has a system tray";
    EXPECT_FALSE(window->tray().isShown());
    EXPECT_EQ(window->tray().attemptsLeft(), TTrayIcon::Tentativas - 1);
    EXPECT_TRUE(engine->state().timersRunning());
}

TEST_F(MainWindowTest, ShowingTheWindowAppliesTheSettings) {
    start();
    onEngine([](TPrincipal& c) {
        c.scheduler().gates().setPodePostVenda(0);
        c.scheduler().gates().setPodeGetPromo(0);
    });
    writeSettings({{QStringLiteral("IDEMRPESA"), QStringLiteral("77")}});
    clock.set(QDateTime(QDate(2023, 4, 12), QTime(8, 0)));
    window->restauraClick();
    uitest::settle();
    EXPECT_TRUE(window->isActiveWindow());
    onEngine([](TPrincipal& c) {
        EXPECT_TRUE(c.scheduler().gates().podePostVenda());
        EXPECT_TRUE(c.scheduler().gates().podeGetPromo());
        EXPECT_EQ(c.store().idEmpresa, QStringLiteral("77"));
    });
    EXPECT_EQ(engine->state().idEmpresa, QStringLiteral("77"));
    EXPECT_EQ(window->edtData->date(), QDate(2023, 4, 12));
}

TEST_F(MainWindowTest, TheSelectionAndTheDateAreTheCores) {
    start();
    window->rdData->click();
    onEngine([](TPrincipal& c) { EXPECT_EQ(c.commands().selection(), TCommands::Selection::Day); });
    window->edtData->setDate(QDate(2020, 6, 10));
    onEngine([](TPrincipal& c) { EXPECT_EQ(c.commands().day(), QDate(2020, 6, 10)); });
    window->rdPendente3->click();
    onEngine([](TPrincipal& c) { EXPECT_EQ(c.commands().selection(), TCommands::Selection::Pending3); });
    // The resend reading writes the day of a request into the field.
    onEngine([](TPrincipal& c) { c.commands().setDay(QDate(2023, 3, 15)); });
    EXPECT_EQ(window->edtData->date(), QDate(2023, 3, 15));
}

TEST_F(MainWindowTest, TheColumnShowsTheTaskAtWorkAndTheCommandsWaitingForIt) {
    start();
    window->restauraClick();
    uitest::settle();
    EXPECT_FALSE(window->lblTrabalho->isVisible());
    EXPECT_FALSE(window->barraTrabalho->isVisible());
    // A task at work that waits for the test: the window goes on answering.
    QSemaphore started;
    QSemaphore release;
    engine->post([&](TPrincipal& c) {
        c.scheduler().command(QStringLiteral("Envio de vendas"), [&] {
            started.release();
            release.acquire();
        });
    });
    started.acquire();
    uitest::settle();
    EXPECT_TRUE(window->barraTrabalho->isVisible());
    EXPECT_EQ(window->lblTrabalho->text(), QStringLiteral("Em andamento: Envio de vendas"));
    // Commands given now wait their turn, each once.
    window->btnEnviaFecha->click();
    window->btnGetReenvio->click();
    window->btnEnviaFecha->click();
    uitest::settle();
    EXPECT_EQ(window->lblTrabalho->text(),
              QStringLiteral("Em andamento: Envio de vendas\n"
                             "Aguardando: Enviar fechamento diário, Leitura de reenvio"));
    release.release();
    sync();
    EXPECT_FALSE(window->lblTrabalho->isVisible());
    EXPECT_FALSE(window->barraTrabalho->isVisible());
    EXPECT_TRUE(engine->queued().isEmpty());
}

TEST_F(MainWindowTest, OneNonModalBoxShowsTheLatestError) {
    start();
    EXPECT_EQ(window->errorBox(), nullptr);
    onEngine(
        [](TPrincipal& c) { c.errors().ShowError(QStringLiteral("Cannot connect to the database x.fdb")); });
    QMessageBox* box = window->errorBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->windowTitle(), TPrincipal::applicationTitle());
    EXPECT_EQ(box->text(), QStringLiteral("Cannot connect to the database x.fdb."));
    onEngine([](TPrincipal& c) { c.errors().ShowError(QStringLiteral("Segundo erro.")); });
    EXPECT_EQ(window->errorBox(), box);
    EXPECT_EQ(box->text(), QStringLiteral("Segundo erro."));
}

TEST_F(MainWindowTest, TheSettingsCommandShowsTheDialogThenAppliesTheSettings) {
    start();
    onEngine([](TPrincipal& c) { c.scheduler().gates().setPodePostVenda(0); });
    writeSettings({{QStringLiteral("IDLOCAL"), QStringLiteral("5")}});
    bool dialogShown = false;
    QTimer::singleShot(0, window.get(), [&] {
        dialogShown = window->frmConfig().isVisible() && window->frmConfig().isModal();
        window->frmConfig().btnsair->click();
    });
    window->btnConfig->click();
    EXPECT_TRUE(dialogShown);
    EXPECT_FALSE(window->frmConfig().isVisible());
    sync();
    EXPECT_EQ(engine->state().idLocal, QStringLiteral("5"));
    onEngine([](TPrincipal& c) {
        EXPECT_EQ(c.store().idLocal, QStringLiteral("5"));
        EXPECT_TRUE(c.scheduler().gates().podePostVenda());
    });
    EXPECT_TRUE(engine->state().timersRunning());
}

TEST_F(MainWindowTest, TheTestButtonShowsAndHidesTheTestPage) {
    start();
    window->restauraClick();
    window->btnguiaTesteClick();
    EXPECT_EQ(window->page->isVisible(), engine->state().testConsoleOffered); // only on the test workstation
    onEngine([](TPrincipal& c) { c.setTestConsoleOffered(true); });
    window->page->hide();
    window->btnguiaTesteClick();
    EXPECT_TRUE(window->page->isVisible());
    EXPECT_EQ(window->page->geometry(), QRect(190, 45, 803, 601));
    EXPECT_EQ(window->page->currentWidget(), window->page->tab3); // "Grades" in front
    window->btnguiaTesteClick();
    EXPECT_FALSE(window->page->isVisible());
    EXPECT_TRUE(window->GridList->isVisible());
}

TEST_F(MainWindowTest, EndingLeavesTheEventLoopAlthoughTheWindowRefusesToClose) {
    start();
    window->restauraClick();
    QTimer::singleShot(0, window.get(), [this] { window->sairClick(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(window->isVisible());
}

// The power button and the icon's "Sair do sistema" ask first; "Não" keeps the
// program running, "Sim" ends it.
struct EndCase {
    const char* name;
    bool fromMenu;
    QMessageBox::StandardButton answer;
    bool ends;
};

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.name;
}

class EndQuestionTest : public uitest::WindowTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(EndQuestionTest, AnsweringNoKeepsTheProgramAndYesEndsIt) {
    const EndCase& c = GetParam();
    start();
    window->restauraClick();
    uitest::settle();
    QString title, question, yes, no;
    QTimer::singleShot(0, window.get(), [&] {
        // Answers the question once it is open.
        QTimer::singleShot(0, window.get(), [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            question = box->text();
            yes = box->button(QMessageBox::Yes)->text();
            no = box->button(QMessageBox::No)->text();
            box->button(c.answer)->click();
        });
        if (c.fromMenu)
            window->tray().sair->trigger();
        else
            window->btnClose->click();
        // Reached by the next pass of the loop only when the answer did not end it.
        QTimer::singleShot(0, window.get(), [] { QCoreApplication::exit(7); });
    });
    EXPECT_EQ(QApplication::exec(), c.ends ? 0 : 7);
    EXPECT_EQ(title, TPrincipal::applicationTitle());
    EXPECT_EQ(question, QStringLiteral("Encerrar o sincronizador? As vendas deixam de ser enviadas até ele ser "
                                       "aberto de novo."));
    EXPECT_EQ(yes, QStringLiteral("Sim"));
    EXPECT_EQ(no, QStringLiteral("Não"));
    EXPECT_TRUE(window->isVisible());
    sync();
    EXPECT_TRUE(engine->state().timersRunning());
}

INSTANTIATE_TEST_SUITE_P(Answers, EndQuestionTest,
                         ::testing::Values(EndCase{"ButtonNo", false, QMessageBox::No, false},
                                           EndCase{"ButtonYes", false, QMessageBox::Yes, true},
                                           EndCase{"MenuNo", true, QMessageBox::No, false},
                                           EndCase{"MenuYes", true, QMessageBox::Yes, true}),
                         [](const ::testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

} // namespace
