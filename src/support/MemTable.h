#pragma once
// TMemTable: an in-memory table with a fixed list of typed columns, a current
// row and an open/closed state. It is at the same time a Qt table model, so a
// view shows its rows directly (column names are the headers).
//
// Typical use:
//   tbl.Open();
//   tbl.Append(); tbl.FieldByName("fecha").setValue("2023-03-15"); tbl.Post();
//   for (tbl.First(); !tbl.Eof(); tbl.Next()) use(tbl.FieldByName("fecha").AsString());
//
// Bulk changes go between DisableControls() and EnableControls() (or a
// TMemTable::ControlsDisabled guard): attached views then see one model reset
// at the end instead of one signal per change.

#include "support/FieldDef.h"
#include "support/MemRows.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <QVariant>

#include <vector>

class TMemTable;

// A light accessor to one column of the table's current row (or of the row
// being appended/edited). Valid as long as the table lives.
class TField {
public:
    TField(TMemTable* table, int column) : m_table(table), m_column(column) {}

    [[nodiscard]] const FieldDef& def() const;
    [[nodiscard]] const QString& FieldName() const { return def().name; }
    [[nodiscard]] int index() const { return m_column; }

    // The raw cell value: an invalid QVariant for null, otherwise QString,
    // double, QDate, QTime or bool according to the column type.
    [[nodiscard]] QVariant value() const;
    [[nodiscard]] bool IsNull() const;
    // null -> ""; floating -> shortest text with "."; date dd/MM/yyyy;
    // time hh:mm:ss; boolean "True"/"False".
    [[nodiscard]] QString AsString() const;
    // null -> 0; texts are read as decimal numbers with "." or ","
    // (ConversionError when they are not numbers); boolean -> 1/0.
    [[nodiscard]] double AsFloat() const;
    // As AsFloat, rounded to the nearest integer (ConversionError when out of range).
    [[nodiscard]] int AsInteger() const;
    // null -> invalid date; texts dd/MM/yyyy or yyyy-MM-dd (ConversionError otherwise).
    [[nodiscard]] QDate AsDate() const;
    // null -> invalid time; texts hh:mm:ss or hh:mm (ConversionError otherwise).
    [[nodiscard]] QTime AsTime() const;

    // Writes the field of the row being appended or edited (Append()/Edit()).
    // The value is converted to the column type; texts are cut to the column size.
    void setValue(const QVariant& value);
    void Clear() { setValue(QVariant()); }

private:
    TMemTable* m_table;
    int m_column;
};

class TMemTable : public QAbstractTableModel {
    Q_OBJECT
public:
    // `name` (also the objectName) appears in error messages, e.g. "tblJson1".
    TMemTable(const QString& name, QList<FieldDef> fields, QObject* parent = nullptr);
    ~TMemTable() override;

    [[nodiscard]] QString Name() const { return objectName(); }
    [[nodiscard]] const QList<FieldDef>& Fields() const { return m_fields; }
    [[nodiscard]] int FieldCount() const { return static_cast<int>(m_fields.size()); }
    // Column index by name: FindField is case-insensitive, FindFieldExact is not;
    // both return -1 when there is no such column.
    [[nodiscard]] int FindField(const QString& name) const;
    [[nodiscard]] int FindFieldExact(QStringView name) const;
    // Accessor by case-insensitive name; AppError when there is no such column.
    [[nodiscard]] TField FieldByName(const QString& name);
    [[nodiscard]] TField Field(int column);

    // State. A closed table has no rows; Open() on an open table keeps its rows.
    void Open();
    void Close();
    [[nodiscard]] bool Active() const { return m_active; }

    // Navigation (Delphi semantics): First/Last; Next past the last row sets
    // Eof, Prior before the first sets Bof; an empty table is Eof and Bof.
    void First();
    void Next();
    void Prior();
    void Last();
    [[nodiscard]] bool Eof() const { return m_eof; }
    [[nodiscard]] bool Bof() const { return m_bof; }
    // 1-based number of the current row; 0 when there is none.
    [[nodiscard]] int RecNo() const { return m_current + 1; }
    [[nodiscard]] int RecordCount() const { return m_rows.rowCount(); }
    // Moves to row n (1-based); AppError when n is out of range.
    void SetRecNo(int n);
    // 0-based current row, -1 when there is none (for views).
    [[nodiscard]] int currentRow() const { return m_current; }

    // Appending and editing: Append() (or Edit()) starts a row buffer, the
    // fields are set through FieldByName(..).setValue(..), Post() stores it
    // and makes it the current row; Cancel() drops it.
    void Append();
    void Edit();
    void Post();
    void Cancel();
    [[nodiscard]] bool Editing() const { return m_state != State::Browse; }
    // Appends and posts one whole row; values in column order, missing ones null.
    void appendRow(const QVariantList& values);
    // Deletes all rows; the table stays open.
    void EmptyTable();

    // Cell value of row `row` (0-based), column `column` (invalid QVariant = null).
    [[nodiscard]] QVariant cell(int row, int column) const;

    // Controls (views) are not updated while disabled; the outermost
    // EnableControls() emits one model reset when anything changed.
    void DisableControls();
    void EnableControls();
    class ControlsDisabled {
    public:
        explicit ControlsDisabled(TMemTable& table) : m_table(table) { m_table.DisableControls(); }
        ~ControlsDisabled() { m_table.EnableControls(); }
        ControlsDisabled(const ControlsDisabled&) = delete;
        ControlsDisabled& operator=(const ControlsDisabled&) = delete;

    private:
        TMemTable& m_table;
    };

    // Bulk refill: a filler builds the rows aside in newRows() and hands them
    // over; the table is closed, created anew with them, opened and placed on
    // row `current` (0-based; -1 = the first row). Views see one model reset.
    [[nodiscard]] TMemRows newRows() const { return TMemRows(m_fields); }
    // The rows as held (a copy of them refills a table of the same fields).
    [[nodiscard]] const TMemRows& rows() const { return m_rows; }
    void Refill(TMemRows&& rows, int current = -1);
    // Converts a value to the column's type and size (used on every store).
    [[nodiscard]] QVariant convertForColumn(int column, const QVariant& value) const;
    // Cuts a text to at most `size` UTF-16 units without splitting a surrogate pair.
    [[nodiscard]] static QString cutText(const QString& text, int size);

    // QAbstractTableModel
    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

    // Text of a value as shown to the user / returned by AsString.
    [[nodiscard]] static QString displayText(const QVariant& value);

signals:
    // The current row changed (0-based, -1 when none); views follow it.
    void currentRowChanged(int row);

private:
    friend class TField;
    enum class State { Browse, Insert, Edit };

    [[nodiscard]] QVariant fieldValue(int column) const;
    void setFieldValue(int column, const QVariant& value);
    void requireActive(const char* operation) const;
    void setCurrent(int row);
    // Called before any change of rows or state: starts the deferred reset
    // when controls are disabled.
    void aboutToChangeAll();
    void changedAll();

    QList<FieldDef> m_fields;
    TMemRows m_rows;
    QVariantList m_buffer;
    State m_state = State::Browse;
    bool m_active = false;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    int m_disabled = 0;
    bool m_resetStarted = false;
    int m_rowAtDisable = -1;
};
