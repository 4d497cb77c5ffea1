// The test console's detail commands: each unfolds one level of a promotion
// from the current row of one memory table into the next.

#include "AppTestSupport.h"
#include "app/uPrincipal.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"

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
        JsonToDataset(*core.tblJson1, Promocoes);
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
    core.Button2Click();
    ASSERT_EQ(core.tblJson2->RecordCount(), 1);
    EXPECT_EQ(core.memoItem.Text(),
              u'[' + core.tblJson1->FieldByName(QStringLiteral("detalles")).AsString() + u']');
    EXPECT_EQ(core.tblJson2->FieldByName(QStringLiteral("paga")).AsFloat(), 2.0);

    core.Button3Click(); // the condition's groups
    EXPECT_EQ(column(*core.tblJson3, "cantidad"), (QStringList{QStringLiteral("3"), QStringLiteral("1")}));
    EXPECT_TRUE(core.memoItem.Text().startsWith(QStringLiteral("[{\"articulos\"")));
    EXPECT_TRUE(core.memoItem.Text().endsWith(u']'));

    core.tblJson3->SetRecNo(2); // the tester picks the second group
    core.Button8Click();
    EXPECT_EQ(column(*core.tblJson4, "codigoBarras"),
              (QStringList{QStringLiteral("7891234567895"), QStringLiteral("7896006700017")}));

    core.Button4Click(); // the benefit's groups replace the condition's
    EXPECT_EQ(column(*core.tblJson3, "cantidad"), QStringList{QStringLiteral("1")});
    EXPECT_EQ(core.tblList->RecordCount(), 0); // no error on the way
}

TEST_F(TestConsoleTest, ATextThatIsNoArrayLeavesTheTargetClosedAndIsShown) {
    core.tblJson2->Open();
    core.tblJson2->appendRow({QStringLiteral(R"({"grupos":5})")});
    apptest::ErrorSpy errors(core);
    core.Button3Click();
    EXPECT_FALSE(core.tblJson3->Active());
    EXPECT_EQ(core.memoItem.Text(), QStringLiteral("5"));
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_EQ(core.tblList->cell(0, 0).toString(), QStringLiteral("Erro na operação"));
}

} // namespace
