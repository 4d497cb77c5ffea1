#include "support/MemRows.h"

#include <QDate>
#include <QTime>

TMemRows::TMemRows(const QList<FieldDef>& fields) {
    m_columns.reserve(static_cast<std::size_t>(fields.size()));
    for (const FieldDef& f : fields) m_columns.push_back({f.type, f.size});
}

void TMemRows::clear(bool release) {
    m_cells.clear();
    m_text.clear();
    if (release) {
        m_cells.shrink_to_fit();
        m_text.shrink_to_fit();
    }
}

void TMemRows::squeeze() {
    if (m_text.capacity() > 2 * m_text.size() + 65536) m_text.shrink_to_fit();
}

void TMemRows::addRow() { m_cells.resize(m_cells.size() + m_columns.size()); }

void TMemRows::removeLastRow() {
    if (m_cells.size() >= m_columns.size()) m_cells.resize(m_cells.size() - m_columns.size());
}

std::size_t TMemRows::utf8PrefixForUnits(std::string_view utf8, int units) {
    if (units < 0) return utf8.size();
    if (utf8.size() <= static_cast<std::size_t>(units)) return utf8.size();  // a unit takes a byte at least
    std::size_t i = 0;
    int used = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const int need = bytes == 4 ? 2 : 1;
        if (used + need > units || i + bytes > utf8.size()) break;
        used += need;
        i += bytes;
    }
    return i;
}

void TMemRows::setText(int row, int column, std::string_view utf8) {
    const Column& c = m_columns[static_cast<std::size_t>(column)];
    if (c.type == FieldType::Text) utf8 = utf8.substr(0, utf8PrefixForUnits(utf8, c.size));
    Cell& target = cell(row, column);
    target = Cell{};
    target.kind = Kind::Text;
    target.number = static_cast<qint64>(m_text.size());
    target.length = static_cast<qint64>(utf8.size());
    m_text.append(utf8);
}

void TMemRows::setFloat(int row, int column, double value) {
    Cell& target = cell(row, column);
    target = Cell{};
    target.kind = Kind::Float;
    target.real = value;
}

void TMemRows::setBool(int row, int column, bool value) {
    Cell& target = cell(row, column);
    target = Cell{};
    target.kind = Kind::Bool;
    target.flag = value;
}

void TMemRows::setValue(int row, int column, const QVariant& value) {
    if (!value.isValid()) {
        setNull(row, column);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QByteArray utf8 = value.toString().toUtf8();
        setText(row, column, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        return;
    }
    case QMetaType::QByteArray: {
        const QByteArray utf8 = value.toByteArray();
        setText(row, column, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        return;
    }
    case QMetaType::Double:
        setFloat(row, column, value.toDouble());
        return;
    case QMetaType::Bool:
        setBool(row, column, value.toBool());
        return;
    case QMetaType::QDate: {
        Cell& target = cell(row, column);
        target = Cell{};
        target.kind = Kind::Date;
        target.number = value.toDate().toJulianDay();
        return;
    }
    case QMetaType::QTime: {
        Cell& target = cell(row, column);
        target = Cell{};
        target.kind = Kind::Time;
        target.number = value.toTime().msecsSinceStartOfDay();
        return;
    }
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        setText(row, column, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        return;
    }
    }
}

QVariant TMemRows::value(int row, int column) const {
    const Cell& c = cell(row, column);
    switch (c.kind) {
    case Kind::Null: return {};
    case Kind::Text:
        return QString::fromUtf8(m_text.data() + c.number, static_cast<qsizetype>(c.length));
    case Kind::Float: return c.real;
    case Kind::Date: return QDate::fromJulianDay(c.number);
    case Kind::Time: return QTime::fromMSecsSinceStartOfDay(static_cast<int>(c.number));
    case Kind::Bool: return c.flag;
    }
    return {};
}

bool TMemRows::isNull(int row, int column) const { return cell(row, column).kind == Kind::Null; }
