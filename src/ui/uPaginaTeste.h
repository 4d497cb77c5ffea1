#pragma once
// TPaginaTeste: the test console, the page `page` of the main window with two tabs.
//   tab2 "Guia de testes": the store's identity, the test fetch "getPromoções"
//        and the working texts mmoErro, mmoRequest, mmoResult;
//   tab3 "Grades": the five memory tables in grids (the tables are the grids'
//        models), the four "Detalhe Item" commands, memoItem and memoformasTmp.
// The texts and tables are the diagnostics' (sync/Diagnostico.h), the identity
// the store's as the settings give it; the page only shows them. Its buttons
// are connected to the commands by the main window, which also hands it the
// identity and tells it when to refresh (atualiza).

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

class TDiagnostico;

// The store's identity at the service, as the page shows it.
struct IdentidadeTeste {
    QString idEmpresa;
    QString idLocal;
    QString usuario;
    QString senha;
};

class TPaginaTeste : public QTabWidget {
    Q_OBJECT

  public:
    explicit TPaginaTeste(TDiagnostico& diagnostico, QWidget* parent = nullptr);

    // Copies the texts into the fields that show them.
    void atualiza();
    // Shows the identity in its fields.
    void setIdentidade(const IdentidadeTeste& identidade);

    QWidget* tab2 = nullptr;
    QWidget* tab3 = nullptr;
    QLineEdit* edtidEmpresa = nullptr;
    QLineEdit* edtidLocal = nullptr;
    QLineEdit* edtUsuario = nullptr;
    QLineEdit* edtSenha = nullptr;
    QPushButton* btnGetPromocoes = nullptr;
    QPlainTextEdit* mmoErro = nullptr;
    QPlainTextEdit* mmoRequest = nullptr;
    QPlainTextEdit* mmoResult = nullptr;
    QTableView* grid1 = nullptr;
    QTableView* grid2 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QTableView* DBGrid2 = nullptr;
    QTableView* DBGrid3 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button8 = nullptr;
    QPlainTextEdit* memoItem = nullptr;
    QPlainTextEdit* memoformasTmp = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    TDiagnostico& m_diagnostico;
};
