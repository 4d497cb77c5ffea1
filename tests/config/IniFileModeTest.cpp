// configAPI.ini holds the service's password: a new one is read and written by
// its owner alone, and a save keeps the mode of the file it replaces, also when
// the folder takes no new file and the file is rewritten in place.

#include "config/IniFile.h"

#include "ConfigTestFiles.h"
#include "support/fixtures/FileModes.h"
#include "support/fixtures/TestPaths.h"

#include <QDir>
#include <gtest/gtest.h>

using configtest::readBytes;
using configtest::writeBytes;

TEST(IniFile, SaveGivesANewFileTheOwnerAloneAndKeepsTheModeOfAnOldOne) {
    struct Case {
        const char* name;
        int before;             // the file's mode before the save; -1: no file
        bool folderTakesNoFile; // the save rewrites the file in place
        int after;
    };
    const Case cases[] = {
        {"a new file", -1, false, 0600},
        {"a file of mode 0640", 0640, false, 0640},
        {"a file of mode 0644", 0644, false, 0644},
        {"a file of mode 0600", 0600, false, 0600},
        {"a file of mode 0640 in a folder that takes no new file", 0640, true, 0640},
    };
    const filemodes::NoUmask noMask;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFolder temp;
        filemodes::set(temp.path(), 0755); // open to the plain user
        const QString folder = temp.file(QStringLiteral("store"));
        ASSERT_TRUE(QDir().mkdir(folder));
        const IniFile ini(folder + QStringLiteral("/configAPI.ini"));
        QByteArray expected = "[CONF]\r\nSENHA=s3nha\r\n";
        if (c.before >= 0) {
            writeBytes(ini.path(), "[CONF]\r\nUSUARIO=loja\r\n");
            filemodes::set(ini.path(), c.before);
            expected = "[CONF]\r\nUSUARIO=loja\r\nSENHA=s3nha\r\n";
        }
        if (c.folderTakesNoFile) {
            filemodes::AsPlainUser::handOver(ini.path());
            filemodes::set(folder, 0555);
            const filemodes::AsPlainUser plain;
            ini.writeString(QStringLiteral("CONF"), QStringLiteral("SENHA"), QStringLiteral("s3nha"));
        } else {
            ini.writeString(QStringLiteral("CONF"), QStringLiteral("SENHA"), QStringLiteral("s3nha"));
        }
        filemodes::set(folder, 0755);
        EXPECT_EQ(filemodes::of(ini.path()), filemodes::octal(c.after));
        EXPECT_EQ(readBytes(ini.path()), expected);
        // Nothing beside it: in place means no temporary file was left either.
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("configAPI.ini")});
    }
}
