#include "config/IniText.h"

#include "support/Codepage.h"
#include "support/Errors.h"

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF", 3);

bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\r' || u == u'\n' || u == u'\v' || u == u'\f';
}

// Blanks at both ends removed; the profile API trims only these, not every
// Unicode space (a no-break space is kept as part of the value).
QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void checkName(const QString& what, const QString& name, const QString& forbidden) {
    bool bad = name.isEmpty() || trimBlanks(name) != name || name.startsWith(u'[');
    for (const QChar c : forbidden)
        bad = bad || name.contains(c);
    if (bad) throw AppError(QStringLiteral("Invalid INI %1 name '%2'").arg(what, name));
}

} // namespace

IniText IniText::parse(const QByteArray& bytes) {
    IniText text;
    QByteArrayView rest(bytes);
    if (rest.startsWith(QByteArrayView(Utf8Bom))) {
        text.m_utf8 = true;
        rest = rest.sliced(Utf8Bom.size());
    }
    while (!rest.isEmpty()) {
        const qsizetype lf = rest.indexOf('\n');
        QByteArrayView raw = lf < 0 ? rest : rest.first(lf);
        rest = lf < 0 ? QByteArrayView() : rest.sliced(lf + 1);
        if (raw.endsWith('\r')) raw.chop(1);
        text.m_lines.push_back(text.makeLine(raw.toByteArray()));
    }
    return text;
}

QByteArray IniText::toBytes() const {
    QByteArray out;
    if (m_utf8) out += Utf8Bom;
    for (const Line& line : m_lines) {
        out += line.raw;
        out += "\r\n";
    }
    return out;
}

IniText::Line IniText::makeLine(QByteArray raw) const {
    Line line;
    const QString decoded = m_utf8 ? QString::fromUtf8(raw) : ansi::toUnicode(raw);
    line.raw = std::move(raw);
    const QString text = trimBlanks(decoded);
    line.blank = text.isEmpty();
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = trimBlanks(text.mid(1, close - 1));
            return line;
        }
    }
    const qsizetype eq = text.indexOf(u'=');
    if (eq >= 0) {
        line.kind = Kind::Key;
        line.name = trimBlanks(text.left(eq));
        line.value = trimBlanks(text.mid(eq + 1));
    }
    return line;
}

QByteArray IniText::encode(const QString& text) const {
    return m_utf8 ? text.toUtf8() : ansi::fromUnicode(text);
}

const IniText::Line* IniText::findKey(const QString& section, const QString& key) const {
    bool inSection = false;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section) {
            inSection = sameName(line.name, section);
        } else if (inSection && line.kind == Kind::Key && sameName(line.name, key)) {
            return &line;
        }
    }
    return nullptr;
}

bool IniText::contains(const QString& section, const QString& key) const {
    return findKey(section, key) != nullptr;
}

QString IniText::value(const QString& section, const QString& key) const {
    const Line* line = findKey(section, key);
    if (!line) return {};
    QString value = line->value;
    if (value.size() > MaxValueLength) {
        qsizetype cut = MaxValueLength;
        if (value.at(cut - 1).isHighSurrogate()) --cut; // never split a character in two
        value.truncate(cut);
    }
    return value;
}

void IniText::setValue(const QString& section, const QString& key, const QString& value) {
    checkName(QStringLiteral("section"), section, QStringLiteral("]\r\n"));
    checkName(QStringLiteral("key"), key, QStringLiteral("=\r\n"));
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    Line entry = makeLine(encode(key + u'=' + flat));

    if (const Line* found = findKey(section, key)) {
        m_lines[std::size_t(found - m_lines.data())] = std::move(entry);
        return;
    }

    // The key goes after the last non-blank line of the first section of that name.
    std::size_t insertAt = 0;
    bool inSection = false;
    bool sectionFound = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Section) {
            if (sectionFound) break;
            inSection = sameName(line.name, section);
            sectionFound = inSection;
        }
        if (inSection && !line.blank) insertAt = i + 1;
    }
    if (sectionFound) {
        m_lines.insert(m_lines.begin() + std::ptrdiff_t(insertAt), std::move(entry));
        return;
    }

    if (!m_lines.empty() && !m_lines.back().blank) m_lines.push_back(makeLine({}));
    m_lines.push_back(makeLine(encode(u'[' + section + u']')));
    m_lines.push_back(std::move(entry));
}
