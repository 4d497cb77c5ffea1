#include "support/Clock.h"
#include "support/Errors.h"
#include "support/frmFunczyr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using F = Funcoes_da_ZYR;

namespace {

const QDateTime kSample(QDate(2023, 3, 5), QTime(14, 7, 9));

struct PatternCase {
    const char* name;
    const char* expected;
};

const PatternCase kPatterns[] = {
    {"HHMMSS", "140709"},         {"HH:MM:SS", "14:07:09"},     {"HH:MM", "14:07"},
    {"HHMM", "1407"},             {"MM:SS", "07:09"},           {"AAAAMMDD", "20230305"},
    {"DDMMAAAA", "05032023"},     {"DDMM", "0503"},             {"AAMM", "2303"},
    {"AAAAMM", "202303"},         {"MMDD", "0305"},             {"DDMMAA", "050323"},
    {"MMAAAA", "032023"},         {"DD/MM/AAAA", "05/03/2023"}, {"DD/MM/AA", "05/03/23"},
    {"MM/DD/AAAA", "03/05/2023"}, {"AAAA-MM-DD", "2023-03-05"}, {"AAAA-DD-MM", "2023-05-03"},
};

// Restores the system clock when a test ends, also on failure.
struct ClockGuard {
    explicit ClockGuard(const QDateTime& t) : clock(t) { setAppClock(&clock); }
    ~ClockGuard() { setAppClock(nullptr); }
    ManualClock clock;
};

} // namespace

TEST(FormataData, EveryPatternFromDateTimeValueAndLowerCaseName) {
    const double value = F::DateTimeToValue(kSample);
    for (const auto& c : kPatterns) {
        const QString name = QString::fromLatin1(c.name);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(F::Formata_Data(kSample, name), QString::fromLatin1(c.expected));
        EXPECT_EQ(F::Formata_Data(value, name), QString::fromLatin1(c.expected));
        EXPECT_EQ(F::Formata_Data(kSample, name.toLower()), QString::fromLatin1(c.expected));
    }
}

TEST(FormataData, UnknownNamesGiveEmptyText) {
    for (const char* name : {"YYYY-MM-DD", "", "HH-MM", "DD/MM/AAAA ", "AAAA", "HHMMSSS"})
        EXPECT_EQ(F::Formata_Data(kSample, QString::fromLatin1(name)), QString()) << name;
    // Only ASCII letters fold: a dotted capital I is no "I".
    EXPECT_EQ(F::Formata_Data(kSample, QStringLiteral("dd/mm/aaaa")), QStringLiteral("05/03/2023"));
}

TEST(FormataData, TimeOfPlainDateAndDroppedMilliseconds) {
    EXPECT_EQ(F::Formata_Data(QDate(2023, 3, 5), QStringLiteral("HH:MM:SS")), QStringLiteral("00:00:00"));
    EXPECT_EQ(F::Formata_Data(44990.0, QStringLiteral("HH:MM:SS")), QStringLiteral("00:00:00"));

    const QDateTime almost(QDate(2023, 3, 5), QTime(14, 7, 9, 999));
    EXPECT_EQ(F::Formata_Data(almost, QStringLiteral("HH:MM:SS")), QStringLiteral("14:07:09"));
    EXPECT_EQ(F::Formata_Data(F::DateTimeToValue(almost), QStringLiteral("HH:MM:SS")),
              QStringLiteral("14:07:09"));
}

TEST(FormataData, FractionOfMillisecondBeforeMidnightIsNextDay) {
    const double day = F::DateToValue(QDate(2023, 3, 5));
    const double lastMs = day + (86400000.0 - 1.0) / 86400000.0;   // 23:59:59.999
    const double nearly = day + (86400000.0 - 0.4) / 86400000.0;   // 23:59:59.9996
    EXPECT_EQ(F::Formata_Data(lastMs, QStringLiteral("AAAA-MM-DD")), QStringLiteral("2023-03-05"));
    EXPECT_EQ(F::Formata_Data(lastMs, QStringLiteral("HH:MM:SS")), QStringLiteral("23:59:59"));
    EXPECT_EQ(F::Formata_Data(nearly, QStringLiteral("AAAA-MM-DD")), QStringLiteral("2023-03-06"));
    EXPECT_EQ(F::Formata_Data(nearly, QStringLiteral("HH:MM:SS")), QStringLiteral("00:00:00"));
    EXPECT_EQ(F::ValueToDateTime(nearly), QDateTime(QDate(2023, 3, 6), QTime(0, 0)));
    // The same before the epoch, where the day counts down.
    const double before = -1.0 - (86400000.0 - 0.4) / 86400000.0; // 29 Dec 1899, nearly midnight
    EXPECT_EQ(F::Formata_Data(before, QStringLiteral("DD/MM/AAAA")), QStringLiteral("30/12/1899"));
}

TEST(FormataData, YearsArePaddedAndCut) {
    EXPECT_EQ(F::Formata_Data(QDate(2005, 7, 4), QStringLiteral("DD/MM/AA")), QStringLiteral("04/07/05"));
    EXPECT_EQ(F::Formata_Data(QDate(950, 7, 4), QStringLiteral("AAAAMMDD")), QStringLiteral("09500704"));
    const double year950 = F::DateTimeToValue(QDateTime(QDate(950, 7, 4), QTime(6, 30, 0)));
    EXPECT_LT(year950, 0);
    EXPECT_EQ(F::Formata_Data(year950, QStringLiteral("AAAAMMDD")), QStringLiteral("09500704"));
    EXPECT_EQ(F::Formata_Data(year950, QStringLiteral("HH:MM")), QStringLiteral("06:30"));
}

TEST(DateTimeValue, KnownValuesAndRoundTrip) {
    EXPECT_EQ(F::DateToValue(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(F::DateTimeToValue(QDateTime(QDate(2023, 3, 5), QTime(12, 0))), 44990.5);
    EXPECT_EQ(F::DateTimeToValue(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
    EXPECT_EQ(F::ValueToDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    EXPECT_EQ(F::ValueToDateTime(-0.5), QDateTime(QDate(1899, 12, 30), QTime(12, 0)));
    for (const QDateTime& t : {kSample, QDateTime(QDate(1, 1, 1), QTime(0, 0)),
                               QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999)),
                               QDateTime(QDate(1850, 6, 1), QTime(18, 45, 30, 250))})
        EXPECT_EQ(F::ValueToDateTime(F::DateTimeToValue(t)), t) << t.toString(Qt::ISODateWithMs).toStdString();
}

TEST(DateTimeValue, ValuesOutsideTheYearsFail) {
    for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -693594.0 - 1, 2958466.0, 1e300}) {
        EXPECT_THROW((void)F::ValueToDateTime(v), AppError) << v;
        EXPECT_THROW((void)F::Formata_Data(v, QStringLiteral("DDMM")), AppError) << v;
    }
    EXPECT_THROW((void)F::DateTimeToValue(QDateTime()), AppError);
}

TEST(NumeroMes, WordChoosesThePart) {
    EXPECT_EQ(F::NumeroMes(kSample, QStringLiteral("mes")), 3);
    EXPECT_EQ(F::NumeroMes(kSample, QStringLiteral("MES")), 3);
    EXPECT_EQ(F::NumeroMes(kSample, QStringLiteral("Ano")), 2023);
    EXPECT_EQ(F::NumeroMes(kSample, QStringLiteral("Dia")), 5);
    EXPECT_EQ(F::NumeroMes(kSample, QStringLiteral("xyz")), 5);
    EXPECT_EQ(F::NumeroMes(44990.99, QStringLiteral("ano")), 2023);
}

TEST(TrocarPosicao, DayFirstTextsBecomeMonthFirst) {
    ClockGuard clock(QDateTime(QDate(2025, 6, 10), QTime(9, 0)));
    const std::pair<const char*, const char*> cases[] = {
        {"05/03/2023", "03/05/2023"}, {"5/3/2023", "03/05/2023"},   {" 05/03/2023 ", "03/05/2023"},
        {"29/02/2024", "02/29/2024"}, {"31/12/9999", "12/31/9999"}, {"01/01/0950", "01/01/0950"},
        {"05/03/23", "03/05/2023"},   {"05/03/80", "03/05/1980"},   {"05/03", "03/05/2025"},   {"05/03/0", "03/05/2000"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(F::TrocarPosicao(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
}

TEST(TrocarPosicao, InvalidTextsFailWithTheirText) {
    for (const char* in : {"31/02/2023", "29/02/2023", "00/03/2023", "05/13/2023", "2023-03-05", "05.03.2023",
                           "aa/bb/cccc", "", "05/03/2023 10:00", "05/03/", "05/03/12345", "5", "05/03/0000"}) {
        try {
            (void)F::TrocarPosicao(QString::fromLatin1(in));
            ADD_FAILURE() << "no error for " << in;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid date").arg(QString::fromLatin1(in)));
        }
    }
}

TEST(Seconds, WholeSecondsOfTheLocalTimeOfDay) {
    ClockGuard clock(QDateTime(QDate(2023, 3, 5), QTime(0, 0, 0, 500)));
    EXPECT_EQ(F::Seconds(), 0);
    clock.clock.set(QDateTime(QDate(2023, 3, 5), QTime(14, 7, 9, 999)));
    EXPECT_EQ(F::Seconds(), 14 * 3600 + 7 * 60 + 9);
    clock.clock.set(QDateTime(QDate(2023, 3, 5), QTime(23, 59, 59, 900)));
    const int lateEvening = F::Seconds();
    EXPECT_EQ(lateEvening, 86399);
    clock.clock.advance(3);
    EXPECT_EQ(F::Seconds(), 2);
    EXPECT_LT(F::Seconds(), lateEvening);
}
