// What the program writes is for its owner: a new file gets 0600, a file it
// replaces keeps its mode, a folder it makes gets 0700. The file-creation mask
// is 0 in these tests, so only the program's own choice can give those modes.

#include "support/FileReplace.h"
#include "support/Platform.h"
#include "support/fixtures/FileModes.h"
#include "support/fixtures/TestPaths.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TEST(FileModes, NewFileIsReadAndWrittenByItsOwnerAlone) {
    const filemodes::NoUmask noMask;
    const TempFolder dir;
    const QString path = dir.file(QStringLiteral("Vda17_1.txt"));
    QString error;
    ASSERT_TRUE(files::replaceWhole(path, "CPF 123.456.789-09\r\n", &error)) << error.toStdString();
    EXPECT_EQ(filemodes::of(path), "0600");
    EXPECT_EQ(contentOf(path), "CPF 123.456.789-09\r\n");
}

TEST(FileModes, ReplacedFileKeepsItsMode) {
    const filemodes::NoUmask noMask;
    const TempFolder dir;
    // 0400: QSaveFile alone would add the owner's write right for a process
    // that may write the file anyway (root).
    for (const int mode : {0600, 0640, 0644, 0604, 0660, 0400, 0700}) {
        SCOPED_TRACE("mode " + filemodes::octal(mode));
        const QString path = dir.file(QStringLiteral("file-%1.txt").arg(mode, 0, 8));
        ASSERT_TRUE(files::replaceWhole(path, "old", nullptr));
        filemodes::set(path, mode);
        QString error;
        ASSERT_TRUE(files::replaceWhole(path, "new", &error)) << error.toStdString();
        EXPECT_EQ(filemodes::of(path), filemodes::octal(mode));
        EXPECT_EQ(contentOf(path), "new");
    }
}

TEST(FileModes, FolderMadeIsForItsOwnerAloneAndAnExistingOneIsLeftAsItIs) {
    const filemodes::NoUmask noMask;
    const TempFolder dir;
    const QString made = dir.file(QStringLiteral("Korvanta"));
    EXPECT_TRUE(platform::makePrivateFolder(made));
    EXPECT_EQ(filemodes::of(made), "0700");

    const QString existing = dir.file(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(existing));
    filemodes::set(existing, 0755);
    EXPECT_FALSE(platform::makePrivateFolder(existing));
    EXPECT_EQ(filemodes::of(existing), "0755");

    // One level at a time: the parent must exist.
    EXPECT_FALSE(platform::makePrivateFolder(dir.file(QStringLiteral("no/such"))));
    EXPECT_EQ(filemodes::of(dir.file(QStringLiteral("no"))), "missing");
}
