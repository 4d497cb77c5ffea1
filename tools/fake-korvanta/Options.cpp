#include "Options.h"

#include <algorithm>
#include <charconv>

namespace fake {

namespace {

bool parseInt(const std::string& text, int& out) {
    const char* end = text.data() + text.size();
    const auto res = std::from_chars(text.data(), end, out);
    return res.ec == std::errc() && res.ptr == end && !text.empty();
}

} // namespace

bool isEndpointName(const std::string& name) {
    const auto& names = endpointNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool parseStatusList(const std::string& text, std::vector<int>& out) {
    out.clear();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        int status = 0;
        if (!parseInt(item, status) || status < 100 || status > 599) return false;
        out.push_back(status);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return !out.empty();
}

std::optional<Options> parseOptions(int argc, char** argv, std::string& error) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            continue;
        }
        if (arg == "--stop-at-stdin-end") {
            o.stopAtStdinEnd = true;
            continue;
        }
        static const char* const known[] = {"--port",       "--user",   "--password",         "--journal",
                                            "--promotions", "--queue",  "--resend-movements", "--resend-closings",
                                            "--latency-ms"};
        if (std::find(std::begin(known), std::end(known), arg) == std::end(known)) {
            error = "unknown option " + arg + " (see --help)";
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            error = "option " + arg + " needs a value (see --help)";
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (arg == "--port") {
            if (!parseInt(value, o.port) || o.port < 0 || o.port > 65535) {
                error = "--port: not a port number: " + value;
                return std::nullopt;
            }
        } else if (arg == "--user") {
            o.user = value;
        } else if (arg == "--password") {
            o.password = value;
        } else if (arg == "--journal") {
            o.journalPath = value;
        } else if (arg == "--promotions") {
            o.servedFiles["promociones"] = value;
        } else if (arg == "--resend-movements") {
            o.servedFiles["solicitudesMovimientos"] = value;
        } else if (arg == "--resend-closings") {
            o.servedFiles["solicitudesCierresDiarios"] = value;
        } else if (arg == "--latency-ms") {
            if (!parseInt(value, o.latencyMs) || o.latencyMs < 0) {
                error = "--latency-ms: not a number of milliseconds: " + value;
                return std::nullopt;
            }
        } else if (arg == "--queue") {
            const size_t eq = value.find('=');
            const std::string endpoint = value.substr(0, eq);
            std::vector<int> statuses;
            if (eq == std::string::npos || !isEndpointName(endpoint) ||
                !parseStatusList(value.substr(eq + 1), statuses)) {
                error = "--queue: expected ENDPOINT=STATUS[,STATUS...], got: " + value;
                return std::nullopt;
            }
            auto& q = o.queues[endpoint];
            q.insert(q.end(), statuses.begin(), statuses.end());
        } else {
            error = "unknown option " + arg + " (see --help)";
            return std::nullopt;
        }
    }
    return o;
}

std::string usage() {
    return R"(fake-korvanta: a stand-in for the Korvanta REST service, for tests, the demo and benchmarks.
Listens on 127.0.0.1 only.

Usage: fake-korvanta [options]

Options:
  --port N                 port to listen on (default 8080; 0 picks a free port)
  --user TEXT              user name expected in the HTTP Basic authorization (default empty)
  --password TEXT          password expected (default empty)
                           Credentials are compared as Windows-1252 bytes; other requests get 401.
  --journal FILE           append one JSON line per request to FILE
  --promotions FILE        body served by the promotions endpoint
                           (default {"cantidad":0,"promociones":[]})
  --resend-movements FILE  body served by solicitudes/movimientos (default [])
  --resend-closings FILE   body served by solicitudes/cierresDiarios (default [])
                           Served files are read again for every request.
  --queue ENDPOINT=S[,S..] answer the next requests to ENDPOINT with these statuses, in order
                           (repeatable); ENDPOINT is one of movimientos, cierresDiarios,
                           promociones, solicitudesMovimientos, solicitudesCierresDiarios
  --latency-ms N           wait N milliseconds before every answer
  --stop-at-stdin-end      end (as on SIGTERM) when standard input reaches its end, e.g. when
                           the test process that started it with a pipe dies
  --help                   this text

Endpoints (any company, store and register):
  POST /api-minoristas/api/v2/minoristas/{c}/locales/{s}/cajas/{r}/movimientos
       strict check of the movement document: 200 accepted, 208 already accepted
       (same register, "numero" and "fecha"), 400 with the reason otherwise
  POST /api-minoristas/api/v2/minoristas/{c}/locales/{s}/cajas/{r}/cierresDiarios
       strict check of the closing document: 200, or 400 with the reason
  GET  /pmkt-rest-api/minoristas/{c}/locales/{s}/promocionesConLimitePorTicket
  GET  /api-minoristas/api/v2/minoristas/{c}/locales/{s}/solicitudes/movimientos
  GET  /api-minoristas/api/v2/minoristas/{c}/locales/{s}/solicitudes/cierresDiarios
  POSTs must be sent as application/json (415 otherwise). Any other request gets 404.
  Every reply to a request without the cookie sets "korvanta-session".

Control requests (same port, no authorization, not journalled):
  POST /_control/queue?endpoint=E&statuses=500,500   append statuses to E's queue
  POST /_control/serve?endpoint=E[&contentType=T]    the request body becomes the body of E's replies
                                                     (content type default application/json;charset=UTF-8);
                                                     the status still comes from the queue, the check of
                                                     a POST endpoint, or is 200 for a GET endpoint
  POST /_control/delivery?endpoint=E[&trickleMs=N][&truncateAt=B][&holdMs=M[&holdAfter=K]]
                                                     how E's replies go out from now on:
                                                     trickleMs: one byte of the body every N milliseconds;
                                                     truncateAt: the Content-Length of the whole body, but
                                                     only its first B bytes, then the connection closes;
                                                     holdMs: the requests after the first K (default 0)
                                                     from now on are handled and journalled at once, and
                                                     their replies leave M milliseconds later (at once
                                                     when the service stops);
                                                     none: whole and at once (the start state)
  POST /_control/latency?ms=N                        change the latency
  POST /_control/reset                               empty the queues, forget accepted movements,
                                                     serve the files again, deliver whole and at once,
                                                     restore the start latency
  GET  /_control/health                              200 "ok"

Journal: one JSON line per request, written before the reply is sent:
  {"time" (UTC),"connection" (the client's port: one per TCP connection),"method","path","target",
   "headers" ([name,value]... as received, values read as ISO-8859-1),
   "body" (or "bodyBase64" when the body is not UTF-8),"endpoint" (empty for an unknown path),
   "status" (the status answered),"reason" (why a request was refused, "queued status", a body
   trickled or cut, a reply held back, ...)}

Prints "fake-korvanta listening on http://127.0.0.1:PORT/" once it accepts connections.
Ends cleanly (exit status 0) on SIGTERM or SIGINT: requests in progress are answered first.
)";
}

} // namespace fake
