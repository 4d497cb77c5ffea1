// config_ftp_json and the long-lived GET client: which headers each client sends.
#include "api/RequestFrame.h"

namespace api {

std::unique_ptr<THttpClient> config_ftp_json(const QString& usuario, const QString& senha,
                                             const QString& versaoPdv, const QString& versaoRetaguarda) {
    auto client = std::make_unique<THttpClient>(THttpClient::Cookies::Ignore);
    client->setCustomHeader(QStringLiteral("Authorization"), Autentica(usuario, senha));
    client->setCustomHeader(QStringLiteral("pdv-version"), versaoPdv);
    client->setCustomHeader(QStringLiteral("backEnd-version"), versaoRetaguarda);
    client->setContentType(QStringLiteral("application/json; charset=UTF-8"));
    client->setAccept(QStringLiteral("application/json"));
    return client;
}

std::unique_ptr<THttpClient> criaClienteGet() {
    auto client = std::make_unique<THttpClient>(THttpClient::Cookies::Keep);
    client->setAccept(QStringLiteral("text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"));
    return client;
}

void defineAutorizacaoGet(THttpClient& client, const QString& usuario, const QString& senha) {
    client.setCustomHeader(QStringLiteral("Authorization"), Autentica(usuario, senha));
}

} // namespace api
