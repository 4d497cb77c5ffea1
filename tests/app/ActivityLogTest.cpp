// addList: the 101-row rule, the 40/100 cuts, the code page, the clock.

#include "AppTestSupport.h"
#include "support/fixtures/CoreParts.h"

using apptest::rows;

namespace {

class ActivityLogTest : public apptest::ShellTest {
  protected:
    void SetUp() override { core.FormCreate(); }
    TPrincipal core;
};

TEST_F(ActivityLogTest, RowsBeforeTheTableIsOpenAreDropped) {
    TPrincipal fresh; // not started: applying the settings opens the table
    fresh.log().addList(QStringLiteral("Abriu post-vendas"), QString());
    EXPECT_FALSE(fresh.log().table().Active());
    EXPECT_EQ(fresh.log().table().RecordCount(), 0);
}

TEST_F(ActivityLogTest, TextsAreStoredInTheCodePageAndCut) {
    const QString op55 = QStringLiteral("Erro Venda cancelada p.1 (+): 1 - 2930 - 08/12/2025 xyz");
    ASSERT_EQ(op55.size(), 55);
    const QString msg150 = QString(150, u'm');
    struct Case {
        QString oper, mensagem, storedOper, storedMensagem;
    };
    const Case cases[] = {
        {op55, msg150, op55.left(40), QString(100, u'm')},
        {QStringLiteral("Gravação venda: ☺"), QStringLiteral("€ ok"), QStringLiteral("Gravação venda: ?"),
         QStringLiteral("€ ok")},
        // A character outside the BMP is one character, one "?".
        {QStringLiteral("x😀y"), QString(), QStringLiteral("x?y"), QString()},
        // The "?" counts within the 40 characters.
        {QString(39, u'a') + QStringLiteral("☺b"), QString(), QString(39, u'a') + u'?', QString()},
    };
    for (const Case& c : cases) {
        core.log().addList(c.oper, c.mensagem);
        const int last = core.log().table().RecordCount() - 1;
        EXPECT_EQ(core.log().table().cell(last, 0).toString(), c.storedOper) << c.oper.toStdString();
        EXPECT_EQ(core.log().table().cell(last, 3).toString(), c.storedMensagem) << c.oper.toStdString();
    }
}

TEST_F(ActivityLogTest, TheRowAfterTheHundredAndFirstStartsANewLog) {
    for (int i = 1; i <= 101; ++i)
        core.log().addList(QStringLiteral("linha %1").arg(i), QString());
    ASSERT_EQ(core.log().table().RecordCount(), 101);
    EXPECT_EQ(core.log().table().currentRow(), 100);
    core.log().addList(QStringLiteral("nova"), QStringLiteral("Ok"));
    EXPECT_EQ(rows(core.log().table()), QStringList{QStringLiteral("nova|Ok")});
    EXPECT_EQ(core.log().table().currentRow(), 0);
}

TEST_F(ActivityLogTest, DateAndTimeComeFromTheClockWithoutMilliseconds) {
    clock.set(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58, 700)));
    core.log().addList(QStringLiteral("um"), QString());
    clock.advanceMs(200);
    core.log().addList(QStringLiteral("dois"), QString());
    const TMemTable& t = core.log().table();
    ASSERT_EQ(t.RecordCount(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(t.cell(r, 1).toDate(), QDate(2023, 12, 31));
        EXPECT_EQ(t.cell(r, 2).toTime(), QTime(23, 59, 58));
    }
    EXPECT_EQ(rows(t), (QStringList{QStringLiteral("um|"), QStringLiteral("dois|")}));
    EXPECT_EQ(t.currentRow(), 1);
}

} // namespace
