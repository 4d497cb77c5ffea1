#include "Server.h"

#include "JsonText.h"
#include "Validation.h"
#include "support/Codepage.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <memory>
#include <regex>

namespace fake {

namespace {

const char* const kJson = "application/json;charset=UTF-8";

// The request's endpoint and the segments of its path.
struct Route {
    std::string endpoint; // empty: no such endpoint
    std::string company, store, cashRegister;
};

Route routeOf(const std::string& method, const std::string& path) {
    static const std::regex cajas(
        R"(/api-minoristas/api/v2/minoristas/([^/]+)/locales/([^/]+)/cajas/([^/]+)/(movimientos|cierresDiarios))");
    static const std::regex solicitudes(
        R"(/api-minoristas/api/v2/minoristas/([^/]+)/locales/([^/]+)/solicitudes/(movimientos|cierresDiarios))");
    static const std::regex promociones(
        R"(/pmkt-rest-api/minoristas/([^/]+)/locales/([^/]+)/promocionesConLimitePorTicket)");
    Route r;
    std::smatch m;
    if (method == "POST" && std::regex_match(path, m, cajas)) {
        r = {m[4].str(), m[1].str(), m[2].str(), m[3].str()};
    } else if (method == "GET" && std::regex_match(path, m, solicitudes)) {
        r = {m[3].str() == "movimientos" ? "solicitudesMovimientos" : "solicitudesCierresDiarios", m[1].str(),
             m[2].str(), ""};
    } else if (method == "GET" && std::regex_match(path, m, promociones)) {
        r = {"promociones", m[1].str(), m[2].str(), ""};
    }
    return r;
}

// Headers the server library adds to a request itself; they were not sent.
bool isAddedHeader(const std::string& name) {
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
}

void reply(httplib::Response& res, int status, const std::string& body, const char* contentType = kJson) {
    res.status = status;
    res.set_content(body, contentType);
}

// A whole number of at most maxDigits digits.
template <typename T>
bool parseCount(const std::string& text, size_t maxDigits, T& out) {
    if (text.empty() || text.size() > maxDigits || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = static_cast<T>(std::stoll(text));
    return true;
}

std::string message(const std::string& text) {
    return "{\"mensaje\":" + jsonQuote(text) + "}";
}

// Whether a POST declares a JSON body in UTF-8 (or no charset at all).
bool isJsonContent(const httplib::Request& req) {
    std::string type = req.get_header_value("Content-Type");
    for (auto& c : type) c = char(std::tolower(static_cast<unsigned char>(c)));
    type.erase(std::remove(type.begin(), type.end(), ' '), type.end());
    if (type != "application/json" && type.rfind("application/json;", 0) != 0) return false;
    const auto charset = type.find("charset=");
    return charset == std::string::npos || type.compare(charset + 8, std::string::npos, "utf-8") == 0;
}

} // namespace

Server::Server(const Options& options)
    : m_options(options),
      m_expectedCredentials(
          ansi::fromUnicode(QString::fromStdString(options.user + ":" + options.password)).toStdString()),
      m_state(options), m_journal(options.journalPath) {
    m_http.new_task_queue = [] { return new httplib::ThreadPool(16); };
    m_http.set_keep_alive_max_count(1'000'000);
    m_http.set_keep_alive_timeout(30);
    m_http.set_tcp_nodelay(true); // replies leave at once, not after the delayed ACK
    routes();
}

int Server::bind() {
    if (m_options.port == 0) return m_http.bind_to_any_port("127.0.0.1");
    return m_http.bind_to_port("127.0.0.1", m_options.port) ? m_options.port : -1;
}

bool Server::run() {
    return m_http.listen_after_bind();
}

void Server::stop() {
    m_state.stopWaiting();
    m_http.stop();
}

void Server::routes() {
    const auto any = [this](const httplib::Request& req, httplib::Response& res) {
        ++m_active;
        struct Done {
            std::atomic<int>& active;
            ~Done() { --active; }
        } done{m_active};
        if (req.path.rfind("/_control/", 0) == 0) {
            control(req, res);
            return;
        }
        answer(req, res, routeOf(req.method, req.path).endpoint);
    };
    m_http.Get(".*", any);
    m_http.Post(".*", any);
    m_http.Put(".*", any);
    m_http.Patch(".*", any);
    m_http.Delete(".*", any);
    m_http.Options(".*", any);
}

void Server::answer(const httplib::Request& req, httplib::Response& res, const std::string& endpoint) {
    m_state.waitLatency();
    JournalEntry entry;
    entry.connection = req.remote_port;
    entry.method = req.method;
    entry.path = req.path;
    entry.target = req.target;
    for (const auto& [name, value] : req.headers)
        if (!isAddedHeader(name)) entry.headers.emplace_back(name, value);
    entry.body = req.body;
    entry.endpoint = endpoint;

    if (const auto queued = endpoint.empty() ? std::nullopt : m_state.takeQueued(endpoint)) {
        reply(res, *queued, "{\"status\":" + std::to_string(*queued) + "}");
        entry.reason = "queued status";
    } else if (endpoint.empty()) {
        reply(res, 404, message("no such endpoint: " + req.method + " " + req.path));
        entry.reason = "no such endpoint";
    } else if (const std::string problem = authorizationProblem(req); !problem.empty()) {
        reply(res, 401, message(problem));
        res.set_header("WWW-Authenticate", "Basic realm=\"korvanta\"");
        entry.reason = problem;
    } else if (endpoint == "movimientos") {
        movement(req, res, entry);
    } else if (endpoint == "cierresDiarios") {
        closing(req, res, entry);
    } else {
        servedGet(endpoint, res, entry);
    }
    int holdMs = 0;
    if (!endpoint.empty()) {
        if (const auto set = m_state.servedOverride(endpoint)) res.set_content(set->body, set->contentType.c_str());
        if (const Delivery delivery = m_state.delivery(endpoint); delivery.shaped())
            shapeDelivery(res, delivery, entry);
        holdMs = m_state.takeHold(endpoint);
        if (holdMs > 0)
            entry.reason += (entry.reason.empty() ? "" : "; ") + std::string("reply held back ") +
                            std::to_string(holdMs) + " ms";
    }

    if (req.get_header_value("Cookie").find("korvanta-session=") == std::string::npos)
        res.set_header("Set-Cookie", "korvanta-session=" + std::to_string(m_state.nextSession()) + "; Path=/");
    entry.status = res.status;
    m_journal.write(entry);
    // Handled and journalled: the service has done its part, only the reply is late.
    if (holdMs > 0) static_cast<void>(m_state.pause(holdMs));
}

std::string Server::authorizationProblem(const httplib::Request& req) const {
    const size_t count = req.get_header_value_count("Authorization");
    if (count == 0) return "no Authorization header";
    if (count > 1) return "more than one Authorization header";
    const std::string value = req.get_header_value("Authorization");
    if (value.rfind("Basic ", 0) != 0) return "Authorization is not Basic";
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(value.substr(6)),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return "Authorization is not valid Base64";
    if (decoded.decoded.toStdString() != m_expectedCredentials) return "wrong user name or password";
    return {};
}

void Server::movement(const httplib::Request& req, httplib::Response& res, JournalEntry& entry) {
    if (!isJsonContent(req)) {
        entry.reason = "Content-Type is not application/json in UTF-8";
        reply(res, 415, message(entry.reason));
        return;
    }
    const MovementCheck check = checkMovement(req.body);
    if (!check.error.empty()) {
        entry.reason = check.error;
        reply(res, 400, message(check.error));
        return;
    }
    const Route r = routeOf(req.method, req.path);
    const std::string key = r.company + '\n' + r.store + '\n' + r.cashRegister + '\n' + check.numero + '\n' + check.fecha;
    if (m_state.acceptMovement(key)) {
        reply(res, 200, "{\"mensaje\":\"movimiento registrado\",\"numero\":" + jsonQuote(check.numero) + "}");
    } else {
        reply(res, 208, "{\"mensaje\":\"movimiento ya registrado\",\"numero\":" + jsonQuote(check.numero) + "}");
        entry.reason = "movement already accepted";
    }
}

void Server::closing(const httplib::Request& req, httplib::Response& res, JournalEntry& entry) {
    if (!isJsonContent(req)) {
        entry.reason = "Content-Type is not application/json in UTF-8";
        reply(res, 415, message(entry.reason));
        return;
    }
    const std::string error = checkClosing(req.body);
    if (!error.empty()) {
        entry.reason = error;
        reply(res, 400, message(error));
        return;
    }
    reply(res, 200, message("cierre diario registrado"));
}

void Server::servedGet(const std::string& endpoint, httplib::Response& res, JournalEntry& entry) {
    const ServedBody served = m_state.served(endpoint);
    if (!served.found) {
        entry.reason = served.error;
        reply(res, 500, message(served.error));
        return;
    }
    reply(res, 200, served.body, served.contentType.c_str());
}

// The body leaves through a content provider: the Content-Length is that of the
// whole body, while the provider may send it a byte at a time or stop short,
// which closes the connection.
void Server::shapeDelivery(httplib::Response& res, const Delivery& delivery, JournalEntry& entry) {
    if (res.body.empty()) return;
    auto body = std::make_shared<const std::string>(std::move(res.body));
    res.body.clear();
    const std::string contentType = res.get_header_value("Content-Type");
    const auto types = res.headers.equal_range("Content-Type");
    res.headers.erase(types.first, types.second);
    const size_t sent =
        delivery.truncateAt >= 0 ? std::min(body->size(), static_cast<size_t>(delivery.truncateAt)) : body->size();

    std::string note;
    if (delivery.trickleMs > 0) note = "body trickled one byte every " + std::to_string(delivery.trickleMs) + " ms";
    if (sent < body->size())
        note += (note.empty() ? "" : ", ") + std::string("body cut after ") + std::to_string(sent) + " of " +
                std::to_string(body->size()) + " bytes";
    if (!note.empty()) entry.reason += (entry.reason.empty() ? "" : "; ") + note;

    res.set_content_provider(
        body->size(), contentType,
        [this, body, sent, trickleMs = delivery.trickleMs](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset >= sent) return false; // fewer bytes than declared: the connection closes
            if (trickleMs <= 0) return sink.write(body->data() + offset, sent - offset);
            return m_state.pause(trickleMs) && sink.write(body->data() + offset, 1);
        });
}

void Server::control(const httplib::Request& req, httplib::Response& res) {
    const auto fail = [&res](const std::string& why) { reply(res, 400, why + "\n", "text/plain"); };
    const std::string endpoint = req.get_param_value("endpoint");
    if (req.path == "/_control/health" && req.method == "GET") {
        reply(res, 200, "ok\n", "text/plain");
    } else if (req.path == "/_control/queue" && req.method == "POST") {
        std::vector<int> statuses;
        if (!isEndpointName(endpoint)) return fail("unknown endpoint: " + endpoint);
        if (!parseStatusList(req.get_param_value("statuses"), statuses)) return fail("bad statuses");
        m_state.queue(endpoint, statuses);
        reply(res, 200, "ok\n", "text/plain");
    } else if (req.path == "/_control/serve" && req.method == "POST") {
        if (!isEndpointName(endpoint)) return fail("unknown endpoint: " + endpoint);
        m_state.serve(endpoint, req.body, req.get_param_value("contentType"));
        reply(res, 200, "ok\n", "text/plain");
    } else if (req.path == "/_control/delivery" && req.method == "POST") {
        if (!isEndpointName(endpoint)) return fail("unknown endpoint: " + endpoint);
        Delivery delivery;
        const std::string trickleMs = req.get_param_value("trickleMs");
        const std::string truncateAt = req.get_param_value("truncateAt");
        const std::string holdMs = req.get_param_value("holdMs");
        const std::string holdAfter = req.get_param_value("holdAfter");
        if (!trickleMs.empty() && !parseCount(trickleMs, 7, delivery.trickleMs)) return fail("bad trickleMs");
        if (!truncateAt.empty() && !parseCount(truncateAt, 12, delivery.truncateAt)) return fail("bad truncateAt");
        if (!holdMs.empty() && !parseCount(holdMs, 7, delivery.holdMs)) return fail("bad holdMs");
        if (!holdAfter.empty() && !parseCount(holdAfter, 7, delivery.holdAfter)) return fail("bad holdAfter");
        m_state.setDelivery(endpoint, delivery);
        reply(res, 200, "ok\n", "text/plain");
    } else if (req.path == "/_control/latency" && req.method == "POST") {
        int ms = 0;
        if (!parseCount(req.get_param_value("ms"), 7, ms)) return fail("bad ms");
        m_state.setLatencyMs(ms);
        reply(res, 200, "ok\n", "text/plain");
    } else if (req.path == "/_control/reset" && req.method == "POST") {
        m_state.reset();
        reply(res, 200, "ok\n", "text/plain");
    } else {
        reply(res, 404, "no such control request\n", "text/plain");
    }
}

} // namespace fake
