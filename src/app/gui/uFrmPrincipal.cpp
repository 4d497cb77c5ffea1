#include "app/gui/uFrmPrincipal.h"

#include "app/ActivityLog.h"
#include "app/Commands.h"
#include "app/ErrorDisplay.h"
#include "app/Scheduler.h"
#include "app/gui/AppIcon.h"
#include "app/gui/LogTooltips.h"
#include "app/gui/ScreenFit.h"
#include "app/gui/SupportStrip.h"
#include "app/gui/TrayIcon.h"
#include "app/uPrincipal.h"
#include "config/gui/uFrmConfig.h"
#include "support/Clock.h"
#include "support/MemTable.h"
#include "sync/Diagnostico.h"
#include "ui/GridBinding.h"
#include "ui/uPaginaTeste.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

namespace {
// The client area is laid out as the window was designed: the command column on
// the left, the log grid from (190, 45) to 20 pixels from the right edge and 29
// from the bottom, so the test page (803 x 601 at the same place) covers it.
constexpr int LarguraColuna = 182;
constexpr QPoint OrigemGrade(190, 45);
constexpr int MargemDireita = 20;
constexpr int MargemInferior = 29;
constexpr QSize TamanhoPagina(803, 601);

const QString PerguntaSaida = QStringLiteral(
    "Encerrar o sincronizador? As vendas deixam de ser enviadas até ele ser aberto de novo.");
} // namespace

TfrmPrincipal::TfrmPrincipal(TEngine& engine, QWidget* parent) : QMainWindow(parent), m_engine(engine) {
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(engine.state().caption.isEmpty()
                       ? QStringLiteral("API de comunicação - Korvanta - Versão 2020.1104")
                       : engine.state().caption);
    // The client area as designed above, the support strip below it.
    auto* janela = new QWidget(this);
    setCentralWidget(janela);
    auto* central = new QWidget(janela);
    central->setObjectName(QStringLiteral("areaCliente"));
    m_area = central;
    faixaSuporte = new TSupportStrip(engine, janela);
    faixaSuporte->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* pilha = new QVBoxLayout(janela);
    pilha->setContentsMargins(0, 0, 0, 0);
    pilha->setSpacing(0);
    pilha->addWidget(central, 1);
    pilha->addWidget(faixaSuporte);

    // ---- The command column ------------------------------------------------------
    const auto botao = [central](const char* name, const QString& text) {
        auto* b = new QPushButton(text, central);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    const auto radio = [central](const char* name, const QString& text) {
        auto* r = new QRadioButton(text, central);
        r->setObjectName(QString::fromLatin1(name));
        return r;
    };
    btnClose = new QToolButton(central);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setIcon(sairIcon());
    btnClose->setToolTip(QStringLiteral("Fecha sincronizador"));
    btnClose->setIconSize(QSize(24, 24));
    btnConfig = new QToolButton(central);
    btnConfig->setObjectName(QStringLiteral("btnConfig"));
    btnConfig->setIcon(configIcon());
    btnConfig->setToolTip(QStringLiteral("Configurações"));
    btnConfig->setIconSize(QSize(24, 24));
    btnguiaTeste = botao("btnguiaTeste", QStringLiteral("Guia de testes"));
    btnGetReenvio = botao("btnGetReenvio", QStringLiteral("Leitura de reenvio"));
    btnCopia = botao("btnCopia", QStringLiteral("Leitura de promoções"));
    rdPendente1 = radio("rdPendente1", QStringLiteral("Vendas / fecha pendente - 1"));
    rdPendente3 = radio("rdPendente3", QStringLiteral("Vendas / fecha pendente - 3"));
    rdData = radio("rdData", QStringLiteral("Vendas / fechamento por data:"));
    selecao = new QButtonGroup(this);
    selecao->addButton(rdPendente1, static_cast<int>(TCommands::Selection::Pending1));
    selecao->addButton(rdPendente3, static_cast<int>(TCommands::Selection::Pending3));
    selecao->addButton(rdData, static_cast<int>(TCommands::Selection::Day));
    rdPendente1->setChecked(true);
    edtData = new QDateEdit(central);
    edtData->setObjectName(QStringLiteral("edtData"));
    edtData->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    edtData->setCalendarPopup(true);
    // Today until the engine tells its day (each activation sets it to today
    // once the work at hand has ended).
    edtData->setDate(appClock().now().date());
    btnEnvia = botao("btnEnvia", QStringLiteral("Enviar vendas"));
    btnEnviaFecha = botao("btnEnviaFecha", QStringLiteral("Enviar fechamento diário"));
    lblTrabalho = new QLabel(central);
    lblTrabalho->setObjectName(QStringLiteral("lblTrabalho"));
    lblTrabalho->setWordWrap(true);
    barraTrabalho = new QProgressBar(central);
    barraTrabalho->setObjectName(QStringLiteral("barraTrabalho"));
    barraTrabalho->setRange(0, 0); // no end known: it only moves
    barraTrabalho->setTextVisible(false);
    barraTrabalho->setMaximumHeight(8);

    auto* topo = new QHBoxLayout;
    topo->addWidget(btnClose);
    topo->addWidget(btnConfig);
    topo->addWidget(btnguiaTeste, 1);
    topo->addStretch();
    auto* coluna = new QVBoxLayout;
    coluna->setContentsMargins(0, 0, 0, 0);
    coluna->addLayout(topo);
    coluna->addSpacing(16);
    coluna->addWidget(btnGetReenvio);
    coluna->addWidget(btnCopia);
    coluna->addSpacing(16);
    coluna->addWidget(rdPendente1);
    coluna->addWidget(rdPendente3);
    coluna->addWidget(rdData);
    coluna->addWidget(edtData);
    coluna->addSpacing(8);
    coluna->addWidget(btnEnvia);
    coluna->addWidget(btnEnviaFecha);
    coluna->addSpacing(16);
    coluna->addWidget(barraTrabalho);
    coluna->addWidget(lblTrabalho);
    coluna->addStretch();
    auto* colunaWidget = new QWidget(central);
    colunaWidget->setLayout(coluna);
    colunaWidget->setObjectName(QStringLiteral("colunaComandos"));
    // The captions must fit the column: where the workstation's font is wider
    // than the one the column was designed for, the column's font is made smaller.
    QFont fonte = colunaWidget->font();
    const auto cabe = [&fonte] {
        const QFontMetrics fm(fonte);
        return fm.horizontalAdvance(QStringLiteral("Vendas / fechamento por data:")) + 26 <= LarguraColuna;
    };
    while (!cabe() && fonte.pointSizeF() > 6)
        fonte.setPointSizeF(fonte.pointSizeF() - 0.5);
    colunaWidget->setFont(fonte);
    m_coluna = colunaWidget;

    // ---- The activity log ----------------------------------------------------------
    GridList = new QTableView(central);
    GridList->setObjectName(QStringLiteral("GridList"));
    new TGridLink(GridList, &engine.log().table());
    GridList->verticalHeader()->hide();
    GridList->setColumnWidth(0, 290);
    GridList->setColumnWidth(1, 80);
    GridList->setColumnWidth(2, 70);
    GridList->horizontalHeader()->setStretchLastSection(true);
    new TLogTooltips(engine.log(), GridList);

    // ---- The test console, hidden, over the log when shown ----------------------------
    page = new TPaginaTeste(engine.diagnostics(), central);
    page->hide();

    m_frmConfig = new TfrmConfig(m_config, this);

    m_area->installEventFilter(this);
    setMinimumSize(TamanhoMinimo);
    ajustaNaTela(true);

    // ---- Wiring -----------------------------------------------------------------------
    connect(btnClose, &QToolButton::clicked, this, &TfrmPrincipal::btnCloseClick);
    connect(btnConfig, &QToolButton::clicked, this, &TfrmPrincipal::btnConfigClick);
    connect(btnguiaTeste, &QPushButton::clicked, this, &TfrmPrincipal::btnguiaTesteClick);
    ligaComando(btnGetReenvio, &TCommands::readResendRequests);
    ligaComando(btnCopia, &TCommands::fetchPromotions);
    ligaComando(btnEnvia, &TCommands::sendSales);
    ligaComando(btnEnviaFecha, &TCommands::sendClosing);
    connect(selecao, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked) return;
        const auto selection = static_cast<TCommands::Selection>(id);
        m_engine.post([selection](TPrincipal& c) { c.commands().setSelection(selection); });
    });
    connect(edtData, &QDateEdit::dateChanged, this,
            [this](QDate date) { m_engine.post([date](TPrincipal& c) { c.commands().setDay(date); }); });
    connect(&engine, &TEngine::stateChanged, this, &TfrmPrincipal::atualiza);
    // The test console's commands and refreshes.
    ligaComando(page->btnGetPromocoes, &TCommands::testPromotions);
    connect(page->Button2, &QPushButton::clicked, this,
            [this] { detalhe(&TCommands::showPromotionDetails); });
    connect(page->Button3, &QPushButton::clicked, this, [this] { detalhe(&TCommands::showConditions); });
    connect(page->Button4, &QPushButton::clicked, this, [this] { detalhe(&TCommands::showBenefits); });
    connect(page->Button8, &QPushButton::clicked, this, [this] { detalhe(&TCommands::showGroupArticles); });
    // The console's texts can be megabytes (a promotions document): laid out
    // only while the console is shown, and when it is shown.
    connect(&engine, &TEngine::diagnosticsChanged, page, [this] {
        if (page->isVisible()) page->atualiza();
    });
    connect(&engine, &TEngine::errorRaised, this, &TfrmPrincipal::mostraErro);
    connect(&engine, &TEngine::noticeRaised, this, &TfrmPrincipal::mostraErro);
    connect(m_frmConfig, &TfrmConfig::saveFailed, this, [this](const QString& text) {
        m_engine.post([text](TPrincipal& c) { c.errors().ShowError(text); });
    });
    atualiza();
}

TfrmPrincipal::~TfrmPrincipal() = default;

void TfrmPrincipal::FormCreate() {
    const QIcon icon = korvantaIcon();
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
    m_tray = std::make_unique<TTrayIcon>(icon, TPrincipal::applicationTitle());
    connect(m_tray.get(), &TTrayIcon::restoreRequested, this, &TfrmPrincipal::restauraClick);
    connect(m_tray.get(), &TTrayIcon::quitRequested, this, &TfrmPrincipal::btnCloseClick);
    connect(m_tray.get(), &TTrayIcon::unavailable, this, &TfrmPrincipal::semBandeja);
    m_tray->start();
    // The window stays hidden; the program works from its timers.
    m_engine.post([](TPrincipal& c) { c.FormCreate(); });
    atualiza();
}

void TfrmPrincipal::FormActivate() {
    m_engine.post([](TPrincipal& c) { c.FormActivate(); });
}

void TfrmPrincipal::atualiza() {
    const EngineState& estado = m_engine.state();
    if (!estado.caption.isEmpty()) setWindowTitle(estado.caption);
    btnguiaTeste->setVisible(estado.testConsoleOffered);
    if (estado.day.isValid() && edtData->date() != estado.day) {
        const QSignalBlocker block(edtData);
        edtData->setDate(estado.day);
    }
    if (QAbstractButton* escolhido = selecao->button(static_cast<int>(estado.selection));
        !escolhido->isChecked()) {
        const QSignalBlocker block(selecao);
        escolhido->setChecked(true);
    }
    // The work at hand, and what waits for it.
    QStringList linhas;
    if (!estado.task.isEmpty()) linhas << QStringLiteral("Em andamento: ") + estado.task;
    if (!m_engine.queued().isEmpty())
        linhas << QStringLiteral("Aguardando: ") + m_engine.queued().join(QStringLiteral(", "));
    lblTrabalho->setText(linhas.join(u'\n'));
    lblTrabalho->setVisible(!linhas.isEmpty());
    barraTrabalho->setVisible(!estado.task.isEmpty());
    page->setIdentidade({estado.idEmpresa, estado.idLocal, estado.user, estado.password});
}

void TfrmPrincipal::ligaComando(QAbstractButton* botao, Comando comando) {
    // Given to the engine under the button's caption, it waits there for the
    // work at hand (once; the column says what waits).
    connect(botao, &QAbstractButton::clicked, this, [this, botao, comando] {
        m_engine.command(botao->text(), [comando](TPrincipal& c) { (c.commands().*comando)(); });
    });
}

void TfrmPrincipal::detalhe(Comando mostra) {
    // The engine's tables take the rows the tester picked in the grids, then
    // open the level below; the grids get the result back with the diagnostics.
    const TDiagnostico& d = m_engine.diagnostics();
    const int promocao = d.promocoes().currentRow();
    const int detalhe = d.detalhes().currentRow();
    const int grupo = d.grupos().currentRow();
    m_engine.post([mostra, promocao, detalhe, grupo](TPrincipal& c) {
        const TDiagnostico& e = c.diagnostics();
        for (const auto& [tabela, linha] :
             {std::pair{&e.promocoes(), promocao}, {&e.detalhes(), detalhe}, {&e.grupos(), grupo}})
            if (tabela->Active() && linha >= 0 && linha < tabela->RecordCount()) tabela->SetRecNo(linha + 1);
        (c.commands().*mostra)();
    });
}

bool TfrmPrincipal::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_area && event->type() == QEvent::Resize) dispoe();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmPrincipal::dispoe() {
    const QSize area = m_area->size();
    m_coluna->setGeometry(4, 8, LarguraColuna, area.height() - 16);
    GridList->setGeometry(OrigemGrade.x(), OrigemGrade.y(),
                          std::max(100, area.width() - OrigemGrade.x() - MargemDireita),
                          std::max(100, area.height() - OrigemGrade.y() - MargemInferior));
    // The test page keeps its size where the area holds it, and is cut to the area otherwise.
    page->setGeometry(QRect(OrigemGrade, TamanhoPagina.boundedTo(QSize(area.width() - OrigemGrade.x(),
                                                                        area.height() - OrigemGrade.y()))));
}

QSize TfrmPrincipal::designedSize() const {
    return {TamanhoArea.width(), TamanhoArea.height() + faixaSuporte->sizeHint().height()};
}

void TfrmPrincipal::ajustaNaTela(bool sempre) {
    const QScreen* tela = screen();
    if (!tela) return;
    const QRect livre = tela->availableGeometry();
    // The frame is known once the window has been shown; before that it counts as none.
    const QRect moldura = frameGeometry();
    const QRect cliente = geometry();
    if (!sempre && livre.contains(moldura)) return;
    const QMargins margens(cliente.left() - moldura.left(), cliente.top() - moldura.top(),
                           moldura.right() - cliente.right(), moldura.bottom() - cliente.bottom());
    setGeometry(fitOnScreen(designedSize(), minimumSize(), livre, margens));
}

void TfrmPrincipal::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window system's frame (title bar, borders) is known once the window is
    // shown; a window that does not fit with it is fitted again.
    QTimer::singleShot(0, this, [this] { ajustaNaTela(false); });
}

void TfrmPrincipal::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmPrincipal::closeEvent(QCloseEvent* event) {
    // Closing only hides the window (or, without an icon to come back through,
    // minimises it); the program goes on working.
    event->ignore();
    if (m_semBandeja)
        showMinimized();
    else
        hide();
}

void TfrmPrincipal::semBandeja() {
    m_semBandeja = true;
    std::fputs("korvanta-sync: no system tray is available; the window stays on the taskbar\n", stderr);
    std::fflush(stderr);
    if (!isVisible()) {
        ajustaNaTela(false);
        showMinimized();
    }
}

void TfrmPrincipal::restauraClick() {
    if (!isVisible()) ajustaNaTela(false);
    showNormal();
    raise();
    activateWindow();
}

void TfrmPrincipal::sairClick() {
    // exit() leaves the event loop without asking the (hidden) windows to close;
    // the engine is stopped after the loop (runGui).
    QCoreApplication::exit(0);
}

bool TfrmPrincipal::btnCloseClick() {
    // One question at a time: the button and the icon's menu lead to the same one.
    if (m_pergunta) {
        m_pergunta->raise();
        m_pergunta->activateWindow();
        return false;
    }
    QMessageBox pergunta(QMessageBox::Question, TPrincipal::applicationTitle(), PerguntaSaida,
                         QMessageBox::Yes | QMessageBox::No, this);
    pergunta.setObjectName(QStringLiteral("perguntaSaida"));
    pergunta.button(QMessageBox::Yes)->setText(QStringLiteral("Sim"));
    pergunta.button(QMessageBox::No)->setText(QStringLiteral("Não"));
    pergunta.setDefaultButton(QMessageBox::No);
    pergunta.setEscapeButton(QMessageBox::No);
    m_pergunta = &pergunta;
    const bool encerra = pergunta.exec() == QMessageBox::Yes;
    m_pergunta = nullptr;
    if (!encerra) return false;
    sairClick();
    return true;
}

void TfrmPrincipal::btnConfigClick() {
    // The timers stop once the work at hand has ended; the next tick waits for the dialog.
    m_engine.post([](TPrincipal& c) { c.scheduler().habilTimer(0); });
    m_frmConfig->exec();
    m_engine.post([](TPrincipal& c) {
        c.FormActivate();
        c.scheduler().habilTimer(1);
    });
}

void TfrmPrincipal::btnguiaTesteClick() {
    if (!m_engine.state().testConsoleOffered) return;
    if (page->isVisible()) {
        page->hide();
        return;
    }
    dispoe();
    page->show();
    page->raise();
}

void TfrmPrincipal::mostraErro(const QString& text) {
    // One non-modal box that shows the latest error: an unattended workstation
    // never waits for a click, and errors do not pile up.
    if (!m_errorBox) {
        m_errorBox = new QMessageBox(QMessageBox::Critical, TPrincipal::applicationTitle(), QString(),
                                     QMessageBox::Ok, this);
        m_errorBox->setObjectName(QStringLiteral("errorBox"));
        m_errorBox->setWindowModality(Qt::NonModal);
        m_errorBox->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    m_errorBox->setText(text);
    m_errorBox->show();
}
