#include "platform/ProcessTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Starts a copy of `sleep` under the given name.
void startNamed(QProcess& process, const QTemporaryDir& dir, const QString& name) {
    const QString program = dir.filePath(name);
    QFile::copy("/bin/sleep", program);
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    process.start(program, {"60"});
    ASSERT_TRUE(process.waitForStarted());
}
} // namespace

TEST(ProcessTable, EndsOnlyProcessesWhoseNameContainsTheTextInAnyCase) {
    // A name of this test's own, so no other process of the user is touched; the
    // closing dash keeps another copy's probes out ("SwrProbe-12" alone is part of
    // "SwrProbe-123-").
    const QString name = QStringLiteral("SwrProbe-%1-").arg(QCoreApplication::applicationPid());
    QTemporaryDir dir;
    QProcess probe, longerName, bystander;
    startNamed(probe, dir, name);
    startNamed(longerName, dir, QStringLiteral("old-") + name.toLower() + QStringLiteral("-copy"));
    startNamed(bystander, dir, "SwrProbeWatcher");

    EXPECT_EQ(ProcessTable::EndProcessesNamed(name.toUpper()), 2);
    EXPECT_TRUE(probe.waitForFinished(5000));
    EXPECT_TRUE(longerName.waitForFinished(5000));
    EXPECT_FALSE(bystander.waitForFinished(300));
    EXPECT_EQ(ProcessTable::EndProcessesNamed(name), 0);
    EXPECT_EQ(ProcessTable::EndProcessesNamed(QString()), 0);
    bystander.kill();
    bystander.waitForFinished();
}
