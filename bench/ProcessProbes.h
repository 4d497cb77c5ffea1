#pragma once
// What a long run watches of its own process on Linux: resident memory and
// open file descriptors, as /proc tells them, and the heap in use.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace bench {

// VmRSS of /proc/self/status in kilobytes; -1 where it cannot be read.
inline qint64 residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("VmRSS:")) continue;
        const QList<QByteArray> words = line.simplified().split(' ');
        return words.size() >= 2 ? words.at(1).toLongLong() : -1;
    }
    return -1;
}

// The entries of /proc/self/fd (the listing's own descriptor among them); -1
// where the folder cannot be read.
inline int openDescriptors() {
    const QDir fds(QStringLiteral("/proc/self/fd"));
    if (!fds.exists()) return -1;
    return int(fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

// The bytes malloc has handed out and not yet got back (glibc); -1 elsewhere.
// Unlike the resident size this leaves out what other allocators hold (the
// Firebird engine's page cache among them).
inline qint64 heapInUseBytes() {
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
#else
    return -1;
#endif
}

} // namespace bench
