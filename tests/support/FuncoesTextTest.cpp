#include "support/Platform.h"
#include "support/frmFunczyr.h"
#include "fixtures/TestPaths.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

using F = Funcoes_da_ZYR;

namespace {
QString s(const char16_t* text) { return QString::fromUtf16(text); }
} // namespace

TEST(TrocaLetra, ReplacesEveryMatchingCharacter) {
    struct Case {
        const char16_t* in;
        const char16_t* from;
        const char16_t* to;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"aaa", u"a", u"bb", u"bbbbbb"}, {u"12,50", u",", u".", u"12.50"}, {u"a'b'c", u"'", u"", u"abc"},
        {u"abc", u"ab", u"x", u"abc"},   {u"abc", u"", u"x", u"abc"},      {u"Aa", u"a", u"x", u"Ax"},
        {u"", u"a", u"x", u""},          {u"ção", u"ç", u"c", u"cão"},     {u"1.234,5", u".", u"", u"1234,5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(F::TrocaLetra(s(c.in), s(c.from), s(c.to)), s(c.expected)) << QString::fromUtf16(c.in).toStdString();
}

TEST(TemPalavraNoTexto, AsciiCaseBlindSubstring) {
    struct Case {
        const char16_t* word;
        const char16_t* text;
        bool found;
    };
    const Case cases[] = {
        {u"credito", u"CARTAO CREDITO", true}, {u"Credito", u"CreditoParcelado", true},
        {u"Crédito", u"CRÉDITO", false},       {u"crédito", u"CRéDITO", true},
        {u"", u"x", true},                     {u"x", u"", false},
        {u"", u"", false},                     {u"DEBITO", u"CARTAO CREDITO", false},
        {u"TO", u"CREDITO", true},             {u"CREDITOS", u"CREDITO", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(F::Tem_Palavra_no_Texto(s(c.word), s(c.text)), c.found)
            << s(c.word).toStdString() << " in " << s(c.text).toStdString();
}

TEST(AsciiCase, OnlyTheTwentySixLettersChange) {
    EXPECT_EQ(F::AsciiUpper(s(u"ação Zz é ı")), s(u"AçãO ZZ é ı"));
    EXPECT_EQ(F::AsciiLower(s(u"AÇÃO zZ É İ")), s(u"aÇÃo zz É İ"));
}

TEST(InverteTexto, ReversesCodeUnits) {
    EXPECT_EQ(F::InverteTexto(QString()), QString());
    EXPECT_EQ(F::InverteTexto(s(u"x{a}{b}y")), s(u"y}b{}a{x"));
    const QString pair = s(u"a\U0001F600b");
    const QString reversed = F::InverteTexto(pair);
    ASSERT_EQ(reversed.size(), 4);
    EXPECT_EQ(reversed.at(0), QChar(u'b'));
    EXPECT_EQ(reversed.at(1), pair.at(2)); // the surrogate units swap
    EXPECT_EQ(reversed.at(2), pair.at(1));
}

TEST(Workstation, FolderNameAndSeparator) {
    const QChar sep = platform::separator();
    EXPECT_EQ(F::AjustaContraBarra(QString()), QString(sep));
    EXPECT_EQ(F::AjustaContraBarra(QStringLiteral("dir") + sep), QStringLiteral("dir") + sep);
    EXPECT_EQ(F::AjustaContraBarra(QStringLiteral("dir")), QStringLiteral("dir") + sep);

    EXPECT_EQ(F::Path_Do_Executavel(), platform::baseDir());
    EXPECT_TRUE(F::Path_Do_Executavel().endsWith(sep));

    const QString name = F::Nome_do_pc();
    EXPECT_EQ(name, platform::computerName());
    EXPECT_LE(name.size(), 15);
}

TEST(ClearMemoryPc, RunsNothingThatIsWaiting) {
    F::Clear_memory_pc(); // no application object yet
    int argc = 1;
    char arg0[] = "test_support";
    char* argv[] = {arg0, nullptr};
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance()) app.emplace(argc, argv);
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    F::Clear_memory_pc();
    EXPECT_FALSE(ran); // a command waiting must not run inside the task that trims
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran); // it was waiting, and runs when the loop comes to it
}
