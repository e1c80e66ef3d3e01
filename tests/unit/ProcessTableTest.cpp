#include "platform/ProcessTable.h"
#include "platform/AdminCheck.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Starts a copy of `sleep` under the given name.
void startNamed(QProcess& process, const QTemporaryDir& dir, const QString& name) {
    const QString program = dir.filePath(name);
    QFile::copy(QStringLiteral("/bin/sleep"), program);
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    process.start(program, {QStringLiteral("60")});
    ASSERT_TRUE(process.waitForStarted());
}
} // namespace

TEST(ProcessTable, EndsOnlyProcessesWhoseNameContainsTheTextInAnyCase) {
    QTemporaryDir dir;
    QProcess monitor, longerName, bystander;
    startNamed(monitor, dir, QStringLiteral("SWRJobMonitor"));
    startNamed(longerName, dir, QStringLiteral("old-swrjobmonitor-copy"));
    startNamed(bystander, dir, QStringLiteral("SWRJobWatcher"));

    EXPECT_EQ(ProcessTable::EndProcessesNamed(QStringLiteral("swrJOBmonitor")), 2);
    EXPECT_TRUE(monitor.waitForFinished(5000));
    EXPECT_TRUE(longerName.waitForFinished(5000));
    EXPECT_FALSE(bystander.waitForFinished(300));
    EXPECT_EQ(ProcessTable::EndProcessesNamed(QStringLiteral("SWRJobMonitor")), 0);
    EXPECT_EQ(ProcessTable::EndProcessesNamed(QString()), 0);
    bystander.kill();
    bystander.waitForFinished();
}

TEST(AdminCheck, RootIsAnAdministratorInAnyCaseUnknownAndEmptyNamesAreNot) {
    EXPECT_TRUE(AdminCheck::UserIsAdmin(QStringLiteral("root")));
    EXPECT_TRUE(AdminCheck::UserIsAdmin(QStringLiteral("ROOT")));
    EXPECT_FALSE(AdminCheck::UserIsAdmin(QStringLiteral("no-such-user-on-this-machine")));
    EXPECT_FALSE(AdminCheck::UserIsAdmin(QString()));
    EXPECT_FALSE(AdminCheck::UserIsAdmin(QStringLiteral("nobody")));
}
