#pragma once
// TfrmConfig: the settings dialog over the settings store TConfig. Each control
// bears the name of the setting it shows; showing the dialog loads the file
// into them (FormActivate), so a value the program corrects, such as an interval
// of 0, appears as the corrected value.
//   btnsair  ("Voltar")   closes without writing;
//   btnSalvar ("Salvar")  writes every control to the file and closes; when a key
//                         cannot be written the dialog stays open and saveFailed
//                         carries the error for the general error display;
//   btnCancelar ("Cancelar") loads the file again, discarding the edits.
// The main window stops the synchronisation while the dialog is open; a line
// under the buttons (lblPausa) tells the operator so.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

class TConfig;

class TfrmConfig : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmConfig(TConfig& config, QWidget* parent = nullptr);

    void FormActivate(); // LoadConfig, then the controls show the settings
    void btnSalvarClick();
    void btnsairClick();
    void btnCancelarClick();

    QToolButton* btnsair = nullptr;
    QToolButton* btnSalvar = nullptr;
    QToolButton* btnCancelar = nullptr;
    QLineEdit* pathBDDolvex = nullptr;
    QLineEdit* idEmpresa = nullptr;
    QLineEdit* idLocal = nullptr;
    QLineEdit* usuario = nullptr;
    QLineEdit* senha = nullptr;
    QLineEdit* urlBase = nullptr;
    QLineEdit* urlBase2 = nullptr;
    QLineEdit* urlBase3 = nullptr;
    QLineEdit* urlBase4 = nullptr;
    QCheckBox* chkCodEmpDolvex = nullptr;
    QLineEdit* edtcodempdolvex = nullptr;
    QLineEdit* edtApelidoEmp = nullptr;
    QLineEdit* timerProm = nullptr;
    QLineEdit* timerReenvio = nullptr;
    QLineEdit* timerFecha = nullptr;
    QLineEdit* timerVenda = nullptr;
    QLineEdit* edtDataUltFecha = nullptr; // read-only
    QCheckBox* chkGetPromo = nullptr;
    QCheckBox* chkPostVenda = nullptr;
    QLabel* lblPausa = nullptr;

  signals:
    void saveFailed(const QString& text);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void mostra(); // the store's values -> controls
    void guarda(); // controls -> a copy of the values -> the store

    TConfig& m_config;
};
