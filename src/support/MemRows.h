#pragma once
// TMemRows: the rows of a memory table. Cells sit in one flat array; texts
// sit as UTF-8 in one buffer that the cells point into, so filling a table
// needs no allocation per cell and emptying it frees two blocks. Texts are
// cut to their column's size when stored. Values read back as QVariant:
// invalid for null, else QString, double, QDate, QTime or bool.
//
// A bulk filler builds a TMemRows for a table aside (TMemTable::newRows())
// and hands it over with TMemTable::Refill. Rewriting a text cell (Edit)
// leaves its old bytes in the buffer until the rows are cleared; memory
// tables are refilled or emptied often, so that stays small.

#include "support/FieldDef.h"

#include <QList>

#include <QVariant>

#include <string>
#include <string_view>
#include <vector>

class TMemRows {
public:
    explicit TMemRows(const QList<FieldDef>& fields);

    [[nodiscard]] int rowCount() const { return m_columns.empty() ? 0 : static_cast<int>(m_cells.size() / m_columns.size()); }
    [[nodiscard]] int columnCount() const { return static_cast<int>(m_columns.size()); }

    // Drops every row; `release` gives the memory back as well.
    void clear(bool release);
    // Room for `bytes` of text, when the filler knows a bound.
    void reserveText(std::size_t bytes) { m_text.reserve(bytes); }
    // Gives back text room reserved but left unused.
    void squeeze();

    // Appends a row of nulls.
    void addRow();
    void removeLastRow();

    // Stores a cell of row `row` (0-based). setText cuts to a text column's
    // size (never splitting a character); the others store as given.
    void setNull(int row, int column) { cell(row, column) = Cell{}; }
    void setText(int row, int column, std::string_view utf8);
    void setFloat(int row, int column, double value);
    void setBool(int row, int column, bool value);
    // A value already of the column's type (see TMemTable::convertForColumn).
    void setValue(int row, int column, const QVariant& value);

    [[nodiscard]] QVariant value(int row, int column) const;
    [[nodiscard]] bool isNull(int row, int column) const;

    // Bytes of the first `units` UTF-16 units of a UTF-8 text (a character
    // needing two units is kept only whole).
    [[nodiscard]] static std::size_t utf8PrefixForUnits(std::string_view utf8, int units);

private:
    enum class Kind : unsigned char { Null, Text, Float, Date, Time, Bool };
    struct Cell {
        Kind kind = Kind::Null;
        bool flag = false;     // Bool
        qint64 number = 0;     // Date: Julian day; Time: msecs since midnight; Text: offset
        qint64 length = 0;     // Text: bytes
        double real = 0;       // Float
    };
    struct Column {
        FieldType type;
        int size;
    };

    Cell& cell(int row, int column) { return m_cells[static_cast<std::size_t>(row) * m_columns.size() + static_cast<std::size_t>(column)]; }
    [[nodiscard]] const Cell& cell(int row, int column) const {
        return m_cells[static_cast<std::size_t>(row) * m_columns.size() + static_cast<std::size_t>(column)];
    }

    std::vector<Column> m_columns;
    std::vector<Cell> m_cells;
    std::string m_text;
};
