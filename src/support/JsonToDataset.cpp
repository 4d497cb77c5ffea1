#include "support/JsonToDataset.h"

#include "support/DecimalText.h"
#include "support/JsonTokens.h"

#include <QStringEncoder>

#include <simdjson.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The document is read with simdjson's on-demand parser in one forward pass.
// On-demand only checks what it is asked for, so the walk below looks at
// every value of the document, also those the table does not keep, and
// refuses anything that is not JSON. Rows are gathered aside and handed to
// the table in one refill at the end, so the table is untouched by a
// document that turns out to be broken and views redraw once.

namespace {

namespace od = simdjson::ondemand;

// Deeper nesting is refused: the service's documents nest about 7 levels, and
// the limit bounds the recursion of the walk (under 200 KB of stack even in
// an unoptimised build).
constexpr int kMaxDepth = 256;

// A document that is not JSON (or not an array), found somewhere in the walk.
struct SyntaxFailure {
    std::string reason;
    const char* at;  // where in the UTF-8 text, or nullptr when unknown
};

// A value that the table cannot hold (a non-number in a floating column).
struct ValueFailure {
    QString reason;
};

class Walker {
public:
    Walker(TMemTable& table, od::document& doc, std::size_t textBound)
        : m_table(table), m_doc(doc), m_rows(table.newRows()) {
        for (const FieldDef& f : table.Fields()) m_names.push_back(f.name.toStdString());
        m_filled.resize(m_names.size());
        // The texts stored never add up to more than the document.
        m_rows.reserveText(textBound);
    }

    // Walks the root array into rows(), or throws SyntaxFailure. A value the
    // table refuses stops the gathering of rows (the walk goes on to check
    // the rest of the document) and is left in valueFailure().
    void walkRoot(od::array& root) {
        for (auto item : root) {
            od::value element;
            check(std::move(item).get(element), nullptr);
            if (m_valueFailure) {
                walk(element, 1);
                continue;
            }
            m_rows.addRow();
            elementRow(element, m_rows.rowCount() - 1);
            if (m_valueFailure) m_rows.removeLastRow();
        }
    }

    [[nodiscard]] TMemRows& rows() { return m_rows; }
    [[nodiscard]] const std::optional<ValueFailure>& valueFailure() const { return m_valueFailure; }

    [[noreturn]] void fail(std::string reason, const char* at) { throw SyntaxFailure{std::move(reason), at}; }

    void check(simdjson::error_code error, const char* at) {
        if (!error) return;
        const char* where = at;
        if (where == nullptr)
            if (const auto location = m_doc.current_location(); !location.error()) where = location.value_unsafe();
        fail(simdjson::error_message(error), where);
    }

private:
    void elementRow(od::value& element, int row) {
        const std::string_view token = element.raw_json_token();
        if (token.empty() || token.front() != '{') {  // not an object: a row of nulls
            walk(element, 1);
            return;
        }
        std::fill(m_filled.begin(), m_filled.end(), false);
        od::object object;
        check(element.get_object().get(object), token.data());
        for (auto item : object) {
            od::field field;
            check(std::move(item).get(field), nullptr);
            std::string_view key;
            check(field.unescaped_key().get(key), nullptr);
            const int column = columnOf(key);
            od::value value = field.value();
            if (column < 0 || m_filled[static_cast<std::size_t>(column)] || m_valueFailure) {
                walk(value, 2);  // ignored member: checked only
                continue;
            }
            m_filled[static_cast<std::size_t>(column)] = true;
            storeCell(value, row, column);
        }
    }

    int columnOf(std::string_view key) const {
        for (std::size_t i = 0; i < m_names.size(); ++i)
            if (m_names[i] == key) return static_cast<int>(i);
        return -1;
    }

    // Stores one member's value; the row is 0-based.
    void storeCell(od::value& value, int row, int column) {
        const FieldType type = m_table.Fields().at(column).type;
        const bool textColumn = type == FieldType::Text || type == FieldType::LongText;
        const std::string_view token = value.raw_json_token();
        const char first = token.empty() ? '\0' : token.front();
        QVariant other;  // for date, time and boolean columns (no JSON table has one)
        switch (first) {
        case '"': {
            std::string_view text;
            check(value.get_string().get(text), token.data());
            if (textColumn) return m_rows.setText(row, column, text);
            if (type == FieldType::Float) {
                if (const auto number = parseDecimalText(text)) return m_rows.setFloat(row, column, *number);
                return refuse(column, row, QStringLiteral("the string \"%1\" is not a number").arg(excerpt(text)));
            }
            other = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
            break;
        }
        case 't':
        case 'f':
        case 'n': {
            const std::string_view word = jsontokens::trimmed(token);
            if (word != "true" && word != "false" && word != "null") fail("not a valid JSON value", token.data());
            if (word == "null") return;  // the cell stays null
            if (textColumn) return m_rows.setText(row, column, word);
            if (type == FieldType::Float) return m_rows.setFloat(row, column, word == "true" ? 1 : 0);
            other = word == "true";
            break;
        }
        case '{':
        case '[': {
            compactText(value);
            if (textColumn) return m_rows.setText(row, column, m_compact);
            if (type == FieldType::Float)
                return refuse(column, row, QStringLiteral("%1 is not a number").arg(first == '{' ? "an object" : "an array"));
            other = QString::fromUtf8(m_compact.data(), static_cast<qsizetype>(m_compact.size()));
            break;
        }
        default: {
            const std::string_view number = jsontokens::trimmed(token);
            if (!jsontokens::isNumber(number)) fail("not a valid JSON value", token.data());
            if (textColumn) return m_rows.setText(row, column, number);  // as written
            double d = 0;
            check(value.get_double().get(d), token.data());
            if (type == FieldType::Float) return m_rows.setFloat(row, column, d);
            other = d;
            break;
        }
        }
        try {
            m_rows.setValue(row, column, m_table.convertForColumn(column, other));
        } catch (const AppError& e) {
            refuse(column, row, e.message());
        }
    }

    void refuse(int column, int row, const QString& reason) {
        m_valueFailure = ValueFailure{QStringLiteral("element %1, member \"%2\": %3")
                                          .arg(row + 1)
                                          .arg(m_table.Fields().at(column).name, reason)};
    }

    static QString excerpt(std::string_view text) {
        QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), 320)));
        return s.size() > 80 ? s.left(80) + QStringLiteral("...") : s;
    }

    // Checks a value completely: every member, element and token.
    void walk(od::value& value, int depth) {
        const std::string_view token = value.raw_json_token();
        const char first = token.empty() ? '\0' : token.front();
        switch (first) {
        case '{': {
            if (depth + 1 > kMaxDepth) fail("the JSON nesting is deeper than 256 levels", token.data());
            od::object object;
            check(value.get_object().get(object), token.data());
            for (auto item : object) {
                od::field field;
                check(std::move(item).get(field), nullptr);
                od::value child = field.value();
                walk(child, depth + 1);
            }
            return;
        }
        case '[': {
            if (depth + 1 > kMaxDepth) fail("the JSON nesting is deeper than 256 levels", token.data());
            od::array array;
            check(value.get_array().get(array), token.data());
            for (auto item : array) {
                od::value child;
                check(std::move(item).get(child), nullptr);
                walk(child, depth + 1);
            }
            return;
        }
        case '"':
            // The parser has found the string's end and refused raw control
            // characters; escapes are checked over the whole text at the end.
            return;
        case 't':
        case 'f':
        case 'n': {
            const std::string_view word = jsontokens::trimmed(token);
            if (word != "true" && word != "false" && word != "null") fail("not a valid JSON value", token.data());
            return;
        }
        default:
            if (!jsontokens::isNumber(jsontokens::trimmed(token))) fail("not a valid JSON value", token.data());
            return;
        }
    }

    // Checks a nested object or array and leaves its compact JSON text (no
    // blanks between tokens; strings and numbers as written) in m_compact.
    void compactText(od::value& value) {
        const char* start = value.raw_json_token().data();
        walk(value, 2);
        // The walk stops on the token after the value: the value's text
        // lies between, followed perhaps by blanks.
        const char* end = nullptr;
        check(m_doc.current_location().get(end), start);
        const std::string_view raw = jsontokens::trimmed(std::string_view(start, static_cast<std::size_t>(end - start)));
        m_compact.resize(raw.size() + simdjson::SIMDJSON_PADDING);
        std::size_t length = 0;
        check(simdjson::minify(raw.data(), raw.size(), m_compact.data(), length), start);
        m_compact.resize(length);
    }

    TMemTable& m_table;
    od::document& m_doc;
    TMemRows m_rows;
    std::vector<std::string> m_names;
    std::vector<bool> m_filled;
    std::string m_compact;
    std::optional<ValueFailure> m_valueFailure;
};

// "the text begins with: ..." - the first 80 characters, on one line.
QString beginning(QByteArrayView utf8) {
    QString head = QString::fromUtf8(utf8.first(std::min<qsizetype>(utf8.size(), 400)));
    const bool more = head.size() > 80 || utf8.size() > 400;
    head.truncate(80);
    head.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("; the text begins with: ") + head + (more ? QStringLiteral("...") : QString());
}

[[noreturn]] void raise(const TMemTable& table, const QString& what, QByteArrayView utf8) {
    throw JsonError(QStringLiteral("JsonToDataset(%1): %2%3").arg(table.Name(), what, beginning(utf8)));
}

// The parser's buffers (some six bytes per byte of the largest document
// seen) are kept for the next call on the same thread, as long as they stay
// below kKeepCapacity: allocating and touching them anew costs more than the
// parse of a promotions document. A nested call gets a parser of its own.
constexpr std::size_t kKeepCapacity = 8 * 1024 * 1024;

class ParserLease {
public:
    ParserLease() : m_parser(std::move(kept())) {
        if (!m_parser) m_parser = std::make_unique<od::parser>();
    }
    ~ParserLease() {
        if (m_parser->capacity() <= kKeepCapacity && !kept()) kept() = std::move(m_parser);
    }
    ParserLease(const ParserLease&) = delete;
    ParserLease& operator=(const ParserLease&) = delete;
    od::parser* operator->() { return m_parser.get(); }

private:
    static std::unique_ptr<od::parser>& kept() {
        thread_local std::unique_ptr<od::parser> parser;
        return parser;
    }
    std::unique_ptr<od::parser> m_parser;
};

// A UTF-8 text followed by the spare bytes that the parser reads past its end.
struct PaddedText {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;

    explicit PaddedText(std::size_t capacity)
        : data(new char[capacity + simdjson::SIMDJSON_PADDING]) {}
    void pad() { std::memset(data.get() + size, 0, simdjson::SIMDJSON_PADDING); }
};

void fill(TMemTable& aDataset, const PaddedText& text) {
    // A byte-order mark before the value is no part of it.
    const bool bom = text.size >= 3 && std::memcmp(text.data.get(), "\xEF\xBB\xBF", 3) == 0;
    const char* const base = text.data.get() + (bom ? 3 : 0);
    const std::size_t size = text.size - (bom ? 3 : 0);
    const QByteArrayView aJSON(base, static_cast<qsizetype>(size));
    auto where = [&](const char* at) -> QString {
        if (at == nullptr || at < base || at > base + size) return {};
        const qsizetype offset = at - base;
        return QStringLiteral(" at character %1").arg(QString::fromUtf8(aJSON.first(offset)).size() + 1);
    };

    TMemRows rows = aDataset.newRows();
    std::optional<ValueFailure> valueFailure;
    try {
        ParserLease parser;  // returned before the table's views hear of the refill
        od::document doc;
        if (const auto error = parser->iterate(base, size, size + simdjson::SIMDJSON_PADDING).get(doc))
            throw SyntaxFailure{error == simdjson::EMPTY ? "there is no JSON value, only blanks"
                                                         : simdjson::error_message(error),
                                nullptr};
        Walker walker(aDataset, doc, size);
        od::array root;
        if (const auto error = doc.get_array().get(root)) {
            std::string_view token;
            if (error == simdjson::INCORRECT_TYPE && !doc.raw_json_token().get(token) && !token.empty() &&
                token.front() == '{')
                raise(aDataset, QStringLiteral("the JSON value is an object, not an array"), aJSON);
            if (error == simdjson::INCORRECT_TYPE)
                raise(aDataset, QStringLiteral("the text is not a JSON array"), aJSON);
            if (error == simdjson::INCOMPLETE_ARRAY_OR_OBJECT)
                throw SyntaxFailure{"the array does not end where the text ends: the text is cut short, or other "
                                    "text follows the array",
                                    nullptr};
            walker.check(error, nullptr);
        }
        walker.walkRoot(root);
        // Nothing but blanks may follow the array.
        if (const auto location = doc.current_location(); !location.error())
            throw SyntaxFailure{"text after the end of the JSON array", location.value_unsafe()};
        // The structure is sound, so every backslash is inside a string.
        const char* reason = nullptr;
        if (const char* bad = jsontokens::badEscape(base, base + size, reason))
            throw SyntaxFailure{reason, bad};
        valueFailure = walker.valueFailure();
        rows = std::move(walker.rows());
        rows.squeeze();
    } catch (const SyntaxFailure& failure) {
        raise(aDataset,
              QStringLiteral("the text is not a valid JSON array (%1)%2")
                  .arg(QString::fromStdString(failure.reason), where(failure.at)),
              aJSON);
    }

    // The parsed document is gone with the scope above; the rows stay.
    if (valueFailure) {
        const int kept = rows.rowCount();
        aDataset.Refill(std::move(rows), kept - 1);
        throw JsonError(QStringLiteral("JsonToDataset(%1): %2; rows kept before it: %3")
                            .arg(aDataset.Name(), valueFailure->reason)
                            .arg(kept));
    }
    aDataset.Refill(std::move(rows));
}

}  // namespace

void JsonToDatasetUtf8(TMemTable& aDataset, QByteArrayView aJSON) {
    if (aJSON.isEmpty()) return;
    PaddedText padded(static_cast<std::size_t>(aJSON.size()));
    std::memcpy(padded.data.get(), aJSON.data(), static_cast<std::size_t>(aJSON.size()));
    padded.size = static_cast<std::size_t>(aJSON.size());
    padded.pad();
    fill(aDataset, padded);
}

void JsonToDataset(TMemTable& aDataset, const QString& aJSON) {
    if (aJSON.isEmpty()) return;
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    PaddedText padded(static_cast<std::size_t>(encoder.requiredSpace(aJSON.size())));
    padded.size = static_cast<std::size_t>(encoder.appendToBuffer(padded.data.get(), aJSON) - padded.data.get());
    padded.pad();
    if (encoder.hasError()) {
        qsizetype at = 0;
        while (at < aJSON.size()) {
            const QChar c = aJSON.at(at);
            if (c.isHighSurrogate() && at + 1 < aJSON.size() && aJSON.at(at + 1).isLowSurrogate()) at += 2;
            else if (c.isSurrogate()) break;
            else ++at;
        }
        raise(aDataset, QStringLiteral("the text holds a broken UTF-16 surrogate at character %1").arg(at + 1),
              QByteArrayView(padded.data.get(), static_cast<qsizetype>(padded.size)));
    }
    fill(aDataset, padded);
}
