#include "config/IniFile.h"

#include "support/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::fullPath() const {
    return QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath());
}

IniText IniFile::load() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return IniText::parse(file.readAll());
}

QString IniFile::readString(const QString& section, const QString& key) const {
    return load().value(section, key);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) const {
    const IniWriteError failure(QStringLiteral("Unable to write to ") + fullPath());

    // An existing file that cannot be read is not replaced: its other lines would be lost.
    IniText text;
    if (QFileInfo::exists(m_path)) {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) throw failure;
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) throw failure;
        text = IniText::parse(bytes);
    }
    text.setValue(section, key, value);
    const QByteArray bytes = text.toBytes();

    // Written beside and renamed over the old file, so a failure leaves the old one
    // whole; where the folder admits no new file, the file is rewritten in place.
    if (!files::replaceWhole(m_path, bytes, nullptr, true)) throw failure;
}
