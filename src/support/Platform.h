#pragma once
// The platform's facilities the program needs. This file and Platform.cpp are the
// only places with calls that differ between Windows and Linux.

#include <QString>

namespace platform {

// The folder of the running executable, a full path ending with the separator.
[[nodiscard]] QString executableDir();

// The program's working folder: where "configAPI.ini", the handshake files and the
// log folders live. It is the executable's folder unless the program was told
// another one (the --dir option); this is the one place that decides it.
[[nodiscard]] QString baseDir();
void setBaseDir(const QString& dir); // empty: back to the executable's folder

// The computer's name, at most 15 characters.
[[nodiscard]] QString computerName();

// Hands the process's unused memory back to the system; failures are ignored.
void trimWorkingSet();

// The platform's path separator.
[[nodiscard]] QChar separator();

} // namespace platform
