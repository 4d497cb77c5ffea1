#include "support/FileReplace.h"

#include "support/Platform.h"

#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace files {

bool replaceWhole(const QString& path, const QByteArray& bytes, QString* error, bool directFallback) {
    const QFileInfo old(path);
    const std::optional<QFileDevice::Permissions> replaced =
        old.exists() ? std::optional(old.permissions()) : std::nullopt;
    QSaveFile out(path);
    out.setDirectWriteFallback(directFallback);
    const auto fail = [&] {
        if (error) *error = out.errorString();
        out.cancelWriting();
        return false;
    };
    if (!out.open(QIODevice::WriteOnly)) return fail();
    // Before the content goes in. QSaveFile gives a new file the default mode
    // (0644 under the usual umask) and a replacing one the old file's mode plus
    // what this process may do with it; this sets the mode exactly. On Linux the
    // new file has no name until the commit, so no one else can open it meanwhile.
    platform::setWrittenFileMode(out, replaced);
    // The buffer is flushed and checked here: QSaveFile::commit() overlooks a
    // flush that fails (a full disk) and would rename an empty or cut file over
    // the old one, reporting success.
    if (out.write(bytes) != bytes.size() || !out.flush()) return fail();
    if (!out.commit()) {
        if (error) *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace files
