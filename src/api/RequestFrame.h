#pragma once
// The frame of every exchange with the Korvanta service: credentials, base URL
// choice and failover, endpoint paths, the two kinds of HTTP client, the
// classification of movement replies, and the number and text forms written
// into documents.
//
// The frame's state (the base URL, the failover index, the credentials, the
// versions and the long-lived GET client) lives in api::ServiceFrame
// (ServiceFrame.h); these functions hold none.
//
// A request URL is URL_BASE immediately followed by a path: nothing is inserted
// or encoded between them, so a base URL is expected to end with "/".

#include "api/HttpClient.h"

#include <QString>

#include <memory>

namespace api {

// Base URL used when "URLBASE" is empty: where fake-korvanta listens by default.
inline constexpr const char* kDefaultBaseUrl = "http://127.0.0.1:8080/";
// Initial value of versaoPdv ("pdv-version") and VersaoRetaguarda ("backEnd-version").
inline constexpr const char* kVersao = "2020.1104";

// ---- Authorization --------------------------------------------------------------
// "Basic " followed by the Base64 (RFC 4648, "=" padding, no line breaks) of
// pUsuario ":" pSenha in Windows-1252; a character the code page lacks is sent
// as "?". Empty credentials give "Basic Og==".
[[nodiscard]] QString Autentica(const QString& pUsuario, const QString& pSenha);

// ---- Base URL choice and failover -----------------------------------------------
// The four base-URL settings "URLBASE" .. "URLBASE4".
struct UrlsBase {
    QString urlBase;
    QString urlBase2;
    QString urlBase3;
    QString urlBase4;
};

// The base URL for the failover index (coleta_Url_Base):
//   1    -> urlBase, or kDefaultBaseUrl when urlBase is empty;
//   2..4 -> urlBase2..urlBase4 when not empty, otherwise urlBase (even empty);
//   any other index -> urlBase.
// The core calls it only when the settings are applied; URL_BASE stays as it
// is between those moments.
[[nodiscard]] QString coleta_Url_Base(int qualUrlColeta, const UrlsBase& urls);

// The failover index after a reply status (trata_erro_url): 500 and 408 move
// it on 1 -> 2 -> 3 -> 4 -> 1 (an index out of 1..4 goes to 1); any other
// status leaves it unchanged.
[[nodiscard]] int trata_erro_url(int qualUrlColeta, int erroIn);

// ---- Reply classification of the sales upload ------------------------------------
struct RetornoClassificado {
    bool sucesso = false; // 200 and 208
    QString mensagem;     // the status in decimal followed by the table's text ("200: Ok")
};
// 200, 208 -> success ": Ok"; 400 ": os dados enviados estao incorretos";
// 401 ": não tem permissão suficientes para executar a operação";
// 500, 408 ": erro de processamento no servidor, tipicamente um erro inesperado";
// any other ": erro nao catalogado".
[[nodiscard]] RetornoClassificado classifica_retorno(int status);

// ---- Values written into documents -----------------------------------------------
// vlrIn as written into a document: at least one integer digit, no thousands
// separator, exactly strformat.size() decimals after a ".", a leading "-" when
// negative (not for a value that rounds to zero). The value is first taken to
// 15 significant digits and then rounded to the decimals, both half away from
// zero ("00": 45.6 -> "45.60", 0.125 -> "0.13", 1.005 -> "1.01", -2.5 -> "-2.50").
// "NAN", "INF" and "-INF" for values that are not finite.
[[nodiscard]] QString format_vlr_korv(const QString& strformat, double vlrIn);

// A text made safe for a quoted document value: every "\" becomes "/", every
// carriage return and every double quote is removed; nothing else changes.
[[nodiscard]] QString Trata_asc_especial(const QString& strIn);

// ---- Endpoint paths (relative to the base URL) -----------------------------------
// Segments are joined as they stand, without encoding.
// POST: "api-minoristas/api/v2/minoristas/<empresa>/locales/<local>/cajas/<caixa>/movimientos"
[[nodiscard]] QString pathMovimientos(const QString& empresa, const QString& local, const QString& caixa);
// POST: "api-minoristas/api/v2/minoristas/<empresa>/locales/<local>/cajas/<caixa>/cierresDiarios"
[[nodiscard]] QString pathCierresDiarios(const QString& empresa, const QString& local, const QString& caixa);
// GET: "pmkt-rest-api/minoristas/<empresa>/locales/<local>/promocionesConLimitePorTicket"
[[nodiscard]] QString pathPromociones(const QString& empresa, const QString& local);
// GET: "api-minoristas/api/v2/minoristas/<empresa>/locales/<local>/solicitudes/movimientos"
[[nodiscard]] QString pathSolicitudesMovimientos(const QString& empresa, const QString& local);
// GET: "api-minoristas/api/v2/minoristas/<empresa>/locales/<local>/solicitudes/cierresDiarios"
[[nodiscard]] QString pathSolicitudesCierresDiarios(const QString& empresa, const QString& local);

// ---- The two clients -------------------------------------------------------------
// The per-request client of one POST (config_ftp_json): a fresh client without
// cookies sending "Authorization" (Autentica of the credentials), "pdv-version",
// "backEnd-version" (each only when not empty), Content-Type
// "application/json; charset=UTF-8", Accept "application/json" and the default
// User-Agent. Its connection may be a kept-alive one from an earlier request.
[[nodiscard]] std::unique_ptr<THttpClient> config_ftp_json(const QString& usuario, const QString& senha,
                                                           const QString& versaoPdv,
                                                           const QString& versaoRetaguarda);

// The long-lived client of every GET: keeps the cookies replies set,
// Accept "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8",
// the default User-Agent, no version headers and no content type.
[[nodiscard]] std::unique_ptr<THttpClient> criaClienteGet();

// Sets the GET client's one "Authorization" header to Autentica(usuario, senha),
// replacing the earlier value. Called before every GET so that it carries the
// credentials current at that moment.
void defineAutorizacaoGet(THttpClient& client, const QString& usuario, const QString& senha);

} // namespace api
