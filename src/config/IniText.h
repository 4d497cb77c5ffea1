#pragma once
// The content of an INI file as lines, with the lookup and replacement rules of
// the Windows profile API: section and key names match without regard to case,
// a value is the text after "=" with blanks at both ends removed and read up to
// 2047 characters; the first of repeated keys is the one read and replaced.
//
// Lines are kept as the bytes they were, so a write leaves every line it does not
// touch as it found it (comments, other sections, unknown keys, odd bytes). The
// text is Windows-1252; UTF-8 when it starts with a UTF-8 byte-order mark; UTF-16
// when it starts with a UTF-16 one (Notepad's "Unicode", which the profile API
// reads and writes as such). It is written back in the same encoding, with its
// mark, lines ended by CR LF. A UTF-16 text is held as UTF-8 lines in between, so
// what is not valid UTF-16 in it comes back as U+FFFD.

#include <QByteArray>
#include <QString>
#include <vector>

class IniText {
  public:
    static constexpr qsizetype MaxValueLength = 2047;

    IniText() = default;
    [[nodiscard]] static IniText parse(const QByteArray& bytes);
    [[nodiscard]] QByteArray toBytes() const;

    enum class Encoding { Windows1252, Utf8, Utf16LE, Utf16BE };
    [[nodiscard]] Encoding encoding() const { return m_encoding; }
    [[nodiscard]] bool isUtf8() const { return m_encoding == Encoding::Utf8; }
    [[nodiscard]] bool contains(const QString& section, const QString& key) const;
    // The key's value, cut to MaxValueLength; empty when the key is missing.
    [[nodiscard]] QString value(const QString& section, const QString& key) const;
    // Replaces the key's line or adds it at the end of its section, adding the
    // section at the end of the text when missing. Line breaks inside the value
    // become blanks, so a value can never make lines of its own.
    void setValue(const QString& section, const QString& key, const QString& value);

  private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray raw; // without its line end
        Kind kind = Kind::Other;
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed, not cut
        bool blank = false;
    };

    [[nodiscard]] Line makeLine(QByteArray raw) const;
    [[nodiscard]] QByteArray encode(const QString& text) const;
    [[nodiscard]] const Line* findKey(const QString& section, const QString& key) const;

    // The lines' bytes are UTF-8 unless the text is Windows-1252.
    [[nodiscard]] bool linesInUtf8() const { return m_encoding != Encoding::Windows1252; }

    Encoding m_encoding = Encoding::Windows1252;
    std::vector<Line> m_lines;
};
