#include "support/JsonToDataset.h"

#include "support/DecimalText.h"
#include "support/JsonTokens.h"

#include <QStringEncoder>

#include <simdjson.h>

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

// Deeper nesting is refused: no document of the service comes near it, and it
// bounds the recursion of the walk.
constexpr int kMaxDepth = 1024;

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
    Walker(TMemTable& table, od::document& doc) : m_table(table), m_doc(doc) {
        for (const FieldDef& f : table.Fields()) m_names.push_back(f.name.toStdString());
        m_filled.resize(m_names.size());
    }

    // Walks the root array; returns the rows, or throws SyntaxFailure.
    // A value the table refuses stops the gathering of rows (the walk goes on
    // to check the rest of the document) and is left in valueFailure().
    std::vector<QVariantList> rows(od::array& root) {
        std::vector<QVariantList> rows;
        for (auto item : root) {
            od::value element;
            check(std::move(item).get(element), nullptr);
            if (m_valueFailure) {
                walk(element, 1, nullptr);
                continue;
            }
            QVariantList row = elementRow(element, static_cast<int>(rows.size()) + 1);
            if (!m_valueFailure) rows.push_back(std::move(row));
        }
        return rows;
    }

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
    QVariantList elementRow(od::value& element, int rowNumber) {
        const int columns = static_cast<int>(m_names.size());
        QVariantList row(columns);
        const std::string_view token = element.raw_json_token();
        if (token.empty() || token.front() != '{') {  // not an object: a row of nulls
            walk(element, 1, nullptr);
            return row;
        }
        std::fill(m_filled.begin(), m_filled.end(), false);
        od::object object;
        check(element.get_object().get(object), token.data());
        for (auto item : object) {
            od::field field;
            check(std::move(item).get(field), nullptr);
            std::string_view key;
            check(field.unescaped_key().get(key), field.key().raw());
            const int column = columnOf(key);
            od::value value = field.value();
            if (column < 0 || m_filled[static_cast<std::size_t>(column)] || m_valueFailure) {
                walk(value, 2, nullptr);  // ignored member: checked only
                continue;
            }
            m_filled[static_cast<std::size_t>(column)] = true;
            row[column] = cellValue(value, column, rowNumber);
        }
        return row;
    }

    int columnOf(std::string_view key) const {
        for (std::size_t i = 0; i < m_names.size(); ++i)
            if (m_names[i] == key) return static_cast<int>(i);
        return -1;
    }

    QVariant cellValue(od::value& value, int column, int rowNumber) {
        const FieldDef& def = m_table.Fields().at(column);
        const std::string_view token = value.raw_json_token();
        const char first = token.empty() ? '\0' : token.front();
        QVariant result;
        switch (first) {
        case '"': {
            std::string_view text;
            check(value.get_string().get(text), token.data());
            if (def.type == FieldType::Float) {
                if (const auto number = parseDecimalText(text)) return *number;
                refuse(column, rowNumber, QStringLiteral("the string \"%1\" is not a number").arg(excerpt(text)));
                return {};
            }
            if (def.type == FieldType::Text) return TMemTable::cutText(utf8Prefix(text, def.size), def.size);
            result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
            break;
        }
        case 't':
        case 'f':
        case 'n': {
            const std::string_view word = jsontokens::trimmed(token);
            if (word != "true" && word != "false" && word != "null") fail("not a valid JSON value", token.data());
            if (word == "null") return {};
            const bool b = word == "true";
            if (def.type == FieldType::Text || def.type == FieldType::LongText)
                return b ? QStringLiteral("true") : QStringLiteral("false");
            if (def.type == FieldType::Float) return b ? 1.0 : 0.0;
            result = b;
            break;
        }
        case '{':
        case '[': {
            m_compact.clear();
            walk(value, 2, &m_compact);
            if (def.type == FieldType::Float) {
                refuse(column, rowNumber, QStringLiteral("%1 is not a number").arg(first == '{' ? "an object" : "an array"));
                return {};
            }
            if (def.type == FieldType::Text) return TMemTable::cutText(utf8Prefix(m_compact, def.size), def.size);
            result = QString::fromUtf8(m_compact.data(), static_cast<qsizetype>(m_compact.size()));
            break;
        }
        default: {
            const std::string_view number = jsontokens::trimmed(token);
            if (!jsontokens::isNumber(number)) fail("not a valid JSON value", token.data());
            if (def.type == FieldType::Float) {
                double d = 0;
                check(value.get_double().get(d), token.data());
                return d;
            }
            if (def.type == FieldType::Text || def.type == FieldType::LongText)
                return TMemTable::cutText(QString::fromLatin1(number.data(), static_cast<qsizetype>(number.size())),
                                          def.type == FieldType::Text ? def.size : -1);
            double d = 0;
            check(value.get_double().get(d), token.data());
            result = d;
            break;
        }
        }
        // Date, time and boolean columns (none of the JSON tables has one).
        try {
            return m_table.convertForColumn(column, result);
        } catch (const AppError& e) {
            refuse(column, rowNumber, e.message());
            return {};
        }
    }

    void refuse(int column, int rowNumber, const QString& reason) {
        m_valueFailure = ValueFailure{QStringLiteral("element %1, member \"%2\": %3")
                                          .arg(rowNumber)
                                          .arg(m_table.Fields().at(column).name, reason)};
    }

    static QString excerpt(std::string_view text) {
        QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), 320)));
        return s.size() > 80 ? s.left(80) + QStringLiteral("...") : s;
    }

    // The text of at most `size` UTF-16 units needs at most 4 * size bytes:
    // convert only that much of a long string (cut at a character boundary).
    static QString utf8Prefix(std::string_view text, int size) {
        std::size_t n = text.size();
        const std::size_t limit = static_cast<std::size_t>(size) * 4 + 4;
        if (n > limit) {
            n = limit;
            while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
        }
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(n));
    }

    // Checks a value completely and, when `out` is given, appends its compact
    // JSON text (no blanks between tokens; strings and numbers as written).
    void walk(od::value& value, int depth, std::string* out) {
        const std::string_view token = value.raw_json_token();
        const char first = token.empty() ? '\0' : token.front();
        switch (first) {
        case '{': {
            if (depth + 1 > kMaxDepth) fail("the JSON nesting is deeper than 1024 levels", token.data());
            od::object object;
            check(value.get_object().get(object), token.data());
            if (out) out->push_back('{');
            bool firstMember = true;
            for (auto item : object) {
                od::field field;
                check(std::move(item).get(field), nullptr);
                const char* key = field.key().raw();  // just after the opening quote
                const char* keyEnd = stringEnd(key);
                if (out) {
                    if (!firstMember) out->push_back(',');
                    out->append(key - 1, static_cast<std::size_t>(keyEnd + 1 - (key - 1)));
                    out->push_back(':');
                }
                firstMember = false;
                od::value child = field.value();
                walk(child, depth + 1, out);
            }
            if (out) out->push_back('}');
            return;
        }
        case '[': {
            if (depth + 1 > kMaxDepth) fail("the JSON nesting is deeper than 1024 levels", token.data());
            od::array array;
            check(value.get_array().get(array), token.data());
            if (out) out->push_back('[');
            bool firstElement = true;
            for (auto item : array) {
                od::value child;
                check(std::move(item).get(child), nullptr);
                if (out && !firstElement) out->push_back(',');
                firstElement = false;
                walk(child, depth + 1, out);
            }
            if (out) out->push_back(']');
            return;
        }
        case '"': {
            const char* end = stringEnd(token.data() + 1);
            if (out) out->append(token.data(), static_cast<std::size_t>(end + 1 - token.data()));
            return;
        }
        case 't':
        case 'f':
        case 'n': {
            const std::string_view word = jsontokens::trimmed(token);
            if (word != "true" && word != "false" && word != "null") fail("not a valid JSON value", token.data());
            if (out) out->append(word);
            return;
        }
        default: {
            const std::string_view number = jsontokens::trimmed(token);
            if (!jsontokens::isNumber(number)) fail("not a valid JSON value", token.data());
            if (out) out->append(number);
            return;
        }
        }
    }

    const char* stringEnd(const char* p) {
        const char* reason = nullptr;
        const char* end = jsontokens::stringEnd(p, reason);
        if (end == nullptr) fail(reason, p - 1);
        return end;
    }

    TMemTable& m_table;
    od::document& m_doc;
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

}  // namespace

void JsonToDatasetUtf8(TMemTable& aDataset, QByteArrayView aJSON) {
    if (aJSON.isEmpty()) return;

    const simdjson::padded_string padded(aJSON.data(), static_cast<std::size_t>(aJSON.size()));
    od::parser parser;
    const char* const base = padded.data();
    auto where = [&](const char* at) -> QString {
        if (at == nullptr || at < base || at > base + padded.size()) return {};
        const qsizetype offset = at - base;
        return QStringLiteral(" at character %1").arg(QString::fromUtf8(aJSON.first(offset)).size() + 1);
    };

    std::vector<QVariantList> rows;
    std::optional<ValueFailure> valueFailure;
    try {
        od::document doc;
        if (const auto error = parser.iterate(padded).get(doc))
            throw SyntaxFailure{error == simdjson::EMPTY ? "there is no JSON value, only blanks"
                                                         : simdjson::error_message(error),
                                nullptr};
        Walker walker(aDataset, doc);
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
        rows = walker.rows(root);
        // Nothing but blanks may follow the array.
        if (const auto location = doc.current_location(); !location.error())
            throw SyntaxFailure{"text after the end of the JSON array", location.value_unsafe()};
        valueFailure = walker.valueFailure();
    } catch (const SyntaxFailure& failure) {
        raise(aDataset,
              QStringLiteral("the text is not a valid JSON array (%1)%2")
                  .arg(QString::fromStdString(failure.reason), where(failure.at)),
              aJSON);
    }

    // The parsed document and the parser go with this scope; the rows stay.
    if (valueFailure) {
        const int kept = static_cast<int>(rows.size());
        aDataset.Refill(std::move(rows), kept - 1);
        throw JsonError(QStringLiteral("JsonToDataset(%1): %2; rows kept before it: %3")
                            .arg(aDataset.Name(), valueFailure->reason)
                            .arg(kept));
    }
    aDataset.Refill(std::move(rows));
}

void JsonToDataset(TMemTable& aDataset, const QString& aJSON) {
    if (aJSON.isEmpty()) return;
    QStringEncoder encoder(QStringConverter::Utf8);
    const QByteArray utf8 = encoder.encode(aJSON);
    if (encoder.hasError()) {
        qsizetype at = 0;
        while (at < aJSON.size()) {
            const QChar c = aJSON.at(at);
            if (c.isHighSurrogate() && at + 1 < aJSON.size() && aJSON.at(at + 1).isLowSurrogate()) at += 2;
            else if (c.isSurrogate()) break;
            else ++at;
        }
        raise(aDataset, QStringLiteral("the text holds a broken UTF-16 surrogate at character %1").arg(at + 1), utf8);
    }
    JsonToDatasetUtf8(aDataset, QByteArrayView(utf8));
}
