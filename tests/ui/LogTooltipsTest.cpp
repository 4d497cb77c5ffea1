// The log grid's tooltips: each row shows its whole texts, which the grid's
// columns cut at 40 and 100 characters, and the tooltips follow the table when
// the 102nd row starts a new log.

#include "UiTestSupport.h"
#include "support/MemTable.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>

namespace {

class LogTooltipsTest : public uitest::WindowTest {
  protected:
    void SetUp() override {
        start();
        window->restauraClick();
        uitest::settle();
    }
    void TearDown() override { QToolTip::hideText(); }

    // The tooltip the grid shows when the mouse rests on row `row`, as plain text.
    [[nodiscard]] QString tooltipOf(int row) {
        QTableView* grid = window->GridList;
        grid->scrollTo(grid->model()->index(row, 3));
        const QPoint at = grid->visualRect(grid->model()->index(row, 3)).center();
        QHelpEvent event(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &event);
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        return shown.toPlainText();
    }
    [[nodiscard]] QString cell(int row, int column) const {
        return window->GridList->model()->index(row, column).data().toString();
    }
};

// A text of `size` characters that ends in a word of its own, so a cut shows.
QString longText(const QString& start, int size) {
    QString text = start;
    while (text.size() < size - 4)
        text += QStringLiteral(" abc");
    return text.left(size - 4) + QStringLiteral(" FIM");
}

TEST_F(LogTooltipsTest, ALongMessageIsCutInTheGridAndWholeInTheTooltip) {
    const QString operacao = longText(QStringLiteral("Erro gravação: 12 - 123456 - 08/12/2025"), 55);
    const QString mensagem = longText(QStringLiteral("Cannot connect to the database erp:/x.fdb:"), 300);
    onEngine([&](TPrincipal& c) {
        c.log().addList(QStringLiteral("Abriu post-vendas"), QString());
        c.log().addList(operacao, mensagem);
    });

    EXPECT_EQ(cell(1, 0), operacao.left(40));
    EXPECT_EQ(cell(1, 3), mensagem.left(100));
    const QString tip = tooltipOf(1);
    // The tooltip wraps long lines; its words are the whole texts.
    EXPECT_EQ(
        tip.simplified(),
        (QStringLiteral("Operacao: ") + operacao + QStringLiteral(" Mensagem: ") + mensagem).simplified());
    EXPECT_TRUE(tip.startsWith(QStringLiteral("Operacao: ") + operacao + u'\n')) << tip.toStdString();
    EXPECT_EQ(tooltipOf(0).simplified(), QStringLiteral("Operacao: Abriu post-vendas Mensagem:"));
}

TEST_F(LogTooltipsTest, TheTooltipsFollowTheTableWhenItStartsANewLog) {
    onEngine([](TPrincipal& c) {
        for (int i = 1; i <= 101; ++i)
            c.log().addList(QStringLiteral("linha %1").arg(i),
                            longText(QStringLiteral("mensagem %1").arg(i), 150));
    });
    ASSERT_EQ(engine->log().table().RecordCount(), 101);
    EXPECT_EQ(tooltipOf(100).simplified(), (QStringLiteral("Operacao: linha 101 Mensagem: ") +
                                            longText(QStringLiteral("mensagem 101"), 150))
                                               .simplified());

    onEngine([](TPrincipal& c) {
        c.log().addList(QStringLiteral("linha 102"), longText(QStringLiteral("mensagem 102"), 150));
    });
    ASSERT_EQ(engine->log().table().RecordCount(), 1);
    EXPECT_EQ(tooltipOf(0).simplified(), (QStringLiteral("Operacao: linha 102 Mensagem: ") +
                                          longText(QStringLiteral("mensagem 102"), 150))
                                             .simplified());
    onEngine([](TPrincipal& c) { c.log().addList(QStringLiteral("linha 103"), QStringLiteral("Ok")); });
    EXPECT_EQ(tooltipOf(1).simplified(), QStringLiteral("Operacao: linha 103 Mensagem: Ok"));
}

TEST_F(LogTooltipsTest, ARowAddedWithoutItsWholeTextsShowsTheTablesOwn) {
    engine->log().table().appendRow(
        {QStringLiteral("direto"), QDate(2023, 4, 10), QTime(9, 0), QStringLiteral("na tabela")});
    onEngine([](TPrincipal& c) {
        c.log().addList(QStringLiteral("pelo log"), longText(QStringLiteral("inteira"), 120));
    });
    ASSERT_EQ(engine->log().table().RecordCount(), 2);
    EXPECT_EQ(tooltipOf(0).simplified(), QStringLiteral("Operacao: direto Mensagem: na tabela"));
    EXPECT_EQ(tooltipOf(1).simplified(),
              (QStringLiteral("Operacao: pelo log Mensagem: ") + longText(QStringLiteral("inteira"), 120))
                  .simplified());
}

} // namespace
