#include "support/Errors.h"
#include "support/frmFunczyr.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

using F = Funcoes_da_ZYR;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
} // namespace

TEST(RoundZYR, TiesGoToEvenAfterScaling) {
    struct Case {
        double value;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {0.125, 2, "0.12"},  {0.135, 2, "0.14"}, {1.125, 2, "1.12"},     {1.375, 2, "1.38"},
        {-0.125, 2, "-0.12"}, {12.3456, 2, "12.35"}, {10.0 / 3, 2, "3.33"}, {-10.0 / 3, 2, "-3.33"},
        {2.675, 2, "2.68"}, {19.99, 2, "19.99"}, {0.0, 2, "0"},          {1234.5678, 3, "1234.568"},
        {2.5, 0, "2"},       {3.5, 0, "4"},      {-2.5, 0, "-2"},         {-3.5, 0, "-4"},
        {0.5, 0, "0"},       {1.5, 0, "2"},      {2.5, -1, "2"},          {7.6, -3, "8"},
    };
    // 2.675 scales to 26.75 and then exactly 267.5: each x10 step is a rounded
    // double, so the tie goes to 268 (one x100 step would give 267.49999...).
    for (const auto& c : cases)
        EXPECT_EQ(F::Formata_Valor_para_Sql(F::RoundZYR(c.value, c.decimals)), QString::fromLatin1(c.expected))
            << c.value << " to " << c.decimals;
}

TEST(RoundZYR, ScaledValueOutsideInt64Fails) {
    for (const auto& [value, decimals] :
         {std::pair{kNaN, 2}, {kInf, 0}, {-kInf, 2}, {1e19, 0}, {1e17, 2}, {9.3e18, 0}, {-9.3e18, 0}, {1.0, 400}}) {
        try {
            (void)F::RoundZYR(value, decimals);
            ADD_FAILURE() << "no error for " << value << " to " << decimals;
        } catch (const AppError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid floating point operation"));
        }
    }
    EXPECT_EQ(F::RoundZYR(-9223372036854775808.0, 0), -9223372036854775808.0);
}

TEST(StrZero, ExactlyQuantidadeCharacters) {
    struct Case {
        int code;
        int width;
        const char* expected;
    };
    const Case cases[] = {
        {7, 2, "07"},   {5, 4, "0005"}, {2023, 4, "2023"}, {12345, 3, "345"}, {-5, 3, "0-5"},
        {-5, 2, "-5"},  {-5, 1, "5"},   {9, 0, ""},        {9, -1, ""},       {0, 1, "0"},
        {INT_MIN, 12, "0-2147483648"},  {950, 4, "0950"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(F::StrZero(c.code, c.width), QString::fromLatin1(c.expected)) << c.code << "," << c.width;
}

TEST(FloatToInt, TruncatesTowardZero) {
    const std::pair<double, int> cases[] = {{9.5, 9},   {-2.7, -2}, {0.4, 0}, {-0.4, 0},
                                            {2147483647.9, INT_MAX}, {-2147483648.5, INT_MIN}};
    for (const auto& [value, expected] : cases) EXPECT_EQ(F::FloatToInt(value), expected) << value;
}

TEST(FloatToInt, OutsideThe32BitRangeFailsWithTheText) {
    const std::pair<double, const char*> cases[] = {
        {3e9, "3000000000"}, {2147483648.0, "2147483648"}, {-2147483649.0, "-2147483649"},
        {1e15, "1E15"},      {kNaN, "NAN"},                {-kInf, "-INF"}};
    for (const auto& [value, text] : cases) {
        try {
            (void)F::FloatToInt(value);
            ADD_FAILURE() << "no error for " << value;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(text)));
        }
    }
}

TEST(FormataValorParaSql, FifteenDigitsPlainOrScientific) {
    const std::pair<double, const char*> cases[] = {
        {12.5, "12.5"},
        {3.0, "3"},
        {-0.75, "-0.75"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-1.0 / 3, "-0.333333333333333"},
        {0.0001, "0.0001"},
        {0.000123, "0.000123"},
        {0.00001, "1E-5"},
        {-0.0000123, "-1.23E-5"},
        {0.00009999999999999999, "0.0001"}, // rounds up to the plain range
        {100.0, "100"},
        {1e14, "100000000000000"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.9, "1E15"}, // rounds up to the scientific range
        {1e15, "1E15"},
        {1.5e20, "1.5E20"},
        {-1.5e20, "-1.5E20"},
        {123456789012345678.0, "1.23456789012346E17"},
        {0.0, "0"},
        {-0.0, "0"},
        {5e-324, "4.94065645841247E-324"},
        {1.7976931348623157e308, "1.79769313486232E308"},
        {kInf, "INF"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(F::Formata_Valor_para_Sql(value), QString::fromLatin1(expected)) << value;
}

TEST(FormataValorParaSql, GeneralTextUsesTheRegionalSeparator) {
    EXPECT_EQ(F::DecimalSeparator(), QChar(u','));
    EXPECT_EQ(F::FloatToStrGeral(12.5), QStringLiteral("12,5"));
    EXPECT_EQ(F::FloatToStrGeral(1.5e20), QStringLiteral("1,5E20"));
    EXPECT_EQ(F::Formata_Valor_para_Sql(12.5), QStringLiteral("12.5"));
}

namespace {
// Leaves digits on the stack where the next call's buffers will be.
[[gnu::noinline]] void dirtyStack() {
    volatile char junk[4096];
    for (auto& c : junk) c = '9';
}
} // namespace

TEST(FormataValorParaSql, WholeNumbersDoNotDependOnLeftoverStackBytes) {
    for (double v : {3.0, 4.0, 2.0, 125.0}) {
        dirtyStack();
        EXPECT_EQ(F::Formata_Valor_para_Sql(v), QString::number(v, 'f', 0));
    }
}
