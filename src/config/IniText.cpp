#include "config/IniText.h"

#include "support/Codepage.h"
#include "support/Errors.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF", 3);
const QByteArray Utf16LeBom("\xFF\xFE", 2);
const QByteArray Utf16BeBom("\xFE\xFF", 2);

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

// Every surrogate that is not half of a pair becomes U+FFFD.
QString withoutLoneSurrogates(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
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
    QByteArray fromUtf16;
    if (rest.startsWith(QByteArrayView(Utf8Bom))) {
        text.m_encoding = Encoding::Utf8;
        rest = rest.sliced(Utf8Bom.size());
    } else if (rest.startsWith(QByteArrayView(Utf16LeBom)) || rest.startsWith(QByteArrayView(Utf16BeBom))) {
        const bool le = rest.startsWith(QByteArrayView(Utf16LeBom));
        text.m_encoding = le ? Encoding::Utf16LE : Encoding::Utf16BE;
        QStringDecoder decoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        // The decoder turns an odd last byte into U+FFFD, but lets lone surrogates through.
        fromUtf16 = withoutLoneSurrogates(decoder.decode(rest.sliced(Utf16LeBom.size()))).toUtf8();
        rest = QByteArrayView(fromUtf16);
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
    if (m_encoding == Encoding::Utf8) out += Utf8Bom;
    for (const Line& line : m_lines) {
        out += line.raw;
        out += "\r\n";
    }
    if (m_encoding != Encoding::Utf16LE && m_encoding != Encoding::Utf16BE) return out;
    const bool le = m_encoding == Encoding::Utf16LE;
    QStringEncoder encoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    return (le ? Utf16LeBom : Utf16BeBom) + QByteArray(encoder.encode(QString::fromUtf8(out)));
}

IniText::Line IniText::makeLine(QByteArray raw) const {
    Line line;
    const QString decoded = linesInUtf8() ? QString::fromUtf8(raw) : ansi::toUnicode(raw);
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
    return linesInUtf8() ? text.toUtf8() : ansi::fromUnicode(text);
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
