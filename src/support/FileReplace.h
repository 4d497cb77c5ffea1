#pragma once
// Replacing a file's whole content so that a failure leaves the old file as it was.

#include <QByteArray>
#include <QString>

namespace files {

// Writes `bytes` to a temporary file beside `path` and renames it over the old
// file. With `directFallback`, a folder that admits no new file gets the file
// rewritten in place instead. Returns false with the reason in *error (which may
// be null) when anything failed; the old file is then untouched (except in the
// in-place fallback).
// The file keeps the mode of the file it replaces; a new file is readable and
// writable by its owner alone (see platform::setWrittenFileMode).
bool replaceWhole(const QString& path, const QByteArray& bytes, QString* error, bool directFallback = false);

} // namespace files
