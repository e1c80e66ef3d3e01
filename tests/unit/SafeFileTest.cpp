#include "platform/SafeFile.h"
#include "platform/ProfileFile.h"
#include "shell/History.h"
#include "support/DiskFull.h"
#include "support/Files.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
}

} // namespace

TEST(SafeFile, ReplacesTheWholeContentKeepingModeAndLinks) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("swr.ini");

    EXPECT_TRUE(SafeFile::replaceFileContents(file, "first\r\n"));
    EXPECT_EQ(readFile(file), "first\r\n");

    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup));
    EXPECT_TRUE(SafeFile::replaceFileContents(file, QByteArray()));
    EXPECT_EQ(readFile(file), "");
    EXPECT_EQ(QFile::permissions(file), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadUser | QFileDevice::WriteUser |
                                            QFileDevice::ReadGroup);

    // The operator's link to the file stays a link; the file it names is replaced.
    const QString link = dir.filePath("link.ini");
    ASSERT_TRUE(QFile::link(file, link));
    EXPECT_TRUE(SafeFile::replaceFileContents(link, "through the link"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(file), "through the link");

    // A folder cannot be replaced, and a missing folder is not made.
    EXPECT_FALSE(SafeFile::replaceFileContents(dir.path(), "x"));
    EXPECT_FALSE(SafeFile::replaceFileContents(dir.filePath("no/such.ini"), "x"));
    EXPECT_EQ(entries(dir), QStringList({"link.ini", "swr.ini"})) << "no temporary file left";
}

TEST(SafeFile, AFullDiskLeavesEveryFileAsItWasAndSaysSo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("report.html");
    const QString ini = dir.filePath("swr.ini");
    const QString his = dir.filePath("swr.his");
    ASSERT_TRUE(writeFile(file, "old report") &&
                writeFile(ini, "[Spoolwright]\r\nServer=alpha\r\n") && writeFile(his, "alpha\r\n"));
    const QByteArray large(64 * 1024, 'x');
    QComboBox servers;
    servers.addItems({"alpha", QString::fromLatin1(large)});

    {
        DiskFullAfter full(4096);
        ASSERT_TRUE(full.active());
        EXPECT_FALSE(SafeFile::replaceFileContents(file, large));
        EXPECT_FALSE(ProfileFile::write(ini, "Spoolwright", "Tagline", QString::fromLatin1(large)));
        EXPECT_FALSE(List_Save(&servers, his));
    }

    EXPECT_EQ(readFile(file), "old report");
    EXPECT_EQ(readFile(ini), "[Spoolwright]\r\nServer=alpha\r\n");
    EXPECT_EQ(readFile(his), "alpha\r\n");
    EXPECT_EQ(entries(dir), QStringList({"report.html", "swr.his", "swr.ini"}))
        << "no temporary file left";

    // With room again the same writes go through.
    EXPECT_TRUE(SafeFile::replaceFileContents(file, large));
    EXPECT_EQ(readFile(file), large);
    EXPECT_TRUE(List_Save(&servers, his));
    EXPECT_EQ(readFile(his), "alpha\r\n" + large + "\r\n");
}
