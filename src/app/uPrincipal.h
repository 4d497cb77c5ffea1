#pragma once
// TPrincipal: the synchroniser's non-visual core. It owns every task as an
// operation and all task state: the gates, the countdowns, the copies of the
// settings, the request frame's fields, the memory tables and the working and
// diagnostic texts. The main window (app/gui) shows and drives it; the headless
// modes use it alone. Everything runs on the one thread of the Qt event loop.
//
// The operations are implemented in several files, one concern each:
//   app/uPrincipal.cpp          construction, FormCreate, Habilita_inicial, FormActivate
//   app/Scheduler.cpp           habilTimer, timerGeralTimer, timerPingTimer
//   app/ActivityLog.cpp         addList (and the journal on disk, app/Journal.cpp)
//   app/Commands.cpp            the operator's commands (btn...Click)
//   app/ErrorDisplay.cpp        the general error display
//   app/Principal_frame.cpp     Autentica, config_ftp_json, coleta_Url_Base, trata_erro_url
//   sync/PostVendas.cpp         PostVendas, retornoPost
//   sync/DocVenda.cpp           gera_json_venda, gera_json_Forma_pgto
//   sync/DocVendaDelete.cpp     gera_json_venda_delete
//   sync/Fechamento.cpp         Envia_fechamento_dia_anterior, executaFechamento
//   sync/GetPromocoes.cpp       GetPromocoes
//   sync/TrataLeituraJson.cpp   Trata_leitura_Json and its inner steps
//   sync/Reenvio.cpp            GetReenvio_Vendas, GetReenvio_Fecha
//   app/TestConsole.cpp         Button2Click, Button3Click, Button4Click, Button8Click
//                               (the console's widgets are in ui/)

#include "erp/SqlStatement.h"
#include "sync/ClosingTotals.h"
#include "support/Memo.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class TConfig;
class TdtmApi;
class THttpClient;
class TJournal;
class TMemTable;

class TPrincipal : public QObject {
    Q_OBJECT

public:
    explicit TPrincipal(QObject* parent = nullptr);
    ~TPrincipal() override;

    // ---- Objects alive for the whole run -------------------------------------
    std::unique_ptr<TConfig> frmConfig; // the settings (live store)
    std::unique_ptr<TdtmApi> dtmApi;    // the ERP session and its queries

    // ---- Start-up and the application of the settings -------------------------
    void FormCreate();       // start-up steps: settings, log folder, countdowns, versions
    void Habilita_inicial(); // applies the settings
    void FormActivate();     // applies the settings, then edtData = today
    // The workstation on which the test console's button shows (compared exactly).
    static constexpr const char* EstacaoDeTeste = "KORVANTA-TESTE";
    // The application's title: the executable's name without its folder and
    // without everything from its first "." on, every letter after the first in
    // lower case (the icon's tip and the error box's title).
    [[nodiscard]] static QString TituloAplicacao();

    // ---- Scheduler ------------------------------------------------------------
    QTimer timerGeral; // the general tick: 10 s at creation, 30 s after every tick
    QTimer timerPing;  // the ping handshake, 20 s
    void habilTimer(int Value); // 0 stops both timers, 1 starts them
    void timerGeralTimer();
    void timerPingTimer();
    // Intervals in milliseconds as the program uses them.
    static constexpr int IntervaloInicial = 10000; // timerGeral at creation
    static constexpr int IntervaloGeral = 30000;   // timerGeral after every tick
    static constexpr int IntervaloPing = 20000;    // timerPing
    // The interval timerGeral runs on, as the program sees it (10000 or 30000).
    [[nodiscard]] int timerGeralInterval() const { return m_intervaloGeral; }
    // Tests shrink the real timer intervals by this factor (1 in the program).
    static void setTimerScale(double factor);
    [[nodiscard]] static double timerScale();
    // Countdowns: when each task is next due, on the clock of clockSeconds().
    qint64 uPostVenda = 0;
    qint64 uPostFecha = 0;
    qint64 uGetPromo = 0;
    qint64 uGetReenvio = 0;
    // Gates (1 = open).
    quint8 podePostVenda = 0;
    quint8 podeGetPromo = 0;

    // ---- Activity log ---------------------------------------------------------
    TMemTable* tblList = nullptr; // Operacao, Data, Hora, Mensagem
    // Adds a row to tblList and appends it, texts whole, to the day's journal
    // file in patLogErro. Never throws; a journal that cannot be written is
    // shown once on the error display (and again only after it worked in between).
    void addList(const QString& OperIn, const QString& MensagemIn);

    // ---- Copies of the settings and the store's identity ----------------------
    bool chkCodEmpDolvex = false;
    bool chkgetPromo = false;
    bool chkpostVendas = false;
    QString codEmpDolvex;
    QString edtidEmpresa;
    QString edtidLocal;
    QString edtUsuario;
    QString edtSenha;
    QString Caption; // the main window's caption
    QString patLogErro; // the month's log folder, ending with the separator
    bool btnguiaTesteVisible = false; // the test console's button, on one workstation only

    // ---- Request frame --------------------------------------------------------
    QString URL_BASE;
    int qualUrlColeta = 1;
    QString Query;
    int codigoErro = 0;
    std::unique_ptr<THttpClient> IdHTTP_Temp; // exists only around one POST
    std::unique_ptr<THttpClient> IdHTTP;      // the long-lived GET client
    QString versaoPdv;
    QString VersaoRetaguarda;
    [[nodiscard]] QString Autentica(const QString& pUsuario, const QString& pSenha) const;
    void config_ftp_json();
    void coleta_Url_Base();
    void trata_erro_url(int erroIn);

    // ---- Operator's ticket selection ------------------------------------------
    enum class Selecao { Pendente1, Pendente3, Data };
    Selecao selecao = Selecao::Pendente1; // rdPendente1 / rdPendente3 / rdData
    QDate edtData;                        // the day for rdData

    // ---- Operator commands ----------------------------------------------------
    void btnGetReenvioClick();
    void btnCopiaClick();
    void btnGetPromocoesClick();
    void btnEnviaClick();
    void btnEnviaFechaClick();

    // ---- Sales upload ---------------------------------------------------------
    void PostVendas(const QString& qualVenda, const QString& nCaixaIn);
    [[nodiscard]] bool retornoPost(const QString& OqueFoi);
    void gera_json_venda();
    void gera_json_Forma_pgto(const QString& strformasIn, double vlrTrocoIn);
    void gera_json_venda_delete(const QString& strOper);

    // ---- Daily closing --------------------------------------------------------
    void Envia_fechamento_dia_anterior(const QString& qualData, const QString& qualCx);

    // ---- Promotions -----------------------------------------------------------
    void GetPromocoes();
    void Trata_leitura_Json();

    // ---- Resend requests ------------------------------------------------------
    void GetReenvio_Vendas();
    void GetReenvio_Fecha();

    // ---- Test console texts and tables ----------------------------------------
    TMemo mmoRequest;    // the last movement document built
    TMemo mmoErro;       // the last examined reply or closing document
    TMemo mmoResult;     // the last GET reply or failure message
    TMemo memoItem;      // detail text / cancelled-ticket lines
    TMemo memoformasTmp; // the last payment-forms text
    TMemTable* tblJson1 = nullptr;
    TMemTable* tblJson2 = nullptr;
    TMemTable* tblJson3 = nullptr;
    TMemTable* tblJson4 = nullptr;
    TMemTable* tblJson5 = nullptr;
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button8Click();

    // ---- General error display ------------------------------------------------
    // Shows an error that no task handled (the "." rule applied) and logs it.
    void ShowError(const QString& text);
    // The text as the error display shows it: "." appended unless it already
    // ends in a character of code 46 or below.
    [[nodiscard]] static QString TextoDoErro(const QString& text);
    // Runs the work of one window event (tick, command, click, application of the
    // settings); an error that no task handles is shown by ShowError. False then.
    bool runGuarded(const std::function<void()>& work);
    // True while a tick or a command is at work. Ticks and commands that arrive
    // then (from the message pass of the sales upload) return at once, and an
    // application of the settings waits until the work has ended.
    [[nodiscard]] bool busy() const { return m_emTrabalho > 0; }

signals:
    void errorRaised(const QString& text); // the window or the headless mode shows it
    // Shown as an error is, but no work failed: a journal that cannot be written.
    void noticeRaised(const QString& text);
    void rowAdded();                        // a row was added to the activity log
    // The row just added, with its texts whole (the table keeps them cut).
    void rowLogged(const QDateTime& when, const QString& operacao, const QString& mensagem);
    void stateChanged();                    // texts, caption or dates changed
    void tickFinished();                    // a general tick has ended (also after an error)
    void settingsApplied();                 // FormActivate has applied the settings

private:
    // ---- Shell (app/) ----------------------------------------------------------
    int m_intervaloGeral = IntervaloInicial;
    int m_emTrabalho = 0;          // depth of the tick or command at work
    bool m_ativarPendente = false; // an application of the settings waits for the work's end
    void setTimerGeralInterval(int ms);
    // The activity journal: every log row on disk, whole (app/Journal.h).
    std::unique_ptr<TJournal> m_journal;
    // Adds one row to tblList and tells it (rowLogged, rowAdded); addList also journals it.
    void mostraLinha(const QDateTime& when, const QString& operacao, const QString& mensagem);
    // Marks a tick or command at work; at the outermost end runs a waiting FormActivate.
    class Trabalho {
    public:
        explicit Trabalho(TPrincipal& p) : m_p(p) { ++m_p.m_emTrabalho; }
        ~Trabalho();
        Trabalho(const Trabalho&) = delete;
        Trabalho& operator=(const Trabalho&) = delete;

    private:
        TPrincipal& m_p;
    };
    // The end of a tick or command whose work failed: the timers start again and
    // the gates open, so the next due task runs.
    void retomaAposErro();
    // An operator command: stops both timers, runs the work, starts them again.
    void comando(const std::function<void()>& work);
    void createTables();

    // ---- Working values of the sales upload and the documents -----------------
    SqlWhere strCondicaoTeste;
    int contaNro_de_Envios = 0;
    int codigoSinc = 0;
    QString errodaAPi;
    QByteArray JsonStreamEnvio;
    QByteArray JsonStreamRetorno;
    QString addVirgula;
    double soma_os_descontos = 0;
    double subTotal = 0;
    double vlrUnitCalculado = 0;
    // The texts of the log rows of one post: accepted, a 2xx other than 200 and
    // 208, and a failure (a protocol failure, or no reply at all).
    struct TextosDoPost {
        QString aceito;
        QString erroApi;
        QString falha;
    };
    // A post or a closing got no reply: nothing more is posted in this run.
    bool servicoFora = false;
    void umaVenda();        // one sale post for the current row of qryCupom
    void umCancelamento();  // both posts of the current row of qryCupomDelete
    // Posts mmoRequest to URL_BASE + Query and sets codigoSinc (0, 2 or 3).
    void postaMovimento(const QString& OqueFoi, const QString& chave, const TextosDoPost& textos);
    // mmoErro saved as patLogErro + OqueFoi + ".txt"; a failure is logged.
    void gravaArquivoErro(const QString& OqueFoi);
    // SalvaUltFecha; a failure to store it is logged, the run goes on.
    void guardaUltFecha(const QString& DataIn);
    // Writes a flag on the current row and commits; a failed commit is an error.
    void gravaFlag(const QString& tabela, const SqlWhere& condicao, const QString& campo);
    // Gates open again and the session closed, whatever the run met.
    void encerraPostVendas() noexcept;
    // ---- Daily closing --------------------------------------------------------
    // Posts the closing of each register of the day qualData.
    void executaFechamento(const std::vector<fechamento::TotaisDoCaixa>& caixas);
    void postaFechamento();
    QString qualData;         // the day being closed, DD/MM/AAAA
    QString qualCx;           // register restriction, empty for all
    QString nCxtmp;           // the register being closed
    double somaVenda = 0;
    double contaVenda = 0;
    double somaCancel = 0;
    double contaCancel = 0;
    bool fechamentoPendente = false; // pending mode: each accepted day is stored
    // ---- Promotion import -----------------------------------------------------
    void Sinc_desconto(const SqlWhere& condicaoIn, const QStringList& MatIn);
    void Sinc_Itens(const SqlWhere& condicaoIn, const QStringList& MatIn);
    void Ler_condicao_beneficio(const QString& OqueLerin);
    void grava_condicao_beneficio(const QString& OqueLerin);
    // True from a fetch that left the promotions document in mmoResult until the
    // import takes it; a failed or skipped fetch leaves nothing to import.
    bool m_documentoPromocoes = false;
    QString strIdSinc;       // the import run's stamp (seconds of the day)
    QString StrTipoPromocao; // the kind of the promotion being written
    // Writes the result memo's text to "ult_get_promo.txt" in the log folder;
    // a failure is logged, not raised.
    void gravaUltGetPromo();
    // Switches off the active promotions whose period does not hold the present moment.
    void desativaForaDoPeriodo();
    // ---- Resend requests ------------------------------------------------------
    // The common steps of GetReenvio_Vendas and GetReenvio_Fecha: the GET of
    // `caminho`, the "Ok" row with `operacao`, the list into tblJson5, and
    // `honra`(day text DD/MM/YYYY, register) for each valid request.
    void leReenvio(const QString& caminho, const QString& operacao,
                   const std::function<void(const QString&, const QString&)>& honra);
};
