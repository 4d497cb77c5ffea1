// The row builders and checks of the promotion import, without a database.

#include "sync/PromocaoLinhas.h"

#include <gtest/gtest.h>

#include <QList>
#include <QPair>

using namespace promocao;

TEST(PromocaoLinhas, KindIsTheFirstOfTheSixWordsFoundCaseBlind) {
    const QList<QPair<QString, QString>> casos = {
        {"Descuento_Fijo", "desconto_fixo"},
        {"Descuento_Fijo_Especial", "desconto_fixo"},
        {"descuento_fijo", "desconto_fixo"},
        {"PRECIO_FIJO", "preco_fixo"},
        {"Lleva_paga", "leva_paga"},
        {"Adicional_descuento", "adicional_desconto"},
        {"Adicional_regalo", "adicional_regalo"},
        {"Descuento_Variable", "desconto_variavel"},
        {"Precio_fijo o Descuento_Fijo", "desconto_fixo"}, // the table's order decides
        {"Outra coisa", ""},
        {"", ""},
    };
    for (const auto& [tipo, esperado] : casos) EXPECT_EQ(tipoPromocao(tipo), esperado) << tipo.toStdString();
}

TEST(PromocaoLinhas, AuthorFromAnObjectOrAPlainString) {
    EXPECT_EQ(autorPromocao(R"({"nombre":"Compras"})"), "Compras");
    EXPECT_EQ(autorPromocao("Compras"), "Compras");
    EXPECT_EQ(autorPromocao(""), "");
}

TEST(PromocaoLinhas, ValidityAsMonthFirstDateTimeText) {
    EXPECT_EQ(vigenciaSql("2023-03-01T08:30:00.000-03:00"), "03/01/2023 08:30:00");
    EXPECT_EQ(vigenciaSql("2026-12-31T23:59:59"), "12/31/2026 23:59:59");
}

TEST(PromocaoLinhas, LimitIsZeroFollowedByTheValue) {
    EXPECT_EQ(limitePorTicket("3"), "03");
    EXPECT_EQ(limitePorTicket(""), "0");
}

TEST(PromocaoLinhas, OnlyWholeIdsRealDateTimesAndWholeLimitsPass) {
    const QString ok = "2026-01-01T00:00:00";
    struct Caso {
        QString id, desde, ate, limite;
        bool aceita;
    };
    const QList<Caso> casos = {
        {"7", ok, ok, "", true},
        {"1234567890", "2023-03-01T08:30:00.000-03:00", "2023-03-01T08:30:00Z", "3", true},
        {"7", "2023-03-01T08:30:00.123456789-0", ok, "", true}, // a fraction and zone cut by the column
        {"-7", ok, ok, "", true},
        {"", ok, ok, "", false},
        {"12345678901", ok, ok, "", false},
        {"1.5", ok, ok, "", false},
        {"1e3", ok, ok, "", false},
        {"7 or 1=1", ok, ok, "", false},
        {"7;", ok, ok, "", false},
        {"7", "", ok, "", false},
        {"7", ok, "", "", false},
        {"7", "2026-02-30T00:00:00", ok, "", false},
        {"7", "2026-01-01T24:00:00", ok, "", false},
        {"7", "2026-01-01 00:00:00", ok, "", false},
        {"7", "01/01/2026 00:00:00", ok, "", false},
        {"7", "2026-01-01T00:00:00' or '1'='1", ok, "", false},
        {"7", ok, "2026-01-01T00:00:00.000-03:00 x", "", false},
        {"7", ok, ok, "-1", false},
        {"7", ok, ok, "1 or 1", false},
        {"7", ok, ok, "123456", false},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(problemaDaPromocao(c.id, c.desde, c.ate, c.limite).isEmpty(), c.aceita)
            << c.id.toStdString() << " " << c.desde.toStdString() << " " << c.ate.toStdString() << " "
            << c.limite.toStdString();
}

TEST(PromocaoLinhas, RefusalNamesTheMemberAndTheValue) {
    const QString p = problemaDaPromocao("7", "2026-02-30T00:00:00", "2026-01-01T00:00:00", "");
    EXPECT_TRUE(p.contains("vigenciaDesde")) << p.toStdString();
    EXPECT_TRUE(p.contains("2026-02-30T00:00:00")) << p.toStdString();
}

TEST(PromocaoLinhas, FixedPriceDividedTiesToEvenOtherKindsUnchanged) {
    EXPECT_DOUBLE_EQ(precoDoItem("preco_fixo", 10, 3), 3.33);
    EXPECT_DOUBLE_EQ(precoDoItem("preco_fixo", 10, 4), 2.5);
    EXPECT_DOUBLE_EQ(precoDoItem("preco_fixo", 0.25, 2), 0.12);
    EXPECT_DOUBLE_EQ(precoDoItem("preco_fixo", 10, 0), 10);
    EXPECT_DOUBLE_EQ(precoDoItem("desconto_fixo", 10, 3), 10);
    EXPECT_DOUBLE_EQ(precoDoItem("", 10, 3), 10);
}

TEST(PromocaoLinhas, PromotionPairsInOrderWithTextsCut) {
    LinhaPromocao l{"7", QString(60, 'T'), "Desc", "preco_fixo", "03/01/2023 08:30:00", "03/31/2023 23:59:59",
                    "Compras", "36005", "03"};
    const QStringList esperado = {"id_prom",   "7",          "tit_prom",   QString(50, 'T'),      "desc_prom",
                                  "Desc",      "tipo_prom",  "preco_fixo", "vig_in_dh",           "03/01/2023 08:30:00",
                                  "vig_out_dh", "03/31/2023 23:59:59", "autor_prom", "Compras", "Atv_prom",
                                  "T",         "id_sinc",    "36005",      "lim_por_ticket",      "03"};
    EXPECT_EQ(paresPromocao(l), esperado);
    EXPECT_EQ(condicaoPromocao("7").text(), "id_prom=?");
    EXPECT_EQ(condicaoPromocao("7").values(), QStringList{"7"});
}

TEST(PromocaoLinhas, ItemPairsAndKeyWithTheBarcodeAsItIs) {
    LinhaItem l{"7", "condicao", 3.33, 1.5, 0, 3, QString(60, 'N'), "78'9"};
    const QStringList esperado = {"id_prom",   "7",    "tipo_item",    "condicao",       "preco_prom",
                                  "3.33",      "desc_prom", "1.5",     "paga_prom",      "0",
                                  "qtd_prom",  "3",    "nom_pro_prom", QString(50, 'N'), "cod_bar_prom",
                                  "78'9",      "cod_red_prom", "0"};
    EXPECT_EQ(paresItem(l), esperado);
    EXPECT_EQ(condicaoItem("7", "78'9", "condicao").text(), "id_prom=? and cod_bar_prom=? and tipo_item=?");
    EXPECT_EQ(condicaoItem("7", "78'9", "condicao").values(), QStringList({"7", "78'9", "condicao"}));
}
