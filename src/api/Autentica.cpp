// Autentica: the authorization value of HTTP Basic authentication.
#include "api/RequestFrame.h"

#include "support/Codepage.h"

namespace api {

QString Autentica(const QString& pUsuario, const QString& pSenha) {
    const QByteArray credentials = ansi::fromUnicode(pUsuario + QLatin1Char(':') + pSenha);
    return QStringLiteral("Basic ") + QString::fromLatin1(credentials.toBase64());
}

} // namespace api
