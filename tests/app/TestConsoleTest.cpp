// The test console's detail commands: each unfolds one level of a promotion
// from the current row of one memory table into the next.

#include "AppTestSupport.h"
#include "support/fixtures/CoreParts.h"
#include "support/JsonToDataset.h"

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
        JsonToDataset(core.diagnostico().promocoes(), Promocoes);
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
    core.comandos().detalhaPromocao();
    ASSERT_EQ(core.diagnostico().detalhes().RecordCount(), 1);
    EXPECT_EQ(core.diagnostico().textoDoItem().Text(),
              u'[' + core.diagnostico().promocoes().FieldByName(QStringLiteral("detalles")).AsString() + u']');
    EXPECT_EQ(core.diagnostico().detalhes().FieldByName(QStringLiteral("paga")).AsFloat(), 2.0);

    core.comandos().detalhaCondicoes(); // the condition's groups
    EXPECT_EQ(column(core.diagnostico().grupos(), "cantidad"), (QStringList{QStringLiteral("3"), QStringLiteral("1")}));
    EXPECT_TRUE(core.diagnostico().textoDoItem().Text().startsWith(QStringLiteral("[{\"articulos\"")));
    EXPECT_TRUE(core.diagnostico().textoDoItem().Text().endsWith(u']'));

    core.diagnostico().grupos().SetRecNo(2); // the tester picks the second group
    core.comandos().detalhaGrupo();
    EXPECT_EQ(column(core.diagnostico().artigos(), "codigoBarras"),
              (QStringList{QStringLiteral("7891234567895"), QStringLiteral("7896006700017")}));

    core.comandos().detalhaBeneficios(); // the benefit's groups replace the condition's
    EXPECT_EQ(column(core.diagnostico().grupos(), "cantidad"), QStringList{QStringLiteral("1")});
    EXPECT_EQ(core.log().tabela().RecordCount(), 0); // no error on the way
}

TEST_F(TestConsoleTest, ATextThatIsNoArrayLeavesTheTargetClosedAndIsShown) {
    core.diagnostico().detalhes().Open();
    core.diagnostico().detalhes().appendRow({QStringLiteral(R"({"grupos":5})")});
    apptest::ErrorSpy errors(core);
    core.comandos().detalhaCondicoes();
    EXPECT_FALSE(core.diagnostico().grupos().Active());
    EXPECT_EQ(core.diagnostico().textoDoItem().Text(), QStringLiteral("5"));
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_EQ(core.log().tabela().cell(0, 0).toString(), QStringLiteral("Erro na operação"));
}

} // namespace
