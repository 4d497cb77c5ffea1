// The test console's detail commands: each unfolds one level of a promotion
// from the current row of one memory table into the next.

#include "AppTestSupport.h"
#include "support/JsonToDataset.h"
#include "support/fixtures/CoreParts.h"

namespace {

// One promotion whose condition has two groups and whose benefit has one.
const QString Promocoes = QStringLiteral(R"([{"id":101,"titulo":"Leve 3 pague 2","tipo":"Lleva_paga",
  "detalles":{"condiciones":{"grupos":[
      {"articulos":[{"nombre":"CAFE SOLUVEL 50G","codigoBarras":"7891000010860"}],"cantidad":3},
      {"articulos":[{"nombre":"LEITE 1L","codigoBarras":"7891234567895"},{"nombre":"ARROZ","codigoBarras":"7896006700017"}],"cantidad":1}]},
    "beneficios":{"grupos":[{"articulos":[{"nombre":"CAFE SOLUVEL 50G","codigoBarras":"7891000010860"}],"cantidad":1}]},
    "precio":0,"descuento":0,"paga":2}}])");

class TestConsoleTest : public apptest::ShellTest {
  protected:
    void SetUp() override {
        core.FormCreate();
        JsonToDataset(core.diagnostics().promocoes(), Promocoes);
    }
    [[nodiscard]] static QStringList column(const TMemTable& t, const char* name) {
        QStringList values;
        const int c = t.FindField(QString::fromLatin1(name));
        for (int r = 0; r < t.RecordCount(); ++r)
            values << TMemTable::displayText(t.cell(r, c));
        return values;
    }
    TPrincipal core;
};

TEST_F(TestConsoleTest, EachDetailCommandUnfoldsOneLevel) {
    core.commands().showPromotionDetails();
    ASSERT_EQ(core.diagnostics().detalhes().RecordCount(), 1);
    EXPECT_EQ(core.diagnostics().textoDoItem().Text(),
              u'[' + core.diagnostics().promocoes().FieldByName(QStringLiteral("detalles")).AsString() +
                  u']');
    EXPECT_EQ(core.diagnostics().detalhes().FieldByName(QStringLiteral("paga")).AsFloat(), 2.0);

    core.commands().showConditions(); // the condition's groups
    EXPECT_EQ(column(core.diagnostics().grupos(), "cantidad"),
              (QStringList{QStringLiteral("3"), QStringLiteral("1")}));
    EXPECT_TRUE(core.diagnostics().textoDoItem().Text().startsWith(QStringLiteral("[{\"articulos\"")));
    EXPECT_TRUE(core.diagnostics().textoDoItem().Text().endsWith(u']'));

    core.diagnostics().grupos().SetRecNo(2); // the tester picks the second group
    core.commands().showGroupArticles();
    EXPECT_EQ(column(core.diagnostics().artigos(), "codigoBarras"),
              (QStringList{QStringLiteral("7891234567895"), QStringLiteral("7896006700017")}));

    core.commands().showBenefits(); // the benefit's groups replace the condition's
    EXPECT_EQ(column(core.diagnostics().grupos(), "cantidad"), QStringList{QStringLiteral("1")});
    EXPECT_EQ(core.log().table().RecordCount(), 0); // no error on the way
}

TEST_F(TestConsoleTest, ATextThatIsNoArrayLeavesTheTargetClosedAndIsShown) {
    core.diagnostics().detalhes().Open();
    core.diagnostics().detalhes().appendRow({QStringLiteral(R"({"grupos":5})")});
    apptest::ErrorSpy errors(core);
    core.commands().showConditions();
    EXPECT_FALSE(core.diagnostics().grupos().Active());
    EXPECT_EQ(core.diagnostics().textoDoItem().Text(), QStringLiteral("5"));
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_EQ(core.log().table().cell(0, 0).toString(), QStringLiteral("Erro na operação"));
}

} // namespace
