// Cutting a text at the first occurrence of a one-character delimiter.

#include "support/frmFunczyr.h"

namespace {
// Position of the first character equal to the whole delimiter; -1 when none
// (a delimiter that is not exactly one character never matches).
qsizetype firstDelimiter(const QString& text, const QString& delimit) {
    if (delimit.size() != 1) return -1;
    return text.indexOf(delimit.at(0), 0, Qt::CaseSensitive);
}
} // namespace

QString Funcoes_da_ZYR::BuscaStringDelimitador(const QString& strTexto, const QString& delimit) {
    const qsizetype at = firstDelimiter(strTexto, delimit);
    return at < 0 ? strTexto : strTexto.left(at);
}

QString Funcoes_da_ZYR::ExtraiStringDelimitador(const QString& strTexto, const QString& delimit) {
    const qsizetype at = firstDelimiter(strTexto, delimit);
    return at < 0 ? strTexto : strTexto.mid(at + 1);
}

QString Funcoes_da_ZYR::StringDelimitador(const QString& strTexto, const QString& delimitIn,
                                          const QString& oqueIn) {
    const QString mode = AsciiLower(oqueIn);
    if (mode == u"inicio") return BuscaStringDelimitador(strTexto, delimitIn);
    if (mode == u"resto") return ExtraiStringDelimitador(strTexto, delimitIn);
    return {};
}
