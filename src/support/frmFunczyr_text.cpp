// Character replacement, case-blind search, reversal and ASCII case changes.

#include "support/frmFunczyr.h"

#include <algorithm>

QString Funcoes_da_ZYR::AsciiUpper(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c >= u'a' && c <= u'z') c = QChar(char16_t(c.unicode() - (u'a' - u'A')));
    return out;
}

QString Funcoes_da_ZYR::AsciiLower(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c >= u'A' && c <= u'Z') c = QChar(char16_t(c.unicode() + (u'a' - u'A')));
    return out;
}

QString Funcoes_da_ZYR::TrocaLetra(const QString& strIn, const QString& strLetraAtual,
                                   const QString& strLetraNova) {
    if (strLetraAtual.size() != 1) return strIn;
    const QChar from = strLetraAtual.at(0);
    QString out;
    out.reserve(strIn.size());
    for (const QChar c : strIn) {
        if (c == from)
            out += strLetraNova;
        else
            out += c;
    }
    return out;
}

bool Funcoes_da_ZYR::Tem_Palavra_no_Texto(const QString& palavraIn, const QString& textoIn) {
    if (textoIn.isEmpty()) return false;
    return AsciiUpper(textoIn).contains(AsciiUpper(palavraIn), Qt::CaseSensitive);
}

QString Funcoes_da_ZYR::InverteTexto(const QString& Texto) {
    QString out = Texto;
    std::reverse(out.begin(), out.end());
    return out;
}
