#include "support/Platform.h"

#include "support/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <firebird/Interface.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(Q_OS_WIN)
#include <cstdio>
#include <windows.h>
#include <psapi.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif
#if defined(__linux__)
#include <sys/signalfd.h>
#endif

namespace {
QString g_baseDir; // set by --dir

#if !defined(Q_OS_WIN) && !defined(__linux__)
volatile sig_atomic_t g_requestPipe = -1; // write end of the request pipe

extern "C" void onProcessSignal(int sig) {
    const int savedErrno = errno;
    const char c = sig == SIGHUP ? 'R' : 'E';
    if (g_requestPipe >= 0) {
        const ssize_t written = ::write(g_requestPipe, &c, 1); // a full pipe drops the request
        static_cast<void>(written);
    }
    errno = savedErrno;
}
#endif

QString withSeparator(QString dir) {
    dir = QDir::toNativeSeparators(dir);
    if (!dir.endsWith(platform::separator())) dir += platform::separator();
    return dir;
}
} // namespace

namespace platform {

QChar separator() { return QDir::separator(); }

QString executableDir() {
    QString dir;
    if (QCoreApplication::instance()) {
        dir = QCoreApplication::applicationDirPath();
    } else {
        dir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
        dir = dir.isEmpty() ? QDir::currentPath() : QFileInfo(dir).absolutePath();
    }
    return withSeparator(dir);
}

QString baseDir() { return g_baseDir.isEmpty() ? executableDir() : g_baseDir; }

void setBaseDir(const QString& dir) {
    g_baseDir = dir.isEmpty() ? QString() : withSeparator(QDir(dir).absolutePath());
}

bool makePrivateFolder(const QString& path) {
#if defined(Q_OS_WIN)
    return QDir().mkdir(path); // inherits the profile folder's access rights
#else
    return QDir().mkdir(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#endif
}

void setWrittenFileMode(QFileDevice& file, std::optional<QFileDevice::Permissions> replaced) {
#if defined(Q_OS_WIN)
    Q_UNUSED(file);
    Q_UNUSED(replaced);
#else
    // Only the mode bits: QFileInfo adds the *User flags (what this process may
    // do), which would give the owner rights the old file did not give it.
    const QFileDevice::Permissions modeBits =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
        QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther |
        QFileDevice::ExeOther;
    const QFileDevice::Permissions mode =
        replaced ? (*replaced & modeBits) : (QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // On the open descriptor; fails only where the file system has no modes, and
    // the file keeps the mode that file system gives it.
    static_cast<void>(file.setPermissions(mode));
#endif
}

void attachParentConsole() {
#if defined(Q_OS_WIN)
    // A stream without a handle has nowhere to go; a redirected one has a handle
    // and stays as it is. Asked before attaching, which may set the handles.
    const auto unset = [](DWORD stream) {
        const HANDLE handle = GetStdHandle(stream);
        return handle == nullptr || handle == INVALID_HANDLE_VALUE;
    };
    const bool out = unset(STD_OUTPUT_HANDLE);
    const bool err = unset(STD_ERROR_HANDLE);
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return; // started from Explorer: no console
    FILE* reopened = nullptr;
    if (out) freopen_s(&reopened, "CONOUT$", "w", stdout);
    if (err) freopen_s(&reopened, "CONOUT$", "w", stderr);
#endif
}

QString computerName() {
#if defined(Q_OS_WIN)
    wchar_t buf[16] = {};
    DWORD size = 16;
    GetComputerNameW(buf, &size);
    return QString::fromWCharArray(buf);
#else
    return QSysInfo::machineHostName().left(15);
#endif
}

void trimWorkingSet() {
#if defined(Q_OS_WIN)
    HANDLE h = OpenProcess(0x1FFFFF, FALSE, GetCurrentProcessId());
    if (h) {
        SetProcessWorkingSetSize(h, SIZE_T(-1), SIZE_T(-1));
        CloseHandle(h);
    }
#elif defined(__GLIBC__)
    malloc_trim(0);
#endif
}

qint64 peakMemoryBytes() {
#if defined(Q_OS_WIN)
    PROCESS_MEMORY_COUNTERS counters{};
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return qint64(counters.PeakWorkingSetSize);
#else
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
#if defined(Q_OS_MACOS)
    return qint64(usage.ru_maxrss); // bytes
#else
    return qint64(usage.ru_maxrss) * 1024; // kilobytes
#endif
#endif
}

Firebird::IMaster* firebirdMaster() {
#if defined(Q_OS_WIN)
    // Loaded once and kept for the life of the process.
    HMODULE client = LoadLibraryW(L"gds32.dll");
    if (!client)
        throw AppError(QStringLiteral("Unable to load the Firebird client gds32.dll (Windows error %1)")
                           .arg(GetLastError()));
    // decltype does not refer to the linked function, so nothing links libfbclient here.
    using GetMasterInterface = decltype(&Firebird::fb_get_master_interface);
    const auto getMaster =
        reinterpret_cast<GetMasterInterface>(GetProcAddress(client, "fb_get_master_interface"));
    if (!getMaster)
        throw AppError(QStringLiteral("The Firebird client gds32.dll has no fb_get_master_interface "
                                      "(a client older than Firebird 3)"));
    return getMaster();
#else
    return Firebird::fb_get_master_interface();
#endif
}

int installProcessRequestPipe() {
#if defined(Q_OS_WIN)
    return -1;
#elif defined(__linux__)
    // The three signals are blocked and read from a signalfd, so no handler
    // runs for them: the Firebird client, which installs handlers of its own
    // at its first attachment and ends the process on SIGINT and SIGTERM, never
    // sees them. Threads started from here on (the Firebird client's, libcurl's
    // resolver) inherit the blocked mask.
    sigset_t set;
    sigemptyset(&set);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, sig);
    if (::pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return -1;
    const int fd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd < 0) ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    return fd;
#else
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    for (const int fd : fds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    g_requestPipe = fds[1];
    struct sigaction sa = {};
    sa.sa_handler = onProcessSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &sa, nullptr);
    return fds[0];
#endif
}

ProcessRequest readProcessRequest(int fd) {
#if defined(Q_OS_WIN)
    Q_UNUSED(fd);
    return ProcessRequest::None;
#elif defined(__linux__)
    signalfd_siginfo info{};
    if (fd < 0 || ::read(fd, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) return ProcessRequest::None;
    return info.ssi_signo == SIGHUP ? ProcessRequest::Reload : ProcessRequest::End;
#else
    char c = 0;
    if (fd < 0 || ::read(fd, &c, 1) != 1) return ProcessRequest::None;
    return c == 'R' ? ProcessRequest::Reload : ProcessRequest::End;
#endif
}

} // namespace platform
