// Reading a date written in the workstation's regional short form:
// day, month and year separated by "/", as in 05/03/2023 or 5/3/2023.
//
// Blanks are allowed around the numbers. A missing year is the current year;
// a year of one or two digits falls in the hundred years that start 50 years
// before the current one (23 -> 2023, 80 -> 1980 in 2025). Anything after the
// date, a time included, makes the text invalid.

#include "support/frmFunczyr.h"

#include "support/Clock.h"
#include "support/Errors.h"

namespace {

class DateScanner {
public:
    explicit DateScanner(const QString& text) : m_text(text) {}

    void skipBlanks() {
        while (m_pos < m_text.size() && m_text.at(m_pos) == u' ') ++m_pos;
    }

    // A run of one to four digits; digits counts them.
    bool number(int& value, int& digits) {
        skipBlanks();
        value = 0;
        digits = 0;
        while (m_pos < m_text.size() && m_text.at(m_pos) >= u'0' && m_text.at(m_pos) <= u'9') {
            if (++digits > 4) return false;
            value = value * 10 + (m_text.at(m_pos).unicode() - u'0');
            ++m_pos;
        }
        return digits > 0;
    }

    bool separator() {
        skipBlanks();
        if (m_pos < m_text.size() && m_text.at(m_pos) == Funcoes_da_ZYR::DateSeparator()) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool atEnd() {
        skipBlanks();
        return m_pos >= m_text.size();
    }

private:
    const QString& m_text;
    qsizetype m_pos = 0;
};

} // namespace

QDate Funcoes_da_ZYR::StrToDate(const QString& Data) {
    const auto invalid = [&Data]() {
        return ConversionError(QStringLiteral("'") + Data + QStringLiteral("' is not a valid date"));
    };
    DateScanner scan(Data);
    int day = 0, month = 0, year = 0, digits = 0;
    if (!scan.number(day, digits) || !scan.separator() || !scan.number(month, digits)) throw invalid();

    const int currentYear = appClock().now().date().year();
    if (scan.separator()) {
        if (!scan.number(year, digits)) throw invalid();
        if (digits <= 2) {
            const int base = currentYear - 50;
            year += base / 100 * 100;
            if (year < base) year += 100;
        }
    } else {
        year = currentYear;
    }
    if (!scan.atEnd() || year < 1 || year > 9999 || !QDate::isValid(year, month, day)) throw invalid();
    return QDate(year, month, day);
}
