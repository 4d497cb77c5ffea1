// The request frame's pure functions: authorization, base URL choice and
// failover, reply classification, document values and endpoint paths.
#include "api/RequestFrame.h"

#include <gtest/gtest.h>

#include <limits>

using namespace api;

TEST(Autentica, Base64OfWindows1252Credentials) {
    struct Case {
        QString user, password, expected;
    };
    const Case cases[] = {
        {"", "", "Basic Og=="}, // just ":"
        {"loja", "s3nha", "Basic bG9qYTpzM25oYQ=="},
        {QString::fromUtf8("josé"), "senha", "Basic am9z6TpzZW5oYQ=="},            // é is one byte, 0xE9
        {"loja", QString::fromUtf8("€uro✓"), "Basic bG9qYTqAdXJvPw=="}, // € is 0x80, ✓ becomes "?"
    };
    for (const auto& c : cases) EXPECT_EQ(Autentica(c.user, c.password), c.expected) << c.user.toStdString();
}

TEST(BaseUrl, ChoiceTable) {
    const UrlsBase none;
    const UrlsBase onlyFirst{"http://a/", "", "", ""};
    const UrlsBase all{"http://a/", "http://b/", "http://c/", "http://d/"};
    struct Case {
        int index;
        UrlsBase urls;
        QString expected;
    };
    const Case cases[] = {
        {1, none, "http://127.0.0.1:8080/"}, // only index 1 falls back to the default
        {1, onlyFirst, "http://a/"},
        {2, none, ""},
        {3, onlyFirst, "http://a/"},
        {4, onlyFirst, "http://a/"},
        {1, all, "http://a/"},
        {2, all, "http://b/"},
        {3, all, "http://c/"},
        {4, all, "http://d/"},
    };
    for (const auto& c : cases) EXPECT_EQ(coleta_Url_Base(c.index, c.urls), c.expected) << "index " << c.index;
}

TEST(BaseUrl, FailoverCyclesOnlyOnServerFailures) {
    const UrlsBase all{"http://a/", "http://b/", "http://c/", "http://d/"};
    int index = 1;
    QStringList used;
    for (int status : {500, 408, 500, 408}) {
        index = trata_erro_url(index, status);
        used << coleta_Url_Base(index, all);
    }
    EXPECT_EQ(index, 1);
    EXPECT_EQ(used, QStringList({"http://b/", "http://c/", "http://d/", "http://a/"}));

    for (int status : {200, 201, 208, 400, 401, 404, 502, 0}) {
        EXPECT_EQ(trata_erro_url(3, status), 3) << status;
    }
}

TEST(ReplyClassification, MessagesAndSuccess) {
    struct Case {
        int status;
        bool success;
        QString message;
    };
    const Case cases[] = {
        {200, true, "200: Ok"},
        {208, true, "208: Ok"},
        {201, false, "201: erro nao catalogado"},
        {400, false, "400: os dados enviados estao incorretos"},
        {401, false, QString::fromUtf8("401: não tem permissão suficientes para executar a operação")},
        {404, false, "404: erro nao catalogado"},
        {408, false, "408: erro de processamento no servidor, tipicamente um erro inesperado"},
        {500, false, "500: erro de processamento no servidor, tipicamente um erro inesperado"},
    };
    for (const auto& c : cases) {
        const RetornoClassificado r = classifica_retorno(c.status);
        EXPECT_EQ(r.sucesso, c.success) << c.status;
        EXPECT_EQ(r.mensagem, c.message);
    }
}

TEST(FormatVlrKorv, TwoDecimalsHalfAwayFromZeroOnFifteenDigits) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {45.6, "45.60"},
        {0, "0.00"},
        {-0.0, "0.00"},
        {1234.567, "1234.57"},
        {0.125, "0.13"},
        {-0.125, "-0.13"},
        {-12.3, "-12.30"},
        {1.005, "1.01"}, // 1.00499999999999989... is 1.00500000000000 at 15 digits
        {2.675, "2.68"},
        {0.005, "0.01"},
        {0.0049, "0.00"},
        {-0.001, "0.00"}, // no "-" on a zero
        {9.995, "10.00"},
        {0.999, "1.00"},
        {123456789012.345, "123456789012.35"},
        {1234567.891, "1234567.89"},
        {1e20, "100000000000000000000.00"},
        {1e-300, "0.00"},
    };
    for (const auto& c : cases) EXPECT_EQ(format_vlr_korv("00", c.value), c.expected) << c.value;
}

TEST(FormatVlrKorv, DecimalsFollowTheFormatAndSpecialValues) {
    EXPECT_EQ(format_vlr_korv("", 45.6), "46");
    EXPECT_EQ(format_vlr_korv("", -0.5), "-1");
    EXPECT_EQ(format_vlr_korv("000", 45.6), "45.600");
    EXPECT_EQ(format_vlr_korv("0", 0.05), "0.1");
    EXPECT_EQ(format_vlr_korv("00", std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(format_vlr_korv("00", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(format_vlr_korv("00", -std::numeric_limits<double>::infinity()), "-INF");
}

TEST(TrataAscEspecial, CleansQuotesBackslashesAndCarriageReturns) {
    EXPECT_EQ(Trata_asc_especial(QString::fromUtf8("CAFE \"PILAO\" 1\\2\r\nKG\tÇ")),
              QString::fromUtf8("CAFE PILAO 1/2\nKG\tÇ"));
    EXPECT_EQ(Trata_asc_especial("plain"), "plain");
    EXPECT_EQ(Trata_asc_especial("\"\r\\"), "/");
}

TEST(EndpointPaths, JoinedAsTheyStand) {
    EXPECT_EQ(pathMovimientos("12", "7", "3"), "api-minoristas/api/v2/minoristas/12/locales/7/cajas/3/movimientos");
    EXPECT_EQ(pathCierresDiarios("12", "7", "3"),
              "api-minoristas/api/v2/minoristas/12/locales/7/cajas/3/cierresDiarios");
    EXPECT_EQ(pathPromociones("12", "7"), "pmkt-rest-api/minoristas/12/locales/7/promocionesConLimitePorTicket");
    EXPECT_EQ(pathSolicitudesMovimientos("12", "7"),
              "api-minoristas/api/v2/minoristas/12/locales/7/solicitudes/movimientos");
    EXPECT_EQ(pathSolicitudesCierresDiarios("a b", ""),
              "api-minoristas/api/v2/minoristas/a b/locales//solicitudes/cierresDiarios");
}
