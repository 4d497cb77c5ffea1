// Construction, start-up (FormCreate), the application of the settings
// (Habilita_inicial) and the activation of the main window (FormActivate).

#include "app/uPrincipal.h"

#include "api/HttpClient.h"
#include "api/RequestFrame.h"
#include "app/Journal.h"
#include "config/Settings.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "support/JsonTables.h"
#include "support/MemTable.h"
#include "support/Platform.h"
#include "support/frmFunczyr.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <exception>

TPrincipal::TPrincipal(QObject* parent) : QObject(parent) {
    frmConfig = std::make_unique<TConfig>();
    dtmApi = std::make_unique<TdtmApi>();
    createTables();
    IdHTTP = api::criaClienteGet();
    m_journal = std::make_unique<TJournal>([this] { return patLogErro; });

    // Both timers are created stopped; applying the settings starts them.
    timerGeral.setInterval(IntervaloInicial);
    timerPing.setInterval(IntervaloPing);
    connect(&timerGeral, &QTimer::timeout, this, &TPrincipal::timerGeralTimer);
    connect(&timerPing, &QTimer::timeout, this, &TPrincipal::timerPingTimer);
}

TPrincipal::~TPrincipal() = default;

void TPrincipal::createTables() {
    tblList = new TMemTable(QStringLiteral("tblList"),
                            {{QStringLiteral("Operacao"), FieldType::Text, 40},
                             {QStringLiteral("Data"), FieldType::Date, 0},
                             {QStringLiteral("Hora"), FieldType::Time, 0},
                             {QStringLiteral("Mensagem"), FieldType::Text, 100}},
                            this);
    tblJson1 = newTblJson1(this);
    tblJson2 = newTblJson2(this);
    tblJson3 = newTblJson3(this);
    tblJson4 = newTblJson4(this);
    tblJson5 = newTblJson5(this);
}

QString TPrincipal::TituloAplicacao() {
    QString name = QCoreApplication::instance()
                       ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                       : QStringLiteral("korvanta-sync");
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0) name.truncate(dot);
    if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
    return name.left(127);
}

void TPrincipal::FormCreate() {
    // The icon and its registration with the shell belong to the window (app/gui).
    qualUrlColeta = 1;
    Habilita_inicial();

    // The month's log folder, one level at a time; a level that exists already
    // or cannot be made passes silently (writes into it fail where they happen).
    // A level made here is for the owner alone: the error files hold customers'
    // document numbers.
    const QDate hoje = appClock().now().date();
    const QChar sep = QDir::separator();
    QString pasta = Funcoes_da_ZYR::Path_Do_Executavel() + QStringLiteral("Korvanta") + sep;
    platform::makePrivateFolder(pasta);
    pasta += QStringLiteral("log") + sep;
    platform::makePrivateFolder(pasta);
    pasta += QStringLiteral("Ano%1_%2")
                 .arg(Funcoes_da_ZYR::NumeroMes(hoje, QStringLiteral("ANO")))
                 .arg(Funcoes_da_ZYR::NumeroMes(hoje, QStringLiteral("MES"))) +
             sep;
    platform::makePrivateFolder(pasta);
    patLogErro = pasta;

    // Every task is due at the first tick.
    uPostVenda = 0;
    uPostFecha = 0;
    uGetPromo = 0;
    uGetReenvio = 0;

    btnguiaTesteVisible = Funcoes_da_ZYR::Nome_do_pc() == QLatin1String(EstacaoDeTeste);

    versaoPdv = QString::fromLatin1(api::kVersao);
    VersaoRetaguarda = QString::fromLatin1(api::kVersao);
    emit stateChanged();
}

void TPrincipal::Habilita_inicial() {
    // An error in steps 1 to 8 leaves the rest of them undone; the timers, the
    // gates and the log are still brought up so that the synchroniser goes on.
    std::exception_ptr falha;
    try {
        habilTimer(0);
        frmConfig->LoadConfig();
        dtmApi->setPathBancoDolvex(frmConfig->values().pathBDDolvex);
        edtidEmpresa = frmConfig->values().idEmpresa;
        edtidLocal = frmConfig->values().idLocal;
        edtUsuario = frmConfig->values().usuario;
        edtSenha = frmConfig->values().senha;
        URL_BASE = frmConfig->values().urlBase;
        chkgetPromo = frmConfig->values().buscaPromocoes;
        chkpostVendas = frmConfig->values().postaVendas;
        chkCodEmpDolvex = frmConfig->values().usaCodEmpDolvex;
        codEmpDolvex = frmConfig->values().codEmpDolvex.text();
        Caption = QStringLiteral("API de comunicação - Korvanta - Versão 2020.1104");
        if (chkCodEmpDolvex)
            Caption += QStringLiteral(" - ( ") + frmConfig->values().apelidoEmp + QStringLiteral(" )");
        coleta_Url_Base();
    } catch (...) {
        falha = std::current_exception();
    }
    habilTimer(1);
    podeGetPromo = 1;
    podePostVenda = 1;
    tblList->Open();
    emit stateChanged();
    if (falha) runGuarded([&falha] { std::rethrow_exception(falha); });
}

void TPrincipal::FormActivate() {
    // Inside the message pass of a task the settings wait for the work's end:
    // opening the gates there would let a second run start beside the first.
    if (busy()) {
        m_ativarPendente = true;
        return;
    }
    Habilita_inicial();
    edtData = appClock().now().date();
    emit stateChanged();
    emit settingsApplied();
}

TPrincipal::Trabalho::~Trabalho() {
    if (--m_p.m_emTrabalho > 0 || !m_p.m_ativarPendente) return;
    m_p.m_ativarPendente = false;
    try {
        m_p.FormActivate();
    } catch (...) {
        // FormActivate shows its own errors; nothing may leave a destructor.
    }
}
