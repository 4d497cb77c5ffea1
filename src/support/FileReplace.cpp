#include "support/FileReplace.h"

#include <QSaveFile>

namespace files {

bool replaceWhole(const QString& path, const QByteArray& bytes, QString* error, bool directFallback) {
    QSaveFile out(path);
    out.setDirectWriteFallback(directFallback);
    const auto fail = [&] {
        if (error) *error = out.errorString();
        out.cancelWriting();
        return false;
    };
    if (!out.open(QIODevice::WriteOnly)) return fail();
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
