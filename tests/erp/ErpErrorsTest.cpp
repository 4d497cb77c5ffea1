// Bad input reaches the caller as an error with Firebird's own message and the
// database name: a missing table or column, a value the column refuses, a
// typed field list the result does not meet, a database that does not exist,
// a server that does not answer.

#include "support/fixtures/ErpDatabase.h"

#include "erp/FbError.h"
#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs f, which must throw E, and returns the error's message.
template <typename E>
QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.message();
    }
    ADD_FAILURE() << "no error was raised";
    return {};
}

class ErpErrors : public ::testing::Test {
protected:
    void connect() {
        dtm.setPathBancoDolvex(db.path());
        dtm.dtmConectDolvex(true);
    }
    void expectMentions(const QString& message, const QStringList& parts) {
        for (const QString& part : parts)
            EXPECT_TRUE(message.contains(part, Qt::CaseInsensitive))
                << "'" << part.toStdString() << "' missing from: " << message.toStdString();
    }

    ErpDatabase db{ErpDatabase::Content::Demo};
    TdtmApi dtm;
};

TEST_F(ErpErrors, SqlErrorsCarryFirebirdsMessageTheDatabaseAndTheStatement) {
    connect();
    expectMentions(errorOf<DatabaseError>([&] { dtm.SelectFile("1", "tabela_x", {{"id", "=", "1"}}); }),
                   {"Table unknown", "TABELA_X", db.path(), "Select * From tabela_x Where ( id=? )"});
    expectMentions(errorOf<DatabaseError>([&] {
                       dtm.UPDATEFILE_Matriz("Cupom_fiscal", {{"nro_cupom", "=", "1"}}, {"coluna_x", "1"});
                   }),
                   {"Column unknown", "COLUNA_X", db.path()});
    // A value the column refuses: Firebird's message and the values as bound.
    expectMentions(errorOf<DatabaseError>([&] {
                       dtm.INSERTFILE("Korvanta_promo", {"id_prom", "9", "vig_in_dh", "// "});
                   }),
                   {"conversion error", "// ", db.path(), "Parameters: '9', '// '"});
    expectMentions(errorOf<DatabaseError>([&] { dtm.SelectFile("1", "Korvanta_promo", {{"id_prom", "=", "1 or 1=1"}}); }),
                   {"conversion error", "1 or 1=1", db.path()});
    // The connection survives its statement errors.
    EXPECT_TRUE(dtm.SelectFile("1", "Korvanta_promo", {{"id_prom", "=", "101"}}));
}

TEST_F(ErpErrors, TypedFieldListsAreCheckedWhenTheStatementOpens) {
    db.execScript("alter table cupom_fiscal drop cpf_cli;"
                  "alter table mercadorias drop nom_mer;"
                  "alter table mercadorias add nom_mer integer;");
    connect();
    const QDate day(2025, 12, 8);
    dtm.qryCupom().setStatement(
        sqltexts::ticketStatement(*sqltexts::ticketModeCondition("Pendentes-1", day), 1, false));
    expectMentions(errorOf<DatabaseError>([&] { dtm.qryCupom().Open(); }),
                   {"CPF_CLI", "qryCupom", "missing", db.path()});
    EXPECT_FALSE(dtm.qryCupom().Active());

    db.execScript("alter table cupom_fiscal add cpf_cli varchar(18);"
                  "alter table cupom_fiscal drop vlr_tro;"
                  "alter table cupom_fiscal add vlr_tro double precision;");
    dtm.dtmConectDolvex(true);
    expectMentions(errorOf<DatabaseError>([&] { dtm.qryCupom().Open(); }),
                   {"VLR_TRO", "DOUBLE PRECISION", "numeric"});

    dtm.qryItensCupom().setParams(sqltexts::itemParams(2936, 1, day));
    expectMentions(errorOf<DatabaseError>([&] { dtm.qryItensCupom().Open(); }),
                   {"NOM_MER", "INTEGER", "text"});

    // The cancellation statement still opens: its fields are all there.
    dtm.qryCupomDelete().setStatement(
        sqltexts::cancellationStatement(*sqltexts::cancellationModeCondition("Pendentes-1", day), 1, false));
    dtm.qryCupomDelete().Open();
    EXPECT_FALSE(dtm.qryCupomDelete().Eof());
}

TEST_F(ErpErrors, ADatabaseThatDoesNotExist) {
    const QString missing = db.folder() + QStringLiteral("/no-such-folder/erp.fdb");
    dtm.setPathBancoDolvex(missing);
    try {
        dtm.dtmConectDolvex(true);
        FAIL() << "opening a missing database must fail";
    } catch (const ConnectionError& e) {
        EXPECT_EQ(e.databaseName(), missing);
        EXPECT_TRUE(e.message().contains(missing)) << e.message().toStdString();
        EXPECT_FALSE(e.firebirdMessage().isEmpty());
        EXPECT_NE(e.errorCode(), 0);
    }
    EXPECT_FALSE(dtm.dtbDolvex().Connected());
    EXPECT_FALSE(dtm.dtmApiCommit());

    dtm.setPathBancoDolvex(QString());
    EXPECT_THROW(dtm.dtmConectDolvex(true), ConnectionError);

    connect(); // the next opening with a good name works
    EXPECT_TRUE(dtm.SelectFile("1", "Korvanta_promo", {{"id_prom", "=", "101"}}));
}

TEST_F(ErpErrors, AServerThatIsDown) {
    // Nothing listens on this port of the loopback address.
    const QString name = QStringLiteral("127.0.0.1/3059:") + db.path();
    dtm.setPathBancoDolvex(name);
    const QString message = errorOf<ConnectionError>([&] { dtm.dtmConectDolvex(true); });
    expectMentions(message, {name, "network"});
    EXPECT_FALSE(dtm.dtbDolvex().Connected());
}

TEST_F(ErpErrors, ReopeningAfterAFailedOpeningStartsFresh) {
    connect();
    dtm.UPDATEFILE_Matriz("Cupom_fiscal", {{"nro_cupom", "=", "2935"}, {"cod_emp", "=", "1"}}, {"sinc_korvanta", "2"});
    dtm.setPathBancoDolvex(db.folder() + QStringLiteral("/missing.fdb"));
    EXPECT_THROW(dtm.dtmConectDolvex(true), ConnectionError);
    // The old connection was closed by the opening, committing its update first.
    EXPECT_EQ(db.integer("select sinc_korvanta from cupom_fiscal where nro_cupom=2935 and cod_emp=1"), 2);
}

} // namespace
