#include "platform/Environment.h"
#include "support/ScopedVariable.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

TEST(Environment, TheWindowsVariablesOverrideEveryFolderAndName) {
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const QString profile = base.filePath("profiles/ann");
    const ScopedVariable appData("APPDATA", QFile::encodeName(profile));
    const ScopedVariable temp("TEMP", QByteArray("/var/tmp/reports"));
    const ScopedVariable user("USERNAME", QByteArray("ann"));
    const ScopedVariable computer("COMPUTERNAME", QByteArray("PRINTHOST"));
    const ScopedVariable unset("SPOOLWRIGHT_NOT_SET", std::nullopt);

    const Environment environment;
    EXPECT_EQ(environment.appData(), profile);
    EXPECT_EQ(environment.temp(), "/var/tmp/reports");
    EXPECT_EQ(environment.userName(), "ann");
    EXPECT_EQ(environment.computerName(), "PRINTHOST");
    EXPECT_EQ(environment.variable("SPOOLWRIGHT_NOT_SET"), "");
    // An override folder belongs to whoever named it and is not made.
    EXPECT_FALSE(QDir(profile).exists());
}

TEST(Environment, WithoutTheWindowsVariablesEachFallsBackToTheSystemsOwnMakingTheDataFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const ScopedVariable homeVariable("HOME", QFile::encodeName(home.path()));
    const ScopedVariable dataHome("XDG_DATA_HOME", std::nullopt);
    const ScopedVariable tmpdir("TMPDIR", QFile::encodeName(home.path()));
    const ScopedVariable temp("TEMP", std::nullopt);
    const ScopedVariable user("USERNAME", QByteArray()); // set but empty counts as unset
    const ScopedVariable computer("COMPUTERNAME", std::nullopt);
    const Environment environment;

    EXPECT_EQ(environment.temp(), home.path());
    const passwd* account = getpwuid(getuid());
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(environment.userName(), QString::fromLocal8Bit(account->pw_name));
    EXPECT_EQ(environment.computerName(), QSysInfo::machineHostName());
    {
        const ScopedVariable appData("APPDATA", std::nullopt);
        const QString expected = home.filePath(".local/share/Spoolwright");
        EXPECT_FALSE(QDir(expected).exists());
        EXPECT_EQ(environment.appData(), expected);
        EXPECT_TRUE(QDir(expected).exists());
    }
    {
        // The XDG data folder is honoured.
        const ScopedVariable appData("APPDATA", QByteArray());
        const ScopedVariable xdg("XDG_DATA_HOME", QFile::encodeName(home.filePath("xdg")));
        EXPECT_EQ(environment.appData(), home.filePath("xdg/Spoolwright"));
        EXPECT_TRUE(QDir(home.filePath("xdg/Spoolwright")).exists());
    }
}
