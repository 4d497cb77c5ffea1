// Date-time values and their texts.

#include "support/frmFunczyr.h"

#include "support/Clock.h"
#include "support/Errors.h"

#include <cmath>

namespace {

constexpr qint64 kMsPerDay = 86400000;

QDate epoch() { return QDate(1899, 12, 30); }

struct DateTimeParts {
    QDate date;
    QTime time;
};

// Splits a date-time value after rounding it to the nearest millisecond. The
// integer part is the day; the fraction, taken without its sign, the time of day.
DateTimeParts split(double value) {
    static const qint64 kFirstDay = epoch().daysTo(QDate(1, 1, 1));
    static const qint64 kLastDay = epoch().daysTo(QDate(9999, 12, 31));
    const double day = std::trunc(value);
    if (!std::isfinite(value) || day < double(kFirstDay) || day > double(kLastDay))
        throw AppError(QStringLiteral("The date-time value %1 is not a date of the years 1 to 9999")
                           .arg(value, 0, 'g', 17));
    qint64 ms = std::llround(std::fabs(value - day) * double(kMsPerDay));
    QDate date = epoch().addDays(qint64(day));
    if (ms >= kMsPerDay) { // a fraction of a millisecond before midnight
        date = date.addDays(1);
        ms = 0;
    }
    return {date, QTime::fromMSecsSinceStartOfDay(int(ms))};
}

QString format(const QDate& date, const QTime& time, const QString& Formato) {
    using F = Funcoes_da_ZYR;
    const int day = F::NumeroMes(date, QStringLiteral("Dia"));
    const int month = F::NumeroMes(date, QStringLiteral("Mes"));
    const int year = F::NumeroMes(date, QStringLiteral("Ano"));
    const QTime t = time.isValid() ? time : QTime(0, 0);

    const QString dd = F::StrZero(day, 2);
    const QString mm = F::StrZero(month, 2);
    const QString aaaa = F::StrZero(year, 4);
    const QString aa = aaaa.mid(2, 2);
    const QString hh = F::StrZero(t.hour(), 2);
    const QString mi = F::StrZero(t.minute(), 2);
    const QString ss = F::StrZero(t.second(), 2);
    const QChar colon(u':');
    const QChar slash(u'/');
    const QChar dash(u'-');

    const QString name = F::AsciiUpper(Formato);
    if (name == u"HHMMSS") return hh + mi + ss;
    if (name == u"HH:MM:SS") return hh + colon + mi + colon + ss;
    if (name == u"HH:MM") return hh + colon + mi;
    if (name == u"HHMM") return hh + mi;
    if (name == u"MM:SS") return mi + colon + ss;
    if (name == u"AAAAMMDD") return aaaa + mm + dd;
    if (name == u"DDMMAAAA") return dd + mm + aaaa;
    if (name == u"DDMM") return dd + mm;
    if (name == u"AAMM") return aa + mm;
    if (name == u"AAAAMM") return aaaa + mm;
    if (name == u"MMDD") return mm + dd;
    if (name == u"DDMMAA") return dd + mm + aa;
    if (name == u"MMAAAA") return mm + aaaa;
    if (name == u"DD/MM/AAAA") return dd + slash + mm + slash + aaaa;
    if (name == u"DD/MM/AA") return dd + slash + mm + slash + aa;
    if (name == u"MM/DD/AAAA") return mm + slash + dd + slash + aaaa;
    if (name == u"AAAA-MM-DD") return aaaa + dash + mm + dash + dd;
    if (name == u"AAAA-DD-MM") return aaaa + dash + dd + dash + mm;
    return {};
}

} // namespace

double Funcoes_da_ZYR::DateToValue(const QDate& d) {
    if (!d.isValid()) throw AppError(QStringLiteral("Cannot convert an invalid date to a date-time value"));
    return double(epoch().daysTo(d));
}

double Funcoes_da_ZYR::DateTimeToValue(const QDateTime& dt) {
    if (!dt.isValid())
        throw AppError(QStringLiteral("Cannot convert an invalid date and time to a date-time value"));
    const double day = DateToValue(dt.date());
    const double fraction = double(dt.time().msecsSinceStartOfDay()) / double(kMsPerDay);
    // Before the epoch the day counts down while the time of day still counts up.
    return day < 0 ? day - fraction : day + fraction;
}

QDateTime Funcoes_da_ZYR::ValueToDateTime(double value) {
    const DateTimeParts p = split(value);
    return QDateTime(p.date, p.time);
}

QString Funcoes_da_ZYR::Formata_Data(const QDateTime& DataIn, const QString& Formato) {
    return format(DataIn.date(), DataIn.time(), Formato);
}

QString Funcoes_da_ZYR::Formata_Data(const QDate& DataIn, const QString& Formato) {
    return format(DataIn, QTime(0, 0), Formato);
}

QString Funcoes_da_ZYR::Formata_Data(double DataIn, const QString& Formato) {
    const DateTimeParts p = split(DataIn);
    return format(p.date, p.time, Formato);
}

int Funcoes_da_ZYR::NumeroMes(const QDate& DataIn, const QString& Oque) {
    const QString what = AsciiUpper(Oque);
    if (what == u"MES") return DataIn.month();
    if (what == u"ANO") return DataIn.year();
    return DataIn.day();
}

int Funcoes_da_ZYR::NumeroMes(const QDateTime& DataIn, const QString& Oque) {
    return NumeroMes(DataIn.date(), Oque);
}

int Funcoes_da_ZYR::NumeroMes(double DataIn, const QString& Oque) {
    return NumeroMes(split(DataIn).date, Oque);
}

int Funcoes_da_ZYR::Seconds() {
    const QTime t = appClock().now().time();
    return t.hour() * 3600 + t.minute() * 60 + t.second();
}

QString Funcoes_da_ZYR::TrocarPosicao(const QString& Data) {
    return Formata_Data(StrToDate(Data), QStringLiteral("MM/DD/AAAA"));
}
