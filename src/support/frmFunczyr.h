#pragma once
// Funcoes_da_ZYR: the program's stateless helpers, used by every subsystem.
// Dates and times to text, rounding and number texts, single-character
// replacement, case-blind search, and cutting texts at a delimiter.
//
// The workstation's regional settings are Brazil's: short date day/month/year
// with "/", decimal separator ",". Case conversions touch only the 26 ASCII
// letters. Texts are compared code unit by code unit.
//
// A date-time value (a double) counts days since 30 December 1899 at midnight;
// its integer part is the day, its fraction the time of day (0.5 is noon). Days
// before 1899-12-30 are negative with the time of day still counted forward
// (-1.25 is 29 December 1899 at 06:00).

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

class Funcoes_da_ZYR {
public:
    Funcoes_da_ZYR() = delete;

    // ---- Regional settings of the workstation --------------------------------
    [[nodiscard]] static QChar DecimalSeparator() { return QChar(u','); }
    [[nodiscard]] static QChar DateSeparator() { return QChar(u'/'); }

    // ---- Date-time values -----------------------------------------------------
    // QDateTime (local date and time, milliseconds kept) to the double value.
    [[nodiscard]] static double DateTimeToValue(const QDateTime& dt);
    [[nodiscard]] static double DateToValue(const QDate& d);
    // The double value to a local QDateTime, rounded to the nearest millisecond
    // (a fraction of a millisecond before midnight is the next day at 00:00).
    // Throws AppError for a value that is not a date-time of the years 1 to 9999.
    [[nodiscard]] static QDateTime ValueToDateTime(double value);

    // ---- Date and time texts ----------------------------------------------------
    // One of eighteen pattern names (case-blind): "HHMMSS", "HH:MM:SS", "HH:MM",
    // "HHMM", "MM:SS", "AAAAMMDD", "DDMMAAAA", "DDMM", "AAMM", "AAAAMM", "MMDD",
    // "DDMMAA", "MMAAAA", "DD/MM/AAAA", "DD/MM/AA", "MM/DD/AAAA", "AAAA-MM-DD",
    // "AAAA-DD-MM". Any other name gives the empty text. Milliseconds are dropped.
    [[nodiscard]] static QString Formata_Data(const QDateTime& DataIn, const QString& Formato);
    [[nodiscard]] static QString Formata_Data(const QDate& DataIn, const QString& Formato);
    [[nodiscard]] static QString Formata_Data(double DataIn, const QString& Formato);

    // "MES" the month, "ANO" the year, any other word the day (case-blind).
    [[nodiscard]] static int NumeroMes(const QDateTime& DataIn, const QString& Oque);
    [[nodiscard]] static int NumeroMes(const QDate& DataIn, const QString& Oque);
    [[nodiscard]] static int NumeroMes(double DataIn, const QString& Oque);

    // A date in the regional short form (dd/mm/yyyy) rewritten "MM/DD/AAAA".
    // Throws ConversionError "'<Data>' is not a valid date".
    [[nodiscard]] static QString TrocarPosicao(const QString& Data);
    // Reads a date in the regional short form; throws like TrocarPosicao.
    [[nodiscard]] static QDate StrToDate(const QString& Data);

    // Whole seconds since local midnight by appClock(), 0 to 86399.
    [[nodiscard]] static int Seconds();

    // ---- Numbers ------------------------------------------------------------------
    // Rounds to Decimais decimals, ties to even (0.125 -> 0.12, 1.375 -> 1.38).
    // Throws AppError "Invalid floating point operation" when the scaled value
    // is not finite or does not fit a 64-bit integer.
    [[nodiscard]] static double RoundZYR(double ValorIn, int Decimais);
    // Codigo zero-padded to exactly Quantidade characters: (7,2) "07",
    // (12345,3) "345", (-5,3) "0-5"; Quantidade <= 0 gives the empty text.
    [[nodiscard]] static QString StrZero(int Codigo, int Quantidade);
    // Truncates toward zero; throws ConversionError
    // "'<text>' is not a valid integer value" outside the 32-bit range.
    [[nodiscard]] static int FloatToInt(double ValorIn);
    // The general text of a real: 15 significant digits, plain or scientific
    // (1E-5, 1.5E20), with the regional decimal separator. "NAN", "INF", "-INF"
    // for values that are not finite.
    [[nodiscard]] static QString FloatToStrGeral(double ValorIn);
    // FloatToStrGeral with every "," turned into ".": 12.5, 0.3, 1E15, 1E-5.
    [[nodiscard]] static QString Formata_Valor_para_Sql(double ValorIn);

    // ---- Text -----------------------------------------------------------------------
    // Every character equal to strLetraAtual (a one-character text) becomes
    // strLetraNova (may be empty or longer); other lengths match nothing.
    [[nodiscard]] static QString TrocaLetra(const QString& strIn, const QString& strLetraAtual,
                                            const QString& strLetraNova);
    // Case-blind (ASCII only) substring test; an empty word is found in any
    // non-empty text, nothing is found in the empty text.
    [[nodiscard]] static bool Tem_Palavra_no_Texto(const QString& palavraIn, const QString& textoIn);
    // The code units in reverse order.
    [[nodiscard]] static QString InverteTexto(const QString& Texto);
    // The ASCII letters a-z / A-Z changed; every other character kept.
    [[nodiscard]] static QString AsciiUpper(const QString& text);
    [[nodiscard]] static QString AsciiLower(const QString& text);

    // ---- Workstation ------------------------------------------------------------------
    // StringIn ending with the platform's path separator.
    [[nodiscard]] static QString AjustaContraBarra(const QString& StringIn);
    // The program's folder (executable folder unless told another), ending with the separator.
    [[nodiscard]] static QString Path_Do_Executavel();
    // The computer's name, at most 15 characters.
    [[nodiscard]] static QString Nome_do_pc();
    // Returns unused memory to the system. Nothing else runs inside the call:
    // the events waiting (commands, timers) run after the task that calls it.
    static void Clear_memory_pc();

    // ---- Cutting at a delimiter ------------------------------------------------------
    // oqueIn "inicio": text before the first delimitIn; "resto": text after it
    // (case-blind, ASCII); any other mode word gives the empty text.
    [[nodiscard]] static QString StringDelimitador(const QString& strTexto, const QString& delimitIn,
                                                   const QString& oqueIn);
    // Text before the first delimiter; the whole text when there is none.
    [[nodiscard]] static QString BuscaStringDelimitador(const QString& strTexto, const QString& delimit);
    // Text after the first delimiter; the whole text when there is none.
    [[nodiscard]] static QString ExtraiStringDelimitador(const QString& strTexto, const QString& delimit);
};
