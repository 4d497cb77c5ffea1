#pragma once
// The program's command line: which mode to start and with what.
//
//   korvanta-sync [--dir DIR] [--headless | --once COMMAND [ARG] | --status [--json]
//                 [--warn-age MIN] [--crit-age MIN]] | --version | --help

#include "app/Headless.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

// The usage text --help prints and a usage error repeats.
[[nodiscard]] const char* usage();

struct Options {
    enum class Mode { Tray, Headless, Once, Status, Help, Version };
    Mode mode = Mode::Tray;
    QString dir; // empty: the executable's folder
    std::optional<headless::OnceCommand> once;
    bool json = false;
    int warnAgeMinutes = 30;
    int critAgeMinutes = 120;
};

struct Parsed {
    std::optional<Options> options; // empty on a usage error
    QString error;                  // why, on a usage error
    // The exit status of a usage error: 3 for --status (UNKNOWN, as monitoring
    // agents expect), 2 otherwise.
    int errorStatus = 2;
};

// Reads the arguments (without the program's name).
[[nodiscard]] Parsed parse(const QStringList& arguments);

} // namespace cli
