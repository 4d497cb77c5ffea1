#include "support/Errors.h"
#include "support/MemTable.h"

#include <QSortFilterProxyModel>

#include <gtest/gtest.h>

namespace {

QList<FieldDef> logFields() {
    return {{"Operacao", FieldType::Text, 40},
            {"Data", FieldType::Date, 0},
            {"Hora", FieldType::Time, 0},
            {"Mensagem", FieldType::Text, 100},
            {"valor", FieldType::Float, 0},
            {"ok", FieldType::Boolean, 0},
            {"nota", FieldType::LongText, 0}};
}

// Counts the model signals a view reacts to.
struct ModelSignals {
    explicit ModelSignals(TMemTable& t) {
        QObject::connect(&t, &QAbstractItemModel::modelAboutToBeReset, [this] { ++aboutToReset; });
        QObject::connect(&t, &QAbstractItemModel::modelReset, [this] { ++reset; });
        QObject::connect(&t, &QAbstractItemModel::rowsInserted, [this] { ++inserted; });
        QObject::connect(&t, &QAbstractItemModel::dataChanged, [this] { ++changed; });
        QObject::connect(&t, &TMemTable::currentRowChanged, [this](int row) { rows.push_back(row); });
    }
    void clear() { aboutToReset = reset = inserted = changed = 0; rows.clear(); }
    int aboutToReset = 0, reset = 0, inserted = 0, changed = 0;
    std::vector<int> rows;
};

TEST(MemTable, NavigatesLikeADataset) {
    TMemTable t("tblTeste", logFields());
    EXPECT_FALSE(t.Active());
    EXPECT_THROW(t.First(), AppError);
    EXPECT_THROW(t.Append(), AppError);

    t.Open();
    EXPECT_TRUE(t.Active());
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecNo(), 0);
    t.First();
    EXPECT_TRUE(t.Eof());

    for (const char* op : {"a", "b", "c"}) t.appendRow({QString::fromLatin1(op)});
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(t.RecNo(), 3);  // an appended row becomes the current one

    QStringList seen;
    for (t.First(); !t.Eof(); t.Next()) seen << t.FieldByName("operacao").AsString();
    EXPECT_EQ(seen, QStringList({"a", "b", "c"}));
    EXPECT_EQ(t.RecNo(), 3);  // Next past the last row stays on it

    seen.clear();
    for (t.Last(); !t.Bof(); t.Prior()) seen << t.FieldByName("Operacao").AsString();
    EXPECT_EQ(seen, QStringList({"c", "b", "a"}));

    t.SetRecNo(2);
    EXPECT_EQ(t.FieldByName("Operacao").AsString(), "b");
    EXPECT_FALSE(t.Eof());
    EXPECT_THROW(t.SetRecNo(4), AppError);
    EXPECT_THROW(t.SetRecNo(0), AppError);

    t.Open();  // already open: rows stay
    EXPECT_EQ(t.RecordCount(), 3);
    t.EmptyTable();
    EXPECT_TRUE(t.Active());
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_TRUE(t.Eof());

    t.appendRow({"x"});
    t.Close();
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_TRUE(t.FieldByName("Operacao").IsNull());
    t.Open();
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST(MemTable, AppendEditPostCancel) {
    TMemTable t("tblTeste", logFields());
    t.Open();
    t.Append();
    t.FieldByName("Operacao").setValue(QString(55, 'o'));
    t.FieldByName("Mensagem").setValue(QString(150, 'm'));
    t.FieldByName("nota").setValue(QString(5000, 'n'));
    EXPECT_EQ(t.RecordCount(), 0);  // not stored before Post
    EXPECT_EQ(t.FieldByName("Operacao").AsString().size(), 40);  // the buffer is readable
    t.Post();
    ASSERT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.FieldByName("Operacao").AsString(), QString(40, 'o'));
    EXPECT_EQ(t.FieldByName("Mensagem").AsString(), QString(100, 'm'));
    EXPECT_EQ(t.FieldByName("nota").AsString().size(), 5000);
    EXPECT_TRUE(t.FieldByName("Data").IsNull());

    t.Append();
    t.FieldByName("Operacao").setValue("dropped");
    t.Cancel();
    EXPECT_EQ(t.RecordCount(), 1);

    t.Append();
    t.FieldByName("Operacao").setValue("posted by navigation");
    t.First();  // a pending row is posted before moving, as a dataset does
    EXPECT_EQ(t.RecordCount(), 2);

    t.SetRecNo(2);
    t.Edit();
    t.FieldByName("Operacao").setValue("edited");
    t.Post();
    EXPECT_EQ(t.FieldByName("Operacao").AsString(), "edited");
    EXPECT_EQ(t.RecordCount(), 2);

    EXPECT_THROW(t.FieldByName("Operacao").setValue("outside append"), AppError);
    try {
        (void)t.FieldByName("NoSuchField");
        FAIL() << "no error for an unknown field";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains("tblTeste")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("NoSuchField")) << e.message().toStdString();
    }
}

TEST(MemTable, CutKeepsSurrogatePairsWhole) {
    EXPECT_EQ(TMemTable::cutText("abcdef", 3), "abc");
    EXPECT_EQ(TMemTable::cutText(QString::fromUtf8("ab😀"), 3), "ab");  // would split the pair
    EXPECT_EQ(TMemTable::cutText(QString::fromUtf8("ab😀"), 4), QString::fromUtf8("ab😀"));
    EXPECT_EQ(TMemTable::cutText(QString::fromUtf8("ççç"), 2), QString::fromUtf8("çç"));
}

TEST(MemTable, FieldReadersAndConversions) {
    TMemTable t("tblTeste", logFields());
    t.Open();
    t.appendRow({"12,5", QDate(2023, 3, 5), QTime(8, 5, 9), "abc", 0.1 + 0.2, true, QVariant()});
    t.appendRow({"42", "2023-03-15", "23:59:58", QVariant(), "2,5", "false", 7});
    t.appendRow({});

    t.First();
    EXPECT_DOUBLE_EQ(t.FieldByName("Operacao").AsFloat(), 12.5);
    EXPECT_EQ(t.FieldByName("Data").AsString(), "05/03/2023");
    EXPECT_EQ(t.FieldByName("Hora").AsString(), "08:05:09");
    EXPECT_EQ(t.FieldByName("valor").AsString(), "0.30000000000000004");
    EXPECT_EQ(t.FieldByName("ok").AsString(), "True");
    EXPECT_EQ(t.FieldByName("ok").AsInteger(), 1);
    EXPECT_THROW((void)t.FieldByName("Mensagem").AsFloat(), ConversionError);
    EXPECT_THROW((void)t.FieldByName("Operacao").AsInteger(), ConversionError);
    EXPECT_THROW((void)t.FieldByName("Mensagem").AsDate(), ConversionError);

    t.Next();
    EXPECT_EQ(t.FieldByName("Operacao").AsInteger(), 42);
    EXPECT_EQ(t.FieldByName("Data").AsDate(), QDate(2023, 3, 15));
    EXPECT_EQ(t.FieldByName("Hora").AsTime(), QTime(23, 59, 58));
    EXPECT_DOUBLE_EQ(t.FieldByName("valor").AsFloat(), 2.5);
    EXPECT_EQ(t.FieldByName("valor").AsInteger(), 2);  // ties go to even
    EXPECT_EQ(t.FieldByName("ok").AsString(), "False");
    EXPECT_EQ(t.FieldByName("nota").AsString(), "7");
    EXPECT_EQ(t.FieldByName("Mensagem").AsString(), "");

    t.Next();  // the all-null row
    for (int c = 0; c < t.FieldCount(); ++c) {
        EXPECT_TRUE(t.Field(c).IsNull());
        EXPECT_EQ(t.Field(c).AsString(), "");
    }
    EXPECT_EQ(t.FieldByName("valor").AsFloat(), 0);
    EXPECT_EQ(t.FieldByName("valor").AsInteger(), 0);
    EXPECT_FALSE(t.FieldByName("Data").AsDate().isValid());

    EXPECT_THROW(t.appendRow({QVariant(), QVariant(), QVariant(), QVariant(), "doze"}), ConversionError);
    EXPECT_THROW(t.appendRow({QVariant(), "31/02/2023"}), ConversionError);
    t.Cancel();
    EXPECT_EQ(t.RecordCount(), 3);
}

TEST(MemTableModel, ViewsSeeRowsAndFollowTheCurrentRow) {
    TMemTable t("tblList", logFields());
    QSortFilterProxyModel view;  // stands in for a grid: it only knows the model interface
    view.setSourceModel(&t);
    ModelSignals seen(t);

    EXPECT_EQ(view.rowCount(), 0);
    EXPECT_EQ(t.columnCount(), 7);
    EXPECT_EQ(view.headerData(0, Qt::Horizontal).toString(), "Operacao");
    EXPECT_EQ(view.headerData(3, Qt::Horizontal).toString(), "Mensagem");

    t.Open();
    t.appendRow({"Leitura de promoções", QDate(2024, 1, 31), QTime(14, 3, 7), "Ok", 1.5, false});
    t.appendRow({"Resp-Ping.txt"});
    EXPECT_EQ(seen.inserted, 2);
    ASSERT_EQ(view.rowCount(), 2);
    EXPECT_EQ(view.data(view.index(0, 0)).toString(), QString::fromUtf8("Leitura de promoções"));
    EXPECT_EQ(view.data(view.index(0, 1)).toString(), "31/01/2024");
    EXPECT_EQ(view.data(view.index(0, 2)).toString(), "14:03:07");
    EXPECT_EQ(view.data(view.index(0, 4)).toString(), "1.5");
    EXPECT_EQ(view.data(view.index(1, 3)).toString(), "");
    EXPECT_EQ(seen.rows, (std::vector<int>{0, 1}));

    t.First();
    t.Next();
    t.Next();  // at Eof: the row does not change
    EXPECT_EQ(seen.rows, (std::vector<int>{0, 1, 0, 1}));

    // Bulk changes with controls disabled: one reset, no per-row signals.
    seen.clear();
    {
        TMemTable::ControlsDisabled quiet(t);
        t.EmptyTable();
        for (int i = 0; i < 50; ++i) t.appendRow({QString::number(i)});
        EXPECT_EQ(seen.reset, 0);
    }
    EXPECT_EQ(seen.aboutToReset, 1);
    EXPECT_EQ(seen.reset, 1);
    EXPECT_EQ(seen.inserted, 0);
    EXPECT_EQ(seen.rows, (std::vector<int>{49}));
    EXPECT_EQ(view.rowCount(), 50);

    t.Close();
    EXPECT_EQ(view.rowCount(), 0);
}

}  // namespace
