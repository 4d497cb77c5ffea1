// The test console page: its tabs, grids over the memory tables themselves, the
// detail buttons and the texts it shows.

#include "UiTestSupport.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "ui/uPaginaTeste.h"

#include <QItemSelectionModel>

namespace {

class TestPageTest : public uitest::WindowTest {
  protected:
    void SetUp() override {
        start();
        page = window->page;
        // As the test workstation shows it.
        onEngine([](TPrincipal& c) { c.setTestConsoleOffered(true); });
        window->restauraClick();
        window->btnguiaTesteClick();
        uitest::settle();
    }
    TPaginaTeste* page = nullptr;
};

TEST_F(TestPageTest, TabsGridsAndButtons) {
    ASSERT_EQ(page->count(), 2);
    EXPECT_EQ(page->tabText(0), QStringLiteral("Guia de testes"));
    EXPECT_EQ(page->tabText(1), QStringLiteral("Grades"));
    const QList<QPair<QTableView*, TMemTable*>> grids{
        {page->grid1, &engine->diagnostics().promocoes()},
        {page->grid2, &engine->diagnostics().detalhes()},
        {page->DBGrid1, &engine->diagnostics().grupos()},
        {page->DBGrid2, &engine->diagnostics().artigos()},
        {page->DBGrid3, &engine->diagnostics().pedidosDeReenvio()}};
    for (const auto& [grid, table] : grids)
        EXPECT_EQ(grid->model(), table) << grid->objectName().toStdString();
    for (QPushButton* b : {page->Button2, page->Button3, page->Button4, page->Button8})
        EXPECT_EQ(b->text(), QStringLiteral("Detalhe Item"));
    EXPECT_EQ(page->btnGetPromocoes->text(), QStringLiteral("getPromoções"));
    EXPECT_TRUE(page->edtidEmpresa->isReadOnly());
}

TEST_F(TestPageTest, PickingARowAndADetailButtonUnfoldsThatRow) {
    onEngine([](TPrincipal& c) {
        JsonToDataset(
            c.diagnostics().promocoes(),
            QStringLiteral(R"([{"id":"1","detalles":{"precio":1}},{"id":"2","detalles":{"precio":7.5}}])"));
    });
    TDiagnostico& shown = engine->diagnostics();
    ASSERT_EQ(shown.promocoes().RecordCount(), 2);
    page->grid1->selectRow(1); // the tester picks the second promotion
    EXPECT_EQ(shown.promocoes().currentRow(), 1);
    page->Button2->click();
    sync();
    ASSERT_EQ(shown.detalhes().RecordCount(), 1);
    EXPECT_EQ(shown.detalhes().FieldByName(QStringLiteral("precio")).AsFloat(), 7.5);
    EXPECT_EQ(page->memoItem->toPlainText(), QStringLiteral(R"([{"precio":7.5}])"));
    onEngine([](TPrincipal& c) { EXPECT_EQ(c.diagnostics().promocoes().currentRow(), 1); });
    // The table's moves are the grid's too.
    shown.promocoes().First();
    EXPECT_EQ(page->grid1->selectionModel()->currentIndex().row(), 0);
}

TEST_F(TestPageTest, TheTextsAreTheCoresAndTheSettingsIdentity) {
    writeSettings({{QStringLiteral("IDEMRPESA"), QStringLiteral("11")},
                   {QStringLiteral("USUARIO"), QStringLiteral("loja")}});
    onEngine([](TPrincipal& c) { c.FormActivate(); });
    EXPECT_EQ(page->edtidEmpresa->text(), QStringLiteral("11"));
    EXPECT_EQ(page->edtUsuario->text(), QStringLiteral("loja"));
    onEngine([](TPrincipal& c) {
        c.diagnostics().respostaExaminada().Add(QStringLiteral("400"));
        c.diagnostics().respostaExaminada().Add(QStringLiteral("HTTP/1.1 400 Bad Request"));
        c.log().addList(QStringLiteral("Erro gravação: 1 - 2935 - 08/12/2025"),
                        QStringLiteral("HTTP/1.1 400 Bad Request"));
    });
    EXPECT_EQ(page->mmoErro->toPlainText(), QStringLiteral("400\nHTTP/1.1 400 Bad Request\n"));
}

} // namespace
