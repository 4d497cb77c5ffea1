#include "ServiceState.h"

#include <chrono>
#include <fstream>
#include <sstream>

namespace fake {

namespace {
const char* const kJson = "application/json;charset=UTF-8";

std::string defaultBody(const std::string& endpoint) {
    return endpoint == "promociones" ? R"({"cantidad":0,"promociones":[]})" : "[]";
}
} // namespace

ServiceState::ServiceState(const Options& options) : m_options(options) {
    reset();
}

void ServiceState::reset() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_queues = m_options.queues;
    m_accepted.clear();
    m_overrides.clear();
    m_deliveries.clear();
    m_requestsSinceDelivery.clear();
    m_latencyMs = m_options.latencyMs;
}

std::optional<int> ServiceState::takeQueued(const std::string& endpoint) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_queues.find(endpoint);
    if (it == m_queues.end() || it->second.empty()) return std::nullopt;
    const int status = it->second.front();
    it->second.erase(it->second.begin());
    return status;
}

void ServiceState::queue(const std::string& endpoint, const std::vector<int>& statuses) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    auto& q = m_queues[endpoint];
    q.insert(q.end(), statuses.begin(), statuses.end());
}

bool ServiceState::acceptMovement(const std::string& key) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_accepted.insert(key).second;
}

std::optional<ServedBody> ServiceState::servedOverride(const std::string& endpoint) const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_overrides.find(endpoint);
    if (it == m_overrides.end()) return std::nullopt;
    return it->second;
}

ServedBody ServiceState::served(const std::string& endpoint) const {
    if (auto set = servedOverride(endpoint)) return *set;
    ServedBody s;
    s.contentType = kJson;
    const auto file = m_options.servedFiles.find(endpoint);
    if (file == m_options.servedFiles.end()) {
        s.body = defaultBody(endpoint);
        return s;
    }
    std::ifstream in(file->second, std::ios::binary);
    if (!in) {
        s.found = false;
        s.error = "cannot read " + file->second;
        return s;
    }
    std::ostringstream content;
    content << in.rdbuf();
    s.body = content.str();
    return s;
}

void ServiceState::serve(const std::string& endpoint, std::string body, std::string contentType) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    ServedBody& s = m_overrides[endpoint];
    s.body = std::move(body);
    s.contentType = contentType.empty() ? kJson : std::move(contentType);
}

Delivery ServiceState::delivery(const std::string& endpoint) const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_deliveries.find(endpoint);
    return it == m_deliveries.end() ? Delivery{} : it->second;
}

void ServiceState::setDelivery(const std::string& endpoint, const Delivery& delivery) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (delivery.plain())
        m_deliveries.erase(endpoint);
    else
        m_deliveries[endpoint] = delivery;
    m_requestsSinceDelivery[endpoint] = 0;
}

int ServiceState::takeHold(const std::string& endpoint) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const int seen = m_requestsSinceDelivery[endpoint]++;
    const auto it = m_deliveries.find(endpoint);
    if (it == m_deliveries.end() || seen < it->second.holdAfter) return 0;
    return it->second.holdMs;
}

void ServiceState::setLatencyMs(int ms) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_latencyMs = ms;
}

void ServiceState::waitLatency() {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_latencyMs <= 0) return;
    m_stopped.wait_for(lock, std::chrono::milliseconds(m_latencyMs), [this] { return m_stopping; });
}

bool ServiceState::pause(int ms) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_stopped.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopping; });
}

void ServiceState::stopWaiting() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_stopped.notify_all();
}

int ServiceState::nextSession() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return ++m_sessions;
}

} // namespace fake
