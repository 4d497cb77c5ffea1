#pragma once
// The text of a query as a list of lines, joined with line breaks when the
// statement runs. Every change tells the owning query, which closes its open
// result (as a changed statement text does in the data module's queries).

#include <QString>
#include <QStringList>

#include <functional>

class TSqlLines {
public:
    explicit TSqlLines(std::function<void()> onChange = {}) : m_onChange(std::move(onChange)) {}
    TSqlLines(const TSqlLines&) = delete;
    // Copies the lines only; the owner's notification stays with each object.
    TSqlLines& operator=(const TSqlLines& other) { return assign(other.m_lines); }
    TSqlLines& operator=(const QStringList& lines) { return assign(lines); }

    TSqlLines& assign(const QStringList& lines);
    void Clear();
    void Add(const QString& line);
    // Replaces line i (0-based) of the text; throws AppError when there is no such line.
    void setLine(int i, const QString& line);
    // The text split at line breaks (CR LF, LF or CR).
    void setText(const QString& text);

    // The lines joined with line breaks: the statement as the database receives it.
    [[nodiscard]] QString Text() const { return m_lines.join(QLatin1Char('\n')); }
    [[nodiscard]] const QStringList& lines() const { return m_lines; }
    operator const QStringList&() const { return m_lines; }
    [[nodiscard]] int Count() const { return int(m_lines.size()); }
    [[nodiscard]] bool isEmpty() const { return m_lines.isEmpty(); }
    [[nodiscard]] const QString& operator[](int i) const { return m_lines.at(i); }

private:
    void changed() {
        if (m_onChange) m_onChange();
    }

    QStringList m_lines;
    std::function<void()> m_onChange;
};
