#include "support/MemTable.h"

#include "support/DecimalText.h"
#include "support/Errors.h"

TMemTable::TMemTable(const QString& name, QList<FieldDef> fields, QObject* parent)
    : QAbstractTableModel(parent), m_fields(std::move(fields)), m_rows(m_fields) {
    setObjectName(name);
}

TMemTable::~TMemTable() = default;

int TMemTable::FindField(const QString& name) const {
    for (int i = 0; i < FieldCount(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TMemTable::FindFieldExact(QStringView name) const {
    for (int i = 0; i < FieldCount(); ++i)
        if (m_fields[i].name == name) return i;
    return -1;
}

TField TMemTable::FieldByName(const QString& name) {
    const int column = FindField(name);
    if (column < 0) throw AppError(QStringLiteral("%1: Field '%2' not found").arg(Name(), name));
    return TField(this, column);
}

TField TMemTable::Field(int column) {
    if (column < 0 || column >= FieldCount())
        throw AppError(QStringLiteral("%1: no field number %2").arg(Name()).arg(column));
    return TField(this, column);
}

void TMemTable::requireActive(const char* operation) const {
    if (!m_active)
        throw AppError(QStringLiteral("%1: cannot %2 a closed table").arg(Name(), QLatin1String(operation)));
}

// --- deferred reset while controls are disabled

void TMemTable::aboutToChangeAll() {
    if (m_disabled > 0) {
        if (!m_resetStarted) {
            beginResetModel();
            m_resetStarted = true;
        }
    } else {
        beginResetModel();
    }
}

void TMemTable::changedAll() {
    if (m_disabled == 0) endResetModel();
}

void TMemTable::DisableControls() {
    if (m_disabled++ == 0) {
        m_resetStarted = false;
        m_rowAtDisable = m_current;
    }
}

void TMemTable::EnableControls() {
    if (m_disabled == 0 || --m_disabled > 0) return;
    const bool reset = m_resetStarted;
    m_resetStarted = false;
    if (reset) endResetModel();
    if (reset || m_current != m_rowAtDisable) emit currentRowChanged(m_current);
}

void TMemTable::setCurrent(int row) {
    if (row == m_current) return;
    m_current = row;
    if (m_disabled == 0) emit currentRowChanged(row);
}

// --- state

void TMemTable::Open() {
    if (m_active) return;
    aboutToChangeAll();
    m_active = true;
    m_rows.clear(false);
    m_state = State::Browse;
    m_eof = m_bof = true;
    changedAll();
    setCurrent(-1);
}

void TMemTable::Close() {
    if (!m_active && RecordCount() == 0) return;
    aboutToChangeAll();
    m_active = false;
    m_rows.clear(true);
    m_buffer.clear();
    m_state = State::Browse;
    m_eof = m_bof = true;
    changedAll();
    setCurrent(-1);
}

void TMemTable::EmptyTable() {
    requireActive("empty");
    m_buffer.clear();
    m_state = State::Browse;
    if (RecordCount() > 0) {
        aboutToChangeAll();
        m_rows.clear(false);
        changedAll();
    }
    m_eof = m_bof = true;
    setCurrent(-1);
}

// --- navigation (a pending Append/Edit is posted first, as a dataset does)

void TMemTable::First() {
    requireActive("move in");
    Post();
    m_bof = true;
    m_eof = RecordCount() == 0;
    setCurrent(m_eof ? -1 : 0);
}

void TMemTable::Next() {
    requireActive("move in");
    Post();
    if (m_current + 1 < RecordCount()) {
        m_bof = m_eof = false;
        setCurrent(m_current + 1);
    } else {
        m_eof = true;
    }
}

void TMemTable::Prior() {
    requireActive("move in");
    Post();
    if (m_current > 0) {
        m_bof = m_eof = false;
        setCurrent(m_current - 1);
    } else {
        m_bof = true;
    }
}

void TMemTable::Last() {
    requireActive("move in");
    Post();
    m_eof = true;
    m_bof = RecordCount() == 0;
    setCurrent(RecordCount() - 1);
}

void TMemTable::SetRecNo(int n) {
    requireActive("move in");
    if (n < 1 || n > RecordCount())
        throw AppError(QStringLiteral("%1: there is no row %2 (the table has %3)").arg(Name()).arg(n).arg(RecordCount()));
    Post();
    m_bof = m_eof = false;
    setCurrent(n - 1);
}

// --- append / edit

void TMemTable::Append() {
    requireActive("append to");
    Post();
    m_buffer = QVariantList(FieldCount());
    m_state = State::Insert;
}

void TMemTable::Edit() {
    requireActive("edit");
    if (m_state != State::Browse) return;
    if (m_current < 0) throw AppError(QStringLiteral("%1: there is no row to edit").arg(Name()));
    m_buffer = QVariantList(FieldCount());
    for (int c = 0; c < FieldCount(); ++c) m_buffer[c] = m_rows.value(m_current, c);
    m_state = State::Edit;
}

void TMemTable::Cancel() {
    m_buffer.clear();
    m_state = State::Browse;
}

void TMemTable::Post() {
    if (m_state == State::Browse) return;
    const State state = m_state;
    m_state = State::Browse;
    QVariantList row = std::move(m_buffer);
    m_buffer.clear();
    if (state == State::Edit) {
        for (int c = 0; c < FieldCount(); ++c) m_rows.setValue(m_current, c, row.value(c));
        if (m_disabled == 0) emit dataChanged(index(m_current, 0), index(m_current, FieldCount() - 1));
        else aboutToChangeAll();
        return;
    }
    const int at = RecordCount();
    if (m_disabled == 0) beginInsertRows(QModelIndex(), at, at);
    else aboutToChangeAll();
    m_rows.addRow();
    for (int c = 0; c < FieldCount(); ++c) m_rows.setValue(at, c, row.value(c));
    if (m_disabled == 0) endInsertRows();
    m_bof = m_eof = false;
    setCurrent(at);
}

void TMemTable::appendRow(const QVariantList& values) {
    requireActive("append to");
    // Convert first: a value the table refuses leaves no half-made row behind.
    QVariantList row(FieldCount());
    for (int i = 0; i < FieldCount() && i < values.size(); ++i) row[i] = convertForColumn(i, values[i]);
    Append();
    m_buffer = std::move(row);
    Post();
}

void TMemTable::Refill(TMemRows&& rows, int current) {
    if (rows.columnCount() != FieldCount())
        throw AppError(QStringLiteral("%1: rows of %2 columns cannot fill a table of %3")
                           .arg(Name()).arg(rows.columnCount()).arg(FieldCount()));
    aboutToChangeAll();
    m_rows = std::move(rows);
    m_buffer.clear();
    m_state = State::Browse;
    m_active = true;
    m_eof = RecordCount() == 0;
    m_bof = true;
    if (m_eof) current = -1;
    else if (current < 0 || current >= RecordCount()) current = 0;
    if (current > 0) m_bof = false;
    m_current = current;
    changedAll();
    if (m_disabled == 0) emit currentRowChanged(m_current);
}

// --- cells

QVariant TMemTable::cell(int row, int column) const {
    if (row < 0 || row >= RecordCount() || column < 0 || column >= FieldCount()) return {};
    return m_rows.value(row, column);
}

QVariant TMemTable::fieldValue(int column) const {
    if (m_state != State::Browse) return m_buffer.value(column);
    return cell(m_current, column);
}

void TMemTable::setFieldValue(int column, const QVariant& value) {
    if (m_state == State::Browse)
        throw AppError(QStringLiteral("%1: cannot set the field %2 outside Append or Edit")
                           .arg(Name(), m_fields.value(column).name));
    m_buffer[column] = convertForColumn(column, value);
}

QString TMemTable::cutText(const QString& text, int size) {
    if (size < 0 || text.size() <= size) return text;
    qsizetype n = size;
    if (n > 0 && text.at(n - 1).isHighSurrogate()) --n;
    return text.left(n);
}

QVariant TMemTable::convertForColumn(int column, const QVariant& value) const {
    if (!value.isValid() || value.isNull()) return {};
    const FieldDef& def = m_fields.at(column);
    auto refuse = [&]() -> QVariant {
        throw ConversionError(QStringLiteral("%1.%2: '%3' cannot be stored in a %4 field")
                                  .arg(Name(), def.name, displayText(value), fieldTypeName(def.type)));
    };
    switch (def.type) {
    case FieldType::Text:
    case FieldType::LongText: {
        QString text = value.typeId() == QMetaType::QString ? value.toString() : displayText(value);
        return def.type == FieldType::Text ? cutText(text, def.size) : text;
    }
    case FieldType::Float:
        switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return value.toDouble();
        case QMetaType::Bool:
            return value.toBool() ? 1.0 : 0.0;
        case QMetaType::QString:
            if (const auto number = parseDecimalText(QStringView(value.toString()))) return *number;
            return refuse();
        default:
            return refuse();
        }
    case FieldType::Date:
        if (value.typeId() == QMetaType::QDate) return value;
        if (value.typeId() == QMetaType::QDateTime) return value.toDateTime().date();
        if (value.typeId() == QMetaType::QString) {
            const QDate d = dateFromFieldText(value.toString());
            if (d.isValid()) return d;
        }
        return refuse();
    case FieldType::Time:
        if (value.typeId() == QMetaType::QTime) return value;
        if (value.typeId() == QMetaType::QDateTime) return value.toDateTime().time();
        if (value.typeId() == QMetaType::QString) {
            const QTime t = timeFromFieldText(value.toString());
            if (t.isValid()) return t;
        }
        return refuse();
    case FieldType::Boolean:
        if (value.typeId() == QMetaType::Bool) return value;
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().trimmed();
            if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
            if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
            return refuse();
        }
        if (value.canConvert<double>()) return value.toDouble() != 0;
        return refuse();
    }
    return refuse();
}

QString TMemTable::displayText(const QVariant& value) {
    if (!value.isValid()) return {};
    switch (value.typeId()) {
    case QMetaType::QString: return value.toString();
    case QMetaType::Double: return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate: return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime: return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::QDateTime: return value.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return value.toString();
    }
}

// --- model

int TMemTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : RecordCount(); }

int TMemTable::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FieldCount(); }

QVariant TMemTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const QVariant v = cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return displayText(v);
    case Qt::TextAlignmentRole:
        if (m_fields.at(index.column()).type == FieldType::Float)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    default:
        return {};
    }
}

QVariant TMemTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < FieldCount())
        return m_fields.at(section).name;
    return QAbstractTableModel::headerData(section, orientation, role);
}
