#include "support/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace {
QString g_baseDir; // set by --dir

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

} // namespace platform
