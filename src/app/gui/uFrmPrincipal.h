#pragma once
// TfrmPrincipal: the main window. It shows and drives the core (TPrincipal): the
// commands in the left column, the activity log in GridList, the test console
// page (reached through btnguiaTeste on the test workstation only), the
// notification icon and the error box. It starts hidden; closing it hides it;
// every activation applies the settings anew (FormActivate).

#include <QButtonGroup>
#include <QDateEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <memory>

class TPrincipal;
class TfrmConfig;
class TPaginaTeste;
class TTrayIcon;

class TfrmPrincipal : public QMainWindow {
    Q_OBJECT

  public:
    explicit TfrmPrincipal(TPrincipal& core, QWidget* parent = nullptr);
    ~TfrmPrincipal() override;

    // Start-up: the icon, the notification icon, then the core's start-up.
    void FormCreate();
    void FormActivate();
    void restauraClick();
    void sairClick();
    void btnCloseClick() { sairClick(); }
    void btnConfigClick();
    void btnguiaTesteClick();

    [[nodiscard]] TPrincipal& core() { return m_core; }
    [[nodiscard]] TTrayIcon& tray() { return *m_tray; }
    [[nodiscard]] TfrmConfig& frmConfig() { return *m_frmConfig; }
    // The error box (one, non-modal, showing the latest error); null until the first error.
    [[nodiscard]] QMessageBox* errorBox() const { return m_errorBox; }

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
    QTableView* GridList = nullptr;
    TPaginaTeste* page = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void atualiza(); // core -> window: caption, date, selection, test button
    void mostraErro(const QString& text);

    TPrincipal& m_core;
    std::unique_ptr<TTrayIcon> m_tray;
    TfrmConfig* m_frmConfig = nullptr;
    QPointer<QMessageBox> m_errorBox;
    QWidget* m_coluna = nullptr; // the command column
};
