#pragma once
// Small file helpers of the settings tests.

#include "config/Settings.h"
#include "support/fixtures/TestPaths.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <stdexcept>

namespace configtest {

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write test file " + path.toStdString());
    }
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The settings file of a temporary folder, with a TConfig on it counting its
// changed() signals.
struct ConfigFile {
    TempFolder dir;
    QString path = dir.file("configAPI.ini");
    TConfig config{path};
    int changes = 0;

    ConfigFile() {
        QObject::connect(&config, &TConfig::changed, [this] { ++changes; });
    }
    TConfig& load(const QByteArray& content) {
        writeBytes(path, content);
        config.LoadConfig();
        return config;
    }
};

} // namespace configtest
