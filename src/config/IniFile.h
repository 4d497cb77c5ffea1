#pragma once
// configAPI.ini on disk: the INI-file service the settings rely on. The file is
// opened anew for every read and every write and never held open, so an editor
// may change it while the program runs.

#include "config/IniText.h"
#include "support/Errors.h"

#include <QString>

// A key could not be written: "Unable to write to " + the file's full path.
class IniWriteError : public AppError {
  public:
    using AppError::AppError;
};

class IniFile {
  public:
    explicit IniFile(QString path);

    [[nodiscard]] const QString& path() const { return m_path; }
    // The absolute path in the platform's form, as error messages name it.
    [[nodiscard]] QString fullPath() const;

    // The file as it is now. A missing or unreadable file reads as an empty one.
    [[nodiscard]] IniText load() const;

    // One value; missing section, key or file give the empty text.
    [[nodiscard]] QString readString(const QString& section, const QString& key) const;

    // Replaces the key's line in place, or adds the key (and its section, and the
    // file) when missing; every other line is kept. Throws IniWriteError.
    void writeString(const QString& section, const QString& key, const QString& value) const;

  private:
    QString m_path;
};
