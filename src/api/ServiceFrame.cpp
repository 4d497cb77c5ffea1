#include "api/ServiceFrame.h"

namespace api {

ServiceFrame::ServiceFrame() : m_getClient(criaClienteGet()) {
    contaSemResposta(*m_getClient);
}

ServiceFrame::~ServiceFrame() = default;

void ServiceFrame::setUrls(const UrlsBase& urls) {
    m_urls = urls;
    coleta_Url_Base();
}

void ServiceFrame::coleta_Url_Base() {
    m_baseUrl = api::coleta_Url_Base(m_failoverIndex, m_urls);
}

void ServiceFrame::trata_erro_url(int status) {
    m_failoverIndex = api::trata_erro_url(m_failoverIndex, status);
}

void ServiceFrame::setCredentials(const QString& user, const QString& password) {
    m_user = user;
    m_password = password;
}

std::unique_ptr<THttpClient> ServiceFrame::config_ftp_json() const {
    std::unique_ptr<THttpClient> client =
        api::config_ftp_json(m_user, m_password, m_pdvVersion, m_backEndVersion);
    contaSemResposta(*client);
    return client;
}

void ServiceFrame::contaSemResposta(THttpClient& client) const {
    client.setOnNoReply([this] { m_semResposta.fetch_add(1); });
}

HttpReply ServiceFrame::get(const QString& path) {
    defineAutorizacaoGet(*m_getClient, m_user, m_password);
    return m_getClient->get(m_baseUrl + path);
}

} // namespace api
