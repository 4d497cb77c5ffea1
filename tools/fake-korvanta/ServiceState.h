#pragma once
// What the fake service remembers while it runs, shared by its worker threads:
// the queued statuses per endpoint, the movements already accepted, the reply
// bodies set by control requests, how replies go out, and the latency.

#include "Options.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace fake {

struct ServedBody {
    std::string body;
    std::string contentType;
    bool found = true; // false when the configured file cannot be read
    std::string error;
};

// How an endpoint's replies go out.
struct Delivery {
    int trickleMs = 0;         // > 0: one byte of the body every trickleMs milliseconds
    long long truncateAt = -1; // >= 0: only the first truncateAt bytes, under a Content-Length
                               // of the whole body; then the connection closes
    int holdMs = 0;            // > 0: the requests after the first holdAfter (counted from this
    int holdAfter = 0;         // setting) are handled and journalled at once, and their replies
                               // leave holdMs milliseconds later (at once when the service stops)
    [[nodiscard]] bool shaped() const { return trickleMs > 0 || truncateAt >= 0; }
    [[nodiscard]] bool plain() const { return !shaped() && holdMs <= 0; }
};

class ServiceState {
public:
    explicit ServiceState(const Options& options);

    // The next queued status of the endpoint, taken off its queue.
    [[nodiscard]] std::optional<int> takeQueued(const std::string& endpoint);
    void queue(const std::string& endpoint, const std::vector<int>& statuses);

    // Records a movement as accepted; false when the same key was accepted before.
    [[nodiscard]] bool acceptMovement(const std::string& key);

    // The reply of a GET endpoint: a body set by a control request, else the
    // configured file read now, else the default.
    [[nodiscard]] ServedBody served(const std::string& endpoint) const;
    // The body set by a control request for any endpoint, if one was set.
    [[nodiscard]] std::optional<ServedBody> servedOverride(const std::string& endpoint) const;
    void serve(const std::string& endpoint, std::string body, std::string contentType);

    [[nodiscard]] Delivery delivery(const std::string& endpoint) const;
    void setDelivery(const std::string& endpoint, const Delivery& delivery);
    // Counts one request of the endpoint; how long its reply is held back (0: not).
    [[nodiscard]] int takeHold(const std::string& endpoint);

    void setLatencyMs(int ms);
    // Waits the latency; returns early when the service is stopping.
    void waitLatency();
    // Waits ms milliseconds; false (at once) when the service is stopping.
    [[nodiscard]] bool pause(int ms);
    void stopWaiting();

    // Back to the state at start.
    void reset();

    // A number for the next session cookie.
    [[nodiscard]] int nextSession();

private:
    const Options m_options;
    mutable std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_stopping = false;
    std::map<std::string, std::vector<int>> m_queues;
    std::set<std::string> m_accepted;
    std::map<std::string, ServedBody> m_overrides;
    std::map<std::string, Delivery> m_deliveries;
    std::map<std::string, int> m_requestsSinceDelivery;
    int m_latencyMs = 0;
    int m_sessions = 0;
};

} // namespace fake
