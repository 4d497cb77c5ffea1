#pragma once
// The platform's facilities the program needs. This file and Platform.cpp are the
// only places with calls that differ between Windows and Linux.

#include <QFileDevice>
#include <QString>

#include <optional>

namespace Firebird {
class IMaster;
}

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

// The most memory the process has held resident so far, in bytes; -1 where the
// platform does not tell.
[[nodiscard]] qint64 peakMemoryBytes();

// The Firebird client's master interface, the entry to its OO API. Linux links
// libfbclient; Windows loads the client at run time from "gds32.dll" (the name
// the Firebird installer gives the client for the programs that expect it) and
// throws AppError naming that file when it cannot be loaded.
[[nodiscard]] Firebird::IMaster* firebirdMaster();

// The platform's path separator.
[[nodiscard]] QChar separator();

// What the program writes is for the user it runs as: configAPI.ini holds the
// service's password, the error files hold customers' document numbers. On
// POSIX a file it makes gets 0600 and a folder 0700; on Windows the user's
// profile keeps others out already and nothing is changed.
//
// Makes one folder (its parent must exist), read, written and entered by its
// owner alone; false when it was not made (it exists, or the making failed).
bool makePrivateFolder(const QString& path);
// Sets the mode of a file being written, on its open device, before anything is
// written into it: the mode of the file it replaces (`replaced`: owner, group
// and others, as that file had them), or read and write for the owner alone for
// a new file (`replaced` empty). A file system without modes keeps its own.
void setWrittenFileMode(QFileDevice& file, std::optional<QFileDevice::Permissions> replaced);

// A program built as a windowed (GUI) program on Windows starts without a
// console; the modes without a window call this so that their output goes to
// the console of the command prompt that started them. Standard output and
// error that were redirected (to a file or a pipe) stay where they were. Does
// nothing elsewhere, and nothing when the parent has no console (started from
// Explorer).
void attachParentConsole();

// Requests that reach a process from outside: end it (SIGINT, SIGTERM) or apply
// its settings anew (SIGHUP).
enum class ProcessRequest { None, End, Reload };
// Routes those signals to a descriptor that becomes readable when a request
// arrives (for a QSocketNotifier): on Linux a signalfd, the signals being
// blocked in the calling thread and in every thread it starts afterwards, so no
// library's signal handler ends the process first; elsewhere a pipe that a
// signal handler writes one byte into. -1 where the platform has no such
// signals or the descriptor cannot be made. Meant to be called once, before any
// other thread is started.
[[nodiscard]] int installProcessRequestPipe();
// Takes one waiting request from that descriptor; None when nothing is waiting.
[[nodiscard]] ProcessRequest readProcessRequest(int fd);

} // namespace platform
