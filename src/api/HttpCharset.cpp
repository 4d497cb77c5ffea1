#include "api/HttpCharset.h"

#include "support/Codepage.h"

#include <QList>
#include <QStringDecoder>

namespace httpcharset {

QByteArray charsetOf(const QByteArray& contentType) {
    const QList<QByteArray> params = contentType.split(';');
    for (qsizetype i = 1; i < params.size(); ++i) {
        const QByteArray p = params.at(i).trimmed();
        const qsizetype eq = p.indexOf('=');
        if (eq < 0 || p.left(eq).trimmed().toLower() != "charset") continue;
        QByteArray value = p.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value.toLower();
    }
    return {};
}

QString decodeBody(const QByteArray& body, const QByteArray& contentType) {
    const QByteArray charset = charsetOf(contentType);
    if (charset.isEmpty() || charset == "iso-8859-1" || charset == "latin1" || charset == "iso8859-1" ||
        charset == "us-ascii")
        return QString::fromLatin1(body);
    if (charset == "windows-1252" || charset == "cp1252") return ansi::toUnicode(body);
    if (charset == "utf-8" || charset == "utf8") return QString::fromUtf8(body);
    QStringDecoder decoder(charset.constData());
    if (!decoder.isValid()) return QString::fromLatin1(body);
    return decoder.decode(body);
}

} // namespace httpcharset
