#include "support/Codepage.h"

#include <array>

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; 0 marks an undefined byte,
// which maps to the control character of the same code.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t decodeByte(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) return kHigh[b - 0x80];
    return char16_t(b);
}

int encodeUnit(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c) return 0x80 + i;
        if (kHigh[i] == 0 && c == char16_t(0x80 + i)) return c;
    }
    return -1;
}

} // namespace

namespace ansi {

QByteArray fromUnicode(const QString& text) {
    const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    QByteArray out(size, Qt::Uninitialized);
    char* o = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) { // most texts are plain ASCII
            o[n++] = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            o[n++] = '?';
            ++i;
            continue;
        }
        const int b = encodeUnit(c);
        o[n++] = b < 0 ? '?' : char(b);
    }
    out.truncate(n);
    return out;
}

QString toUnicode(const QByteArray& bytes) {
    QString out;
    out.resize(bytes.size());
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) d[i] = QChar(decodeByte((unsigned char)bytes.at(i)));
    return out;
}

QString roundTrip(const QString& text) { return toUnicode(fromUnicode(text)); }

} // namespace ansi
