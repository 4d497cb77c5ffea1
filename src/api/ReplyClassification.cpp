// classifica_retorno: the success flag and message of a movement reply status.
#include "api/RequestFrame.h"

namespace api {

RetornoClassificado classifica_retorno(int status) {
    RetornoClassificado r;
    QString text;
    switch (status) {
    case 200:
    case 208:
        r.sucesso = true;
        text = QStringLiteral(": Ok");
        break;
    case 400:
        text = QStringLiteral(": os dados enviados estao incorretos");
        break;
    case 401:
        text = QStringLiteral(": não tem permissão suficientes para executar a operação");
        break;
    case 500:
    case 408:
        text = QStringLiteral(": erro de processamento no servidor, tipicamente um erro inesperado");
        break;
    default:
        text = QStringLiteral(": erro nao catalogado");
        break;
    }
    r.mensagem = QString::number(status) + text;
    return r;
}

} // namespace api
