#include "config/IniFile.h"

#include "ConfigTestFiles.h"
#include "support/fixtures/TestPaths.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using configtest::readBytes;
using configtest::writeBytes;

namespace {
const QString Conf = QStringLiteral("CONF");
} // namespace

TEST(IniFile, MissingFileReadsEmptyAndIsCreatedByTheFirstWrite) {
    TempFolder dir;
    const IniFile ini(dir.file("configAPI.ini"));
    EXPECT_EQ(ini.readString(Conf, QStringLiteral("SENHA")), "");
    EXPECT_FALSE(QFileInfo::exists(ini.path()));

    ini.writeString(Conf, QStringLiteral("PATH DOLVEX"), QStringLiteral("srv:/db/erp.fdb"));
    ini.writeString(Conf, QStringLiteral("SENHA"), QStringLiteral(" s3 "));
    EXPECT_EQ(readBytes(ini.path()), "[CONF]\r\nPATH DOLVEX=srv:/db/erp.fdb\r\nSENHA= s3 \r\n");
    EXPECT_EQ(ini.readString(QStringLiteral("conf"), QStringLiteral("senha")), "s3");
}

TEST(IniFile, EveryReadSeesTheFileAsItIsNow) {
    TempFolder dir;
    const IniFile ini(dir.file("configAPI.ini"));
    writeBytes(ini.path(), "[CONF]\r\nIDLOCAL=1\r\n");
    EXPECT_EQ(ini.readString(Conf, QStringLiteral("IDLOCAL")), "1");
    writeBytes(ini.path(), "[CONF]\r\nIDLOCAL=2\r\nUSUARIO=edited by hand\r\n");
    EXPECT_EQ(ini.readString(Conf, QStringLiteral("IDLOCAL")), "2");
    ini.writeString(Conf, QStringLiteral("IDLOCAL"), QStringLiteral("3"));
    EXPECT_EQ(readBytes(ini.path()), "[CONF]\r\nIDLOCAL=3\r\nUSUARIO=edited by hand\r\n");
}

#if defined(__linux__)
TEST(IniFile, FileIsNeverHeldOpen) {
    TempFolder dir;
    const IniFile ini(dir.file("configAPI.ini"));
    ini.writeString(Conf, QStringLiteral("A"), QStringLiteral("1"));
    (void)ini.load();
    const QString target = QFileInfo(ini.path()).canonicalFilePath();
    for (const QFileInfo& fd :
         QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System)) {
        EXPECT_NE(fd.symLinkTarget(), target) << "descriptor " << fd.fileName().toStdString();
    }
}
#endif

TEST(IniFile, FailedWriteNamesTheFullPath) {
    TempFolder dir;
    writeBytes(dir.file("plain-file"), "not a folder");
    // The folder of the file is a regular file (root ignores permission bits).
    const QString inFile = dir.file("plain-file") + QDir::separator() + "configAPI.ini";
    // A folder stands where the file should be: it is neither read nor replaced.
    QDir(dir.path()).mkdir(QStringLiteral("configAPI.ini"));
    const QString isFolder = dir.file("configAPI.ini");

    for (const QString& path : {inFile, isFolder}) {
        const IniFile ini(path);
        EXPECT_EQ(ini.readString(Conf, QStringLiteral("A")), "");
        try {
            ini.writeString(Conf, QStringLiteral("A"), QStringLiteral("1"));
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const IniWriteError& e) {
            EXPECT_EQ(e.message(), "Unable to write to " + QDir::toNativeSeparators(path));
        }
    }
    EXPECT_TRUE(QFileInfo(isFolder).isDir());
}

TEST(IniFile, RelativePathIsNamedInFull) {
    const IniFile ini(QStringLiteral("no-such-folder/configAPI.ini"));
    EXPECT_EQ(ini.fullPath(), QDir::toNativeSeparators(QDir::current().absoluteFilePath(ini.path())));
    try {
        ini.writeString(Conf, QStringLiteral("A"), QStringLiteral("1"));
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Unable to write to " + ini.fullPath());
    }
}
