#pragma once
// TPaginaTeste: the test console, the page `page` of the main window with two tabs.
//   tab2 "Guia de testes": the store's identity, the test fetch "getPromoções"
//        and the working texts mmoErro, mmoRequest, mmoResult;
//   tab3 "Grades": the five memory tables in grids (the tables are the grids'
//        models), the four "Detalhe Item" commands, memoItem and memoformasTmp.
// The texts are the core's; the page shows them and refreshes when the core
// reports a change or a log row.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

class TPrincipal;

class TPaginaTeste : public QTabWidget {
    Q_OBJECT

  public:
    explicit TPaginaTeste(TPrincipal& core, QWidget* parent = nullptr);

    // Copies the core's texts into the fields that show them.
    void atualiza();

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
    TPrincipal& m_core;
};
