// The request frame's operations of the core: they hold the frame's state
// (URL_BASE, qualUrlColeta, IdHTTP_Temp) and forward the rules to api/.
#include "api/RequestFrame.h"
#include "app/uPrincipal.h"
#include "config/Settings.h"

QString TPrincipal::Autentica(const QString& pUsuario, const QString& pSenha) const {
    return api::Autentica(pUsuario, pSenha);
}

void TPrincipal::config_ftp_json() {
    IdHTTP_Temp = api::config_ftp_json(edtUsuario, edtSenha, versaoPdv, VersaoRetaguarda);
}

void TPrincipal::coleta_Url_Base() {
    URL_BASE =
        api::coleta_Url_Base(qualUrlColeta, {frmConfig->values().urlBase, frmConfig->values().urlBase2,
                                             frmConfig->values().urlBase3, frmConfig->values().urlBase4});
}

void TPrincipal::trata_erro_url(int erroIn) { qualUrlColeta = api::trata_erro_url(qualUrlColeta, erroIn); }
