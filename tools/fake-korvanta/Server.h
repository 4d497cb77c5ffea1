#pragma once
// The fake service's HTTP server: the five endpoints, the control requests and
// the journal, on 127.0.0.1.

#include "Journal.h"
#include "Options.h"
#include "ServiceState.h"

#include <httplib.h>

#include <atomic>
#include <string>

namespace fake {

class Server {
public:
    // Throws std::runtime_error when the journal cannot be opened.
    explicit Server(const Options& options);

    // Binds 127.0.0.1 on the port of the options (0: a free one); returns the
    // port, or -1 when it cannot be bound. Connections are accepted from here on.
    [[nodiscard]] int bind();
    // Serves until stop(); returns false when serving failed.
    bool run();
    // Stops accepting connections and makes run() return once the open
    // connections are done (callable from another thread); requests waiting
    // out the latency or a held-back reply are answered at once.
    void stop();
    // Whether no request is being answered.
    [[nodiscard]] bool idle() const { return m_active == 0; }
    // Blocks journal writes for good, so the process can end between two lines.
    void freezeJournal() { m_journal.freeze(); }

private:
    void routes();
    void answer(const httplib::Request& req, httplib::Response& res, const std::string& endpoint);
    void movement(const httplib::Request& req, httplib::Response& res, JournalEntry& entry);
    void closing(const httplib::Request& req, httplib::Response& res, JournalEntry& entry);
    void servedGet(const std::string& endpoint, httplib::Response& res, JournalEntry& entry);
    void shapeDelivery(httplib::Response& res, const Delivery& delivery, JournalEntry& entry);
    [[nodiscard]] std::string authorizationProblem(const httplib::Request& req) const;
    void control(const httplib::Request& req, httplib::Response& res);

    Options m_options;
    std::string m_expectedCredentials; // user ":" password as Windows-1252 bytes
    ServiceState m_state;
    Journal m_journal;
    std::atomic<int> m_active{0};
    httplib::Server m_http;
};

} // namespace fake
