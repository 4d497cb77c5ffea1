#include "support/frmFunczyr.h"

#include <gtest/gtest.h>

using F = Funcoes_da_ZYR;

namespace {
QString s(const char16_t* text) { return QString::fromUtf16(text); }
} // namespace

TEST(StringDelimitador, InicioAndRestoTable) {
    struct Case {
        const char16_t* text;
        const char16_t* delimiter;
        const char16_t* inicio;
        const char16_t* resto;
    };
    const Case cases[] = {
        {u"abc^12,50^x", u"^", u"abc", u"12,50^x"},
        {u"^abc", u"^", u"", u"abc"},
        {u"abc^", u"^", u"abc", u""},
        {u"abc", u"^", u"abc", u"abc"},
        {u"", u"^", u"", u""},
        {u"a:b:c", u"::", u"a:b:c", u"a:b:c"},
        {u"a:b:c", u"", u"a:b:c", u"a:b:c"},
        {u"a^b^c", u"^", u"a", u"b^c"},
        {u"{\"k\":\"a,b\"}", u",", u"{\"k\":\"a", u"b\"}"},
        {u"aXbxc", u"x", u"aXb", u"c"},
    };
    for (const auto& c : cases) {
        const QString text = s(c.text), delimiter = s(c.delimiter);
        SCOPED_TRACE(text.toStdString() + " at " + delimiter.toStdString());
        for (const char16_t* mode : {u"Inicio", u"inicio", u"INICIO"})
            EXPECT_EQ(F::StringDelimitador(text, delimiter, s(mode)), s(c.inicio));
        for (const char16_t* mode : {u"Resto", u"resto", u"RESTO"})
            EXPECT_EQ(F::StringDelimitador(text, delimiter, s(mode)), s(c.resto));
        EXPECT_EQ(F::BuscaStringDelimitador(text, delimiter), s(c.inicio));
        EXPECT_EQ(F::ExtraiStringDelimitador(text, delimiter), s(c.resto));
    }
}

TEST(StringDelimitador, OtherModeWordsGiveEmptyText) {
    for (const char16_t* mode : {u"fim", u"", u"ínicio", u"Início", u"resto "})
        EXPECT_EQ(F::StringDelimitador(s(u"a^b"), s(u"^"), s(mode)), QString()) << s(mode).toStdString();
}

TEST(StringDelimitador, CallerCompositions) {
    // Value of an object's first member.
    const QString reply = s(u"{\"a\":2,\"b\":[1]}");
    const QString first = F::StringDelimitador(reply, s(u"["), s(u"inicio"));
    EXPECT_EQ(first, s(u"{\"a\":2,\"b\":"));
    const QString member = F::StringDelimitador(first, s(u","), s(u"inicio"));
    EXPECT_EQ(member, s(u"{\"a\":2"));
    EXPECT_EQ(F::StringDelimitador(member, s(u":"), s(u"Resto")), s(u"2"));

    // Text between the first "{" and the last "}".
    const QString after = F::StringDelimitador(s(u"x{a}{b}y"), s(u"{"), s(u"Resto"));
    EXPECT_EQ(after, s(u"a}{b}y"));
    const QString reversed = F::InverteTexto(after);
    const QString inner = F::StringDelimitador(reversed, s(u"}"), s(u"Resto"));
    EXPECT_EQ(F::InverteTexto(inner), s(u"a}{b"));

    // The last field of a "^" list comes out by either mode.
    const QString rest = F::StringDelimitador(s(u"PIX^10,00"), s(u"^"), s(u"Resto"));
    EXPECT_EQ(F::StringDelimitador(rest, s(u"^"), s(u"Inicio")), s(u"10,00"));
    EXPECT_EQ(F::StringDelimitador(rest, s(u"^"), s(u"Resto")), s(u"10,00"));
}
