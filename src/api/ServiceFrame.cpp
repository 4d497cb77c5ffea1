#include "api/ServiceFrame.h"

namespace api {

ServiceFrame::ServiceFrame() : m_clienteGet(criaClienteGet()) {}

ServiceFrame::~ServiceFrame() = default;

void ServiceFrame::setUrls(const UrlsBase& urls) {
    m_urls = urls;
    coleta_Url_Base();
}

void ServiceFrame::coleta_Url_Base() {
    m_baseUrl = api::coleta_Url_Base(m_qualUrlColeta, m_urls);
}

void ServiceFrame::trata_erro_url(int status) {
    m_qualUrlColeta = api::trata_erro_url(m_qualUrlColeta, status);
}

void ServiceFrame::setCredenciais(const QString& usuario, const QString& senha) {
    m_usuario = usuario;
    m_senha = senha;
}

std::unique_ptr<THttpClient> ServiceFrame::config_ftp_json() const {
    return api::config_ftp_json(m_usuario, m_senha, m_versaoPdv, m_versaoRetaguarda);
}

HttpReply ServiceFrame::get(const QString& caminho) {
    defineAutorizacaoGet(*m_clienteGet, m_usuario, m_senha);
    return m_clienteGet->get(m_baseUrl + caminho);
}

} // namespace api
