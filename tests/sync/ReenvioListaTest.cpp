// Taking the list out of a resend reply, and checking one request.

#include "sync/ReenvioLista.h"

#include "support/Errors.h"

#include <QList>
#include <QPair>

#include <gtest/gtest.h>

using namespace reenvio;

TEST(ReenvioLista, ListFromArrayObjectOrTheTextBetweenBraces) {
    const QList<QPair<QString, QString>> casos = {
        {R"([{"fecha":"2023-03-15","codigoCaja":"2"}])", R"([{"fecha":"2023-03-15","codigoCaja":"2"}])"},
        {"[]", "[]"},
        // An object gives its first member that holds an array.
        {R"({"total":1,"solicitudes":[{"fecha":"2023-03-15","codigoCaja":"2"}],"otras":[]})",
         R"([{"fecha":"2023-03-15","codigoCaja":"2"}])"},
        {R"({"solicitudes":[]})", "[]"},
        // Not JSON: the text strictly between the first "{" and the last "}".
        {R"(lista: {[{"fecha":"2023-03-15"}]} fim)", R"([{"fecha":"2023-03-15"}])"},
        // JSON of another shape goes the same way and reaches the adapter as it is cut.
        {R"({"fecha":"2023-03-15"})", R"("fecha":"2023-03-15")"},
        {"sem chaves", "sem chaves"},
    };
    for (const auto& [resposta, lista] : casos)
        EXPECT_EQ(listaDeSolicitacoes(resposta), lista) << resposta.toStdString();
}

TEST(ReenvioLista, NothingToReadIsAnError) {
    for (const QString& resposta : {QString(), QStringLiteral("  \r\n"), QStringLiteral("{}"), QStringLiteral("{ }")})
        EXPECT_THROW((void)listaDeSolicitacoes(resposta), AppError) << resposta.toStdString();
}

TEST(ReenvioLista, DeepNestingIsRefusedWithoutACrash) {
    const QString fundo = QString(10'000, u'[') + QString(10'000, u']');
    EXPECT_THROW((void)listaDeSolicitacoes(fundo), AppError);
    EXPECT_THROW((void)listaDeSolicitacoes(QStringLiteral(R"({"solicitudes":)") + fundo + u'}'), AppError);
    // Not JSON (unbalanced): cut at the braces, for the adapter to refuse.
    const QString objetos = QString(10'000, u'{') + QString(10'000, u'}');
    EXPECT_EQ(listaDeSolicitacoes(objetos), QString(9'999, u'{') + QString(9'999, u'}'));
}

TEST(ReenvioLista, OnlyRealDaysAndWholeRegistersPass) {
    struct Caso {
        QString fecha, caixa;
        bool aceita;
    };
    const QList<Caso> casos = {
        {"2023-03-15", "2", true},    {"2024-02-29", "12345", true}, {"2023-03-15", "02", true},
        {"2023-02-29", "2", false},   {"2023-13-01", "2", false},    {"15/03/2023", "2", false},
        {"", "2", false},             {"2023-03-15", "", false},     {"2023-03-15", "2 or 1=1", false},
        {"2023-03-15", "-2", false},  {"2023-03-15", "2.0", false},  {"2023-03-15", "123456", false},
        {"0000-01-01", "2", false},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(problemaDaSolicitacao(c.fecha, c.caixa).isEmpty(), c.aceita)
            << c.fecha.toStdString() << " / " << c.caixa.toStdString();
}

TEST(ReenvioLista, DayTextAndRegister) {
    EXPECT_EQ(diaDaSolicitacao("2023-03-15"), "15/03/2023");
    EXPECT_EQ(caixaDaSolicitacao("02"), "2");
}
