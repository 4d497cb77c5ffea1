#include "support/JsonTables.h"
#include "support/JsonToDataset.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <memory>

namespace {

using TableFactory = TMemTable* (*)(QObject*);

std::unique_ptr<TMemTable> table(TableFactory make) { return std::unique_ptr<TMemTable>(make(nullptr)); }

// "<null>" for a null cell, else the text the field reads as.
QString shown(TMemTable& t, const char* column) {
    TField f = t.FieldByName(QString::fromLatin1(column));
    return f.IsNull() ? QStringLiteral("<null>") : f.AsString();
}

QString message(const std::function<void()>& call) {
    try {
        call();
    } catch (const JsonError& e) {
        return e.message();
    }
    return QStringLiteral("<no JsonError>");
}

// One element's member reaching one column.
struct MemberCase {
    TableFactory make;
    const char* element;  // the JSON of one array element
    const char* column;
    const char* expected;  // AsString, or "<null>"
};

TEST(JsonToDataset, MemberValuesReachTheirColumns) {
    const MemberCase cases[] = {
        // the resend-request element of the edge cases
        {newResendRequestsTable, R"({"fecha":"2023-03-15T00:00:00","codigoCaja":"1","outro":5})", "fecha",
         "2023-03-15"},
        {newResendRequestsTable, R"({"fecha":"2023-03-15T00:00:00","codigoCaja":"1","outro":5})",
         "codigoCaja", "1"},
        // keys are exact and case-sensitive; with repeated keys the first counts
        {newResendRequestsTable, R"({"Fecha":"2023-03-15","FECHA":"x"})", "fecha", "<null>"},
        {newResendRequestsTable, R"({"fecha":"first","fecha":"second"})", "fecha", "first"},
        {newResendRequestsTable, R"({"fecha":null,"fecha":"second"})", "fecha", "<null>"},
        {newResendRequestsTable, R"({"fe\u0063ha":"escaped"})", "fecha", "escaped"},
        {newResendRequestsTable, R"({"codigoCaja":"1"})", "fecha", "<null>"},
        // numbers reach text columns as written
        {newPromotionsTable, R"({"id":12345})", "id", "12345"},
        {newPromotionsTable, R"({"id":12.50})", "id", "12.50"},
        {newPromotionsTable, R"({"id":1e3})", "id", "1e3"},
        {newPromotionsTable, R"({"id" : -0.0 , "x":1})", "id", "-0.0"},
        {newPromotionsTable, R"({"id":1E+2})", "id", "1E+2"},
        {newPromotionsTable, R"({"id":12345678901234567890})", "id", "1234567890"},
        {newPromotionsTable, R"({"limitePromocionesPorTicket":3})", "limitePromocionesPorTicket", "3"},
        {newPromotionsTable, R"({"limitePromocionesPorTicket":null})", "limitePromocionesPorTicket",
         "<null>"},
        // strings: escapes resolved, blanks kept, cut to the column size
        {newPromotionsTable, R"({"titulo":"a\"b\\c\/\u00e7\n\ud83d\ude00"})", "titulo", "a\"b\\c/ç\n😀"},
        {newPromotionsTable, R"({"titulo":"  dois  "})", "titulo", "  dois  "},
        {newPromotionsTable, R"({"tipo":"Precio_fijo especial de fim de semana longo"})", "tipo",
         "Precio_fijo especial de fim de"},
        {newArticlesTable, R"({"codigoBarras":"ççççççççççççççççççççççççççççççççççç"})", "codigoBarras",
         "çççççççççççççççççççççççççççççç"},
        {newPromotionsTable, R"({"tipo":"aaaaaaaaaaaaaaaaaaaaaaaaaaaaa😀"})", "tipo",
         "aaaaaaaaaaaaaaaaaaaaaaaaaaaaa"},
        {newPromotionsTable, R"({"tipo":"aaaaaaaaaaaaaaaaaaaaaaaaaaaa😀z"})", "tipo",
         "aaaaaaaaaaaaaaaaaaaaaaaaaaaa😀"},
        {newPromotionsTable, R"({"autor":{ "nombre" : "Ana" }})", "autor", "{\"nombre\":\"Ana\"}"},
        {newPromotionsTable, R"({"id":{"a" : [1, 2]}})", "id", "{\"a\":[1,2]"},
        // booleans: text columns get true/false, floating ones 1/0
        {newPromotionsTable, R"({"titulo":true})", "titulo", "true"},
        {newPromotionsTable, R"({"titulo":false})", "titulo", "false"},
        {newPromotionDetailsTable, R"({"precio":true,"paga":false})", "precio", "1"},
        {newPromotionDetailsTable, R"({"precio":true,"paga":false})", "paga", "0"},
        // floating columns: numbers by value, strings read with "." or ","
        {newPromotionDetailsTable, R"({"precio":12.5})", "precio", "12.5"},
        {newPromotionDetailsTable, R"({"precio":12.50})", "precio", "12.5"},
        {newPromotionDetailsTable, R"({"precio":1e3})", "precio", "1000"},
        {newPromotionDetailsTable, R"({"precio":-0.25})", "precio", "-0.25"},
        {newPromotionDetailsTable, R"({"precio":"12.5"})", "precio", "12.5"},
        {newPromotionDetailsTable, R"({"precio":"12,5"})", "precio", "12.5"},
        {newPromotionDetailsTable, R"({"precio":" 7 "})", "precio", "7"},
        {newPromotionDetailsTable, R"({"precio":"2.5e-1"})", "precio", "0.25"},
        {newPromotionDetailsTable, R"({"precio":null})", "precio", "<null>"},
        {newGroupsTable, R"({"cantidad":3,"articulos":[ ]})", "articulos", "[]"},
    };
    for (const MemberCase& c : cases) {
        SCOPED_TRACE(c.element);
        auto t = table(c.make);
        JsonToDataset(*t, QString::fromUtf8("[") + QString::fromUtf8(c.element) + "]");
        ASSERT_EQ(t->RecordCount(), 1);
        EXPECT_EQ(shown(*t, c.column), QString::fromUtf8(c.expected));
    }
}

TEST(JsonToDataset, OneRowPerElementThenTheFirstRow) {
    auto t = table(newResendRequestsTable);
    JsonToDataset(*t, R"( [{"fecha":"2023-03-15"}, 5, "x", null, [], {"codigoCaja":"2"}] )"
                      "\r\n\t");
    EXPECT_TRUE(t->Active());
    ASSERT_EQ(t->RecordCount(), 6);
    EXPECT_EQ(t->RecNo(), 1);
    EXPECT_FALSE(t->Eof());
    EXPECT_EQ(shown(*t, "fecha"), "2023-03-15");
    for (int row = 2; row <= 5; ++row) {  // elements that are no objects give rows of nulls
        t->SetRecNo(row);
        EXPECT_TRUE(t->FieldByName("fecha").IsNull());
        EXPECT_TRUE(t->FieldByName("codigoCaja").IsNull());
    }
    t->Last();
    EXPECT_EQ(shown(*t, "codigoCaja"), "2");
}

TEST(JsonToDataset, EmptyTextEmptyArrayAndTwoCalls) {
    auto t = table(newResendRequestsTable);
    JsonToDataset(*t, QString());
    EXPECT_FALSE(t->Active());

    JsonToDataset(*t, " [ ]\n");
    EXPECT_TRUE(t->Active());
    EXPECT_EQ(t->RecordCount(), 0);
    EXPECT_TRUE(t->Eof());

    JsonToDataset(*t, R"([{"fecha":"a"},{"fecha":"b"},{"fecha":"c"}])");
    JsonToDataset(*t, R"([{"fecha":"d"}])");
    ASSERT_EQ(t->RecordCount(), 1);
    EXPECT_EQ(shown(*t, "fecha"), "d");

    JsonToDataset(*t, QString());  // does nothing, also to an open table
    EXPECT_EQ(t->RecordCount(), 1);
}

TEST(JsonToDataset, AnObjectAloneIsRefusedWrappedItIsOneRow) {
    auto t = table(newResendRequestsTable);
    const QString object = R"({"fecha":"2023-03-15","codigoCaja":"1"})";
    const QString error = message([&] { JsonToDataset(*t, object); });
    EXPECT_TRUE(error.contains("tblJson5")) << error.toStdString();
    EXPECT_TRUE(error.contains("object, not an array")) << error.toStdString();
    EXPECT_TRUE(error.contains(object)) << error.toStdString();
    EXPECT_FALSE(t->Active());

    JsonToDataset(*t, "[" + object + "]");
    EXPECT_EQ(t->RecordCount(), 1);
}

// The promotion import unfolds a promotion level by level: the detalles text,
// wrapped as an array, fills the details table; a condition's text after its first ":"
// without the last character fills the groups table; the articles fill the articles table.
TEST(JsonToDataset, NestedValuesAreCompactAndParseAgain) {
    const QString promotions = QString::fromUtf8(R"([
      { "id" : 77, "titulo" : "Leve 3 pague 2", "tipo" : "Lleva_paga",
        "autor" : { "nombre" : "Ana" },
        "detalles" : {
          "condiciones" : { "grupos" : [ { "articulos" : [ { "nombre" : "Café \"Forte\" \u00e9", "codigoBarras" : "7891" },
                                                          { "nombre" : "Chá", "codigoBarras" : "7892" } ],
                                           "cantidad" : 3 },
                                         { "articulos" : [], "cantidad" : 9 } ] },
          "beneficios" : { "grupos" : [ { "articulos" : [ { "nombre" : "Pão", "codigoBarras" : "7893" } ], "cantidad" : 1 } ] },
          "precio" : 10.50, "descuento" : 0, "paga" : 2
        } } ])");
    auto promos = table(newPromotionsTable);
    JsonToDataset(*promos, promotions);
    const QString detalles = promos->FieldByName("detalles").AsString();
    EXPECT_EQ(detalles,
              QString::fromUtf8(
                  R"({"condiciones":{"grupos":[{"articulos":[{"nombre":"Café \"Forte\" \u00e9","codigoBarras":"7891"},)"
                  R"({"nombre":"Chá","codigoBarras":"7892"}],"cantidad":3},{"articulos":[],"cantidad":9}]},)"
                  R"("beneficios":{"grupos":[{"articulos":[{"nombre":"Pão","codigoBarras":"7893"}],"cantidad":1}]},)"
                  R"("precio":10.50,"descuento":0,"paga":2})"));
    // The compact text is the same JSON value as the original member.
    const QJsonDocument original = QJsonDocument::fromJson(promotions.toUtf8());
    EXPECT_EQ(QJsonDocument::fromJson(detalles.toUtf8()).object(), original.array()[0].toObject()["detalles"].toObject());

    auto details = table(newPromotionDetailsTable);
    JsonToDataset(*details, "[" + detalles + "]");
    ASSERT_EQ(details->RecordCount(), 1);
    EXPECT_DOUBLE_EQ(details->FieldByName("precio").AsFloat(), 10.5);
    EXPECT_DOUBLE_EQ(details->FieldByName("paga").AsFloat(), 2);

    const QString condiciones = details->FieldByName("condiciones").AsString();
    QString groups = condiciones.mid(condiciones.indexOf(':') + 1);
    groups.chop(1);
    auto groupTable = table(newGroupsTable);
    JsonToDataset(*groupTable, groups);
    ASSERT_EQ(groupTable->RecordCount(), 2);
    EXPECT_DOUBLE_EQ(groupTable->FieldByName("cantidad").AsFloat(), 3);

    auto articles = table(newArticlesTable);
    JsonToDataset(*articles, groupTable->FieldByName("articulos").AsString());
    ASSERT_EQ(articles->RecordCount(), 2);
    EXPECT_EQ(shown(*articles, "nombre"), QString::fromUtf8("Café \"Forte\" é"));
    articles->Next();
    EXPECT_EQ(shown(*articles, "codigoBarras"), "7892");
}

TEST(JsonToDataset, FloatingColumnRefusesTextThatIsNoNumber) {
    for (const char* bad : {R"("abc")", R"("")", R"("1.2.3")", R"("1,234.5")", R"("NaN")", R"("1e999")",
                            R"({"a":1})", "[1]"}) {
        SCOPED_TRACE(bad);
        auto t = table(newPromotionDetailsTable);
        const QString json = QStringLiteral(R"([{"precio":1},{"precio":2},{"precio":%1},{"precio":4}])").arg(bad);
        const QString error = message([&] { JsonToDataset(*t, json); });
        EXPECT_TRUE(error.contains("tblJson2")) << error.toStdString();
        EXPECT_TRUE(error.contains("element 3")) << error.toStdString();
        EXPECT_TRUE(error.contains("precio")) << error.toStdString();
        // the rows appended before stay, the table is open
        EXPECT_TRUE(t->Active());
        ASSERT_EQ(t->RecordCount(), 2);
        t->First();
        EXPECT_EQ(shown(*t, "precio"), "1");
    }
    // A document that is broken further on is refused as a whole.
    auto t = table(newPromotionDetailsTable);
    EXPECT_THROW(JsonToDataset(*t, R"([{"precio":1},{"precio":"abc"},{"precio":4 5}])"), JsonError);
    EXPECT_FALSE(t->Active());
}

// Texts that are not a JSON array: each raises JsonError, names the table and
// shows the text's beginning, and leaves the table closed and empty.
TEST(JsonToDataset, TextsThatAreNoJsonArrayAreRefused) {
    const char* const bad[] = {
        " ", "\n\t", "x", "nul", "null", "12", R"("texto")", "{}", "[", "]", "[1,", R"([{"fecha":"a"})",
        R"([{"fecha":"a"},)", "[1] x", "[1] [2]", "[1]]", "[1 2]", "[1,]", "[,1]", R"([{"fecha" "a"}])",
        R"([{"fecha":"a",}])", R"([{"fecha":"a" "codigoCaja":"1"}])", R"([{fecha:"a"}])", R"([{"fecha":'a'}])",
        "[01]", "[1.]", "[.5]", "[-]", "[+1]", "[1e]", "[tru]", "[nulll]", "[True]", "[NaN]",
        R"(["a\qb"])", R"(["\u12G4"])", R"(["\ud800"])", R"(["\udc00x"])", "[\"a\nb\"]", "[\"a\tb\"]",
        R"([{"fecha":"ok","outro":[1 2]}])",                 // in a member that no column keeps
        R"([{"detalles":{"x" : 1 2}}])",                     // in a nested value that a column keeps
        R"([{"detalles":{"x" : 1,}}])", R"([{"detalles":[1,2,,3]}])", R"([{"detalles":{"a":tru}}])",
        R"([{"fecha":"ok"}, {"fecha":12abc}])", R"([{"codigoCaja":"1", "fecha":"a"}  {"fecha":"b"}])",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        auto t = table(newResendRequestsTable);
        const QString error = message([&] { JsonToDataset(*t, QString::fromUtf8(text)); });
        EXPECT_TRUE(error.startsWith("JsonToDataset(tblJson5): ")) << error.toStdString();
        EXPECT_TRUE(error.contains("the text begins with: ")) << error.toStdString();
        EXPECT_FALSE(t->Active());
        EXPECT_EQ(t->RecordCount(), 0);
    }

    // A table that the caller left open keeps its rows.
    auto t = table(newResendRequestsTable);
    JsonToDataset(*t, R"([{"fecha":"keep"}])");
    EXPECT_THROW(JsonToDataset(*t, "[1, 2 3]"), JsonError);
    ASSERT_EQ(t->RecordCount(), 1);
    EXPECT_EQ(shown(*t, "fecha"), "keep");
}

TEST(JsonToDataset, ErrorSaysWhereAndShowsTheFirst80Characters) {
    auto t = table(newPromotionsTable);
    const QString json = "[{\"id\":1},\n {\"id\":2 \"titulo\":\"x\"}, " + QString(200, ' ') + "{}]";
    const QString error = message([&] { JsonToDataset(*t, json); });
    EXPECT_TRUE(error.contains("at character")) << error.toStdString();
    EXPECT_TRUE(error.contains(R"(the text begins with: [{"id":1},  {"id":2 "titulo":"x"}, )")) << error.toStdString();
    EXPECT_TRUE(error.endsWith("...")) << error.toStdString();
    EXPECT_LT(error.size(), 300);
}

TEST(JsonToDataset, EveryCutOfADocumentIsRefused) {
    const QString document = QString::fromUtf8(
        R"([{"id":1,"titulo":"Promoção","detalles":{"condiciones":{"g":[{"articulos":[{"nombre":"A","codigoBarras":"1"}],)"
        R"("cantidad":2}]},"precio":1.5,"paga":null,"ok":true}},{"id":2,"titulo":"\u00e7","detalles":{}}])");
    auto t = table(newPromotionsTable);
    JsonToDataset(*t, document);
    ASSERT_EQ(t->RecordCount(), 2);
    for (qsizetype length = 1; length < document.size(); ++length) {
        auto cut = table(newPromotionsTable);
        EXPECT_THROW(JsonToDataset(*cut, document.left(length)), JsonError) << document.left(length).toStdString();
        EXPECT_FALSE(cut->Active());
    }
}

TEST(JsonToDataset, BrokenEncodingsAreRefusedAByteOrderMarkIsSkipped) {
    auto t = table(newResendRequestsTable);
    for (const QByteArray& bytes : {QByteArray("[\"\xff\"]"), QByteArray("[\"\xc0\xaf\"]"), QByteArray("[\"\xed\xa0\x80\"]"),
                                    QByteArray("[{\"fecha\":\"\xe2\x82\"}]")}) {
        EXPECT_THROW(JsonToDatasetUtf8(*t, bytes), JsonError) << bytes.toHex().toStdString();
        EXPECT_FALSE(t->Active());
    }
    JsonToDatasetUtf8(*t, QByteArray("[{\"fecha\":\"\xe2\x82\xac\"}]"));
    EXPECT_EQ(shown(*t, "fecha"), QString::fromUtf8("€"));

    // A byte-order mark before the array is ignored (Qt drops it from texts too).
    JsonToDatasetUtf8(*t, QByteArray("\xEF\xBB\xBF[{\"fecha\":\"bom\"}]"));
    EXPECT_EQ(shown(*t, "fecha"), "bom");
    EXPECT_THROW(JsonToDatasetUtf8(*t, QByteArray("\xEF\xBB\xBF")), JsonError);
    EXPECT_THROW(JsonToDatasetUtf8(*t, QByteArray("[\xEF\xBB\xBF]")), JsonError);

    QString loneSurrogate = R"([{"fecha":"a)";
    loneSurrogate += QChar(char16_t(0xD800));
    loneSurrogate += R"("}])";
    auto u = table(newResendRequestsTable);
    const QString error = message([&] { JsonToDataset(*u, loneSurrogate); });
    EXPECT_TRUE(error.contains("character 13")) << error.toStdString();
    EXPECT_FALSE(u->Active());
}

TEST(JsonToDataset, NestingIsLimitedTo256Levels) {
    auto nested = [](int levels) { return QString(levels, '[') + QString(levels, ']'); };
    auto t = table(newPromotionsTable);
    JsonToDataset(*t, nested(256));
    EXPECT_EQ(t->RecordCount(), 1);
    JsonToDataset(*t, R"([{"detalles":)" + nested(254) + "}]");
    EXPECT_EQ(t->FieldByName("detalles").AsString(), nested(254));

    for (const QString& deep : {nested(257), nested(10000), R"([{"detalles":)" + nested(10000) + "}]",
                                R"([{"outro":)" + nested(255) + "}]",
                                QString(10000, '[') /* and never closed */}) {
        auto d = table(newPromotionsTable);
        const QString error = message([&] { JsonToDataset(*d, deep); });
        EXPECT_TRUE(error.startsWith("JsonToDataset(tblJson1): ")) << error.left(200).toStdString();
        EXPECT_FALSE(d->Active());
    }
}

TEST(JsonToDataset, FiftyMegabyteDocuments) {
    // 100,000 promotions of about 500 bytes.
    QByteArray big = "[";
    const QByteArray element =
        R"({"id":123456,"titulo":"Leve 3 pague 2 em toda a linha de cafés especiais da loja","descripcion":"x",)"
        R"("tipo":"Lleva_paga","autor":{"nombre":"Ana"},"vigenciaDesde":"2024-01-01T00:00:00.000-03:00",)"
        R"("vigenciaHasta":"2024-12-31T23:59:59.000-03:00","limitePromocionesPorTicket":2,"detalles":{"condiciones":)"
        R"({"g":[{"articulos":[{"nombre":"Café","codigoBarras":"7891000100103"}],"cantidad":3}]},"beneficios":{"g":)"
        R"([{"articulos":[{"nombre":"Café","codigoBarras":"7891000100103"}],"cantidad":1}]},"precio":0,"paga":2}})";
    const int count = 50 * 1024 * 1024 / (element.size() + 1);
    big.reserve(static_cast<qsizetype>(count) * (element.size() + 1) + 2);
    for (int i = 0; i < count; ++i) {
        if (i) big += ',';
        big += element;
    }
    big += ']';
    auto t = table(newPromotionsTable);
    JsonToDatasetUtf8(*t, big);
    EXPECT_EQ(t->RecordCount(), count);
    t->Last();
    EXPECT_EQ(shown(*t, "id"), "123456");

    big.chop(1);  // cut short
    auto cut = table(newPromotionsTable);
    EXPECT_THROW(JsonToDatasetUtf8(*cut, big), JsonError);
    EXPECT_FALSE(cut->Active());

    // One 50 MB string: whole in a long-text column, cut in a text column.
    QByteArray huge = R"([{"titulo":")" + QByteArray(50 * 1024 * 1024, 'a') + R"(","detalles":")" +
                      QByteArray(1000, 'b') + R"("}])";
    JsonToDatasetUtf8(*t, huge);
    EXPECT_EQ(t->FieldByName("titulo").AsString(), QString(100, 'a'));
    EXPECT_EQ(t->FieldByName("detalles").AsString().size(), 1000);
}

TEST(JsonToDataset, FillRedrawsViewsOnce) {
    auto t = table(newResendRequestsTable);
    int aboutToReset = 0, reset = 0, inserted = 0;
    std::vector<int> current;
    QObject::connect(t.get(), &QAbstractItemModel::modelAboutToBeReset, [&] { ++aboutToReset; });
    QObject::connect(t.get(), &QAbstractItemModel::modelReset, [&] { ++reset; });
    QObject::connect(t.get(), &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
    QObject::connect(t.get(), &TMemTable::currentRowChanged, [&](int row) { current.push_back(row); });

    JsonToDataset(*t, R"([{"fecha":"2023-03-15","codigoCaja":"2"},{"fecha":"2023-03-16"}])");
    EXPECT_EQ(aboutToReset, 1);
    EXPECT_EQ(reset, 1);
    EXPECT_EQ(inserted, 0);
    EXPECT_EQ(current, std::vector<int>{0});
    ASSERT_EQ(t->rowCount(), 2);
    EXPECT_EQ(t->data(t->index(0, 1)).toString(), "2");
    EXPECT_EQ(t->data(t->index(1, 0)).toString(), "2023-03-16");

    EXPECT_THROW(JsonToDataset(*t, "[1,"), JsonError);  // a refused text touches no view
    EXPECT_EQ(reset, 1);
}

}  // namespace
