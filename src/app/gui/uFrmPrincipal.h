#pragma once
// TfrmPrincipal: the main window. It shows and drives the engine (TEngine), which
// runs the core on a thread of its own, so the window never waits for a task:
// the commands in the left column (queued behind the work at hand, which the
// column shows with the task's name), the activity log in GridList, the test console
// page (reached through btnguiaTeste on the test workstation only), the
// notification icon, the error box and, at the bottom, the support strip. It
// starts hidden; closing it hides it; every activation applies the settings
// anew (FormActivate). Where there is no system tray (after the icon's last
// attempt) the window shows itself minimised and closing it minimises it: the
// program is never left running without a face.
//
// The client area above the strip keeps its designed size, 1013 x 675, on a
// screen that holds it; on a smaller one the window shrinks to the screen's free
// area (not below 640 x 400) and is centred there.

#include "app/Engine.h"
#include "config/Settings.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <memory>

class TfrmConfig;
class TPaginaTeste;
class TSupportStrip;
class TTrayIcon;

class TfrmPrincipal : public QMainWindow {
    Q_OBJECT

  public:
    explicit TfrmPrincipal(TEngine& engine, QWidget* parent = nullptr);
    ~TfrmPrincipal() override;

    // Start-up: the icon, the notification icon, then the core's start-up (queued).
    void FormCreate();
    void FormActivate();
    void restauraClick();
    // Ends the program without asking (the end a session or service manager asks for).
    void sairClick();
    // The power button and the icon's "Sair do sistema": asks the operator first;
    // true when the operator confirmed and the program is ending.
    bool btnCloseClick();
    void btnConfigClick();
    void btnguiaTesteClick();

    [[nodiscard]] TEngine& engine() { return m_engine; }
    [[nodiscard]] TTrayIcon& tray() { return *m_tray; }
    [[nodiscard]] TfrmConfig& frmConfig() { return *m_frmConfig; }
    // The error box (one, non-modal, showing the latest error); null until the first error.
    [[nodiscard]] QMessageBox* errorBox() const { return m_errorBox; }
    // The area above the support strip, where the commands, the log and the test page are.
    [[nodiscard]] QWidget* clientArea() const { return m_area; }
    // The client size the window was designed for: the area, and the strip below it.
    [[nodiscard]] QSize designedSize() const;
    // True once the icon has given up and the window stands in for it.
    [[nodiscard]] bool withoutTray() const { return m_semBandeja; }

    static constexpr QSize TamanhoArea{1013, 675};
    static constexpr QSize TamanhoMinimo{640, 400};

    QToolButton* btnClose = nullptr;
    QToolButton* btnConfig = nullptr;
    QPushButton* btnguiaTeste = nullptr;
    QPushButton* btnGetReenvio = nullptr;
    QPushButton* btnCopia = nullptr;
    QRadioButton* rdPendente1 = nullptr;
    QRadioButton* rdPendente3 = nullptr;
    QRadioButton* rdData = nullptr;
    QButtonGroup* selecao = nullptr;
    QDateEdit* edtData = nullptr;
    QPushButton* btnEnvia = nullptr;
    QPushButton* btnEnviaFecha = nullptr;
    QLabel* lblTrabalho = nullptr;         // the task at work and the commands waiting
    QProgressBar* barraTrabalho = nullptr; // moves while a task is at work
    QTableView* GridList = nullptr;
    TPaginaTeste* page = nullptr;
    TSupportStrip* faixaSuporte = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void atualiza(); // engine -> window: caption, date, selection, test button, work at hand
    using Comando = void (TCommands::*)();
    // An operator command: the button's clicks hand it to the engine.
    void ligaComando(QAbstractButton* botao, Comando comando);
    // A detail command of the test console, on the rows picked in its grids.
    void detalhe(Comando mostra);
    void mostraErro(const QString& text);
    void dispoe(); // places the column, the log and the test page in the client area
    // Fits the window on its screen: always, or only when it does not fit as it is.
    void ajustaNaTela(bool sempre);
    void semBandeja(); // the icon gave up: the window stays on the taskbar

    TEngine& m_engine;
    TConfig m_config; // the settings dialog's; the engine reads the file anew after it
    std::unique_ptr<TTrayIcon> m_tray;
    TfrmConfig* m_frmConfig = nullptr;
    QPointer<QMessageBox> m_errorBox;
    QWidget* m_coluna = nullptr; // the command column
    QWidget* m_area = nullptr;
    QPointer<QMessageBox> m_pergunta; // the end's question while it is open
    bool m_semBandeja = false;
};
