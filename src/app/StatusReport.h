#pragma once
// korvanta-sync --status [--json]: the state of the synchroniser of a working
// folder for people and for monitoring agents (Nagios/Icinga/Zabbix plugin
// convention). It reads configAPI.ini, the ERP database and the activity
// journal; it changes nothing and needs no running program.
//
//   status::Options options;
//   options.json = true;
//   return status::run(options, stdout, stderr);
//
// What it prints and how it judges is in StatusVerdict.h and the README
// (section "Monitoring").

#include <cstdio>

namespace status {

struct Options {
    bool json = false;
    // A pending ticket or cancellation waiting longer than this warns...
    int warnAgeMinutes = 30;
    // ...and longer than this is critical. The sales upload runs every 90 s by
    // default, so a row waits minutes at most while the service answers.
    int critAgeMinutes = 120;
};

// Reads configAPI.ini in platform::baseDir() and the ERP database, prints the
// report on `out`, problems on `err`, and returns the exit status: 0 OK,
// 1 WARNING, 2 CRITICAL, 3 UNKNOWN. Never throws. The database connection waits
// at most its connect time-out (15 s) for a server.
[[nodiscard]] int run(const Options& options, std::FILE* out, std::FILE* err);

} // namespace status
