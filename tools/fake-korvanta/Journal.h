#pragma once
// The request journal: one JSON object per line, appended and flushed before
// the request is answered, so a client that has its reply finds the line.

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace fake {

struct JournalEntry {
    int connection = 0; // the client's port: one value per TCP connection
    std::string method;
    std::string path;   // decoded path
    std::string target; // request target as sent, query included
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string endpoint; // empty for an unknown path
    int status = 0;
    std::string reason; // why a request was refused, or what was unusual about its reply; empty otherwise
};

class Journal {
public:
    // An empty path writes nothing. Throws std::runtime_error when the file cannot be opened.
    explicit Journal(const std::string& path);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    void write(const JournalEntry& entry);
    // Waits for a write in progress, then blocks every later one.
    void freeze();

private:
    std::FILE* m_file = nullptr;
    std::mutex m_mutex;
};

} // namespace fake
