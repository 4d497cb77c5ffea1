// The settings file on a disk that has run full: the write fails, and the file
// keeps every setting it had.

#include "config/IniFile.h"

#include "ConfigTestFiles.h"
#include "support/fixtures/FullDisk.h"
#include "support/fixtures/TestPaths.h"

#include <gtest/gtest.h>

using configtest::readBytes;
using configtest::writeBytes;

TEST(IniFile, FullDiskFailsTheWriteAndKeepsTheOldFile) {
    TempFolder dir;
    const FullDisk disk(dir.file(QStringLiteral("disk")));
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNot().toStdString();
    const IniFile ini(dir.file(QStringLiteral("disk/configAPI.ini")));
    const QByteArray before = "[CONF]\r\nPATH DOLVEX=srv:/db/erp.fdb\r\nDataUltFecha=08/12/2025\r\n";
    writeBytes(ini.path(), before);
    disk.fill();

    EXPECT_THROW(ini.writeString(QStringLiteral("CONF"), QStringLiteral("DataUltFecha"), QStringLiteral("09/12/2025")),
                 IniWriteError);
    EXPECT_EQ(readBytes(ini.path()), before);
}
