// coleta_Url_Base and trata_erro_url: which configured base URL is in use.
#include "api/RequestFrame.h"

namespace api {

QString coleta_Url_Base(int qualUrlColeta, const UrlsBase& urls) {
    switch (qualUrlColeta) {
    case 1:
        return urls.urlBase.isEmpty() ? QString::fromLatin1(kDefaultBaseUrl) : urls.urlBase;
    case 2:
        return urls.urlBase2.isEmpty() ? urls.urlBase : urls.urlBase2;
    case 3:
        return urls.urlBase3.isEmpty() ? urls.urlBase : urls.urlBase3;
    case 4:
        return urls.urlBase4.isEmpty() ? urls.urlBase : urls.urlBase4;
    default:
        return urls.urlBase;
    }
}

int trata_erro_url(int qualUrlColeta, int erroIn) {
    if (erroIn != 500 && erroIn != 408) return qualUrlColeta;
    return (qualUrlColeta >= 1 && qualUrlColeta <= 3) ? qualUrlColeta + 1 : 1;
}

} // namespace api
