#pragma once
// fake-korvanta's command line.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fake {

// The five endpoints, by the names used on the command line, in the control
// requests and in the journal.
inline const std::vector<std::string>& endpointNames() {
    static const std::vector<std::string> names = {"movimientos", "cierresDiarios", "promociones",
                                                   "solicitudesMovimientos", "solicitudesCierresDiarios"};
    return names;
}

struct Options {
    int port = 8080;      // 0: any free port
    std::string user;     // expected HTTP Basic credentials (UTF-8 on the command line)
    std::string password;
    std::string journalPath;                         // empty: no journal
    std::map<std::string, std::string> servedFiles;  // GET endpoint -> file whose content is served
    std::map<std::string, std::vector<int>> queues;  // endpoint -> statuses of its next requests
    int latencyMs = 0;                               // wait before every answer
    bool stopAtStdinEnd = false;                     // end like on SIGTERM when standard input closes
    bool help = false;
};

// Parses the arguments; on a mistake returns nullopt and sets error.
[[nodiscard]] std::optional<Options> parseOptions(int argc, char** argv, std::string& error);

// Parses "500,500,201" into statuses (100..599); false on a malformed list.
[[nodiscard]] bool parseStatusList(const std::string& text, std::vector<int>& out);

[[nodiscard]] bool isEndpointName(const std::string& name);

// The --help text.
[[nodiscard]] std::string usage();

} // namespace fake
