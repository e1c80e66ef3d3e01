#include "session/JobMonitor.h"
#include "support/MainWindowHarness.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A stand-in monitor that writes down every call the program makes on its input.
QString recordingMonitor(const QTemporaryDir& dir) {
    const QString program = dir.filePath(QStringLiteral("record-calls"));
    QFile script(program);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\nexec cat > \"$(dirname \"$0\")/calls\"\n");
    script.close();
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return program;
}

QByteArray callsMade(const QTemporaryDir& dir) {
    QFile calls(dir.filePath(QStringLiteral("calls")));
    return calls.open(QIODevice::ReadOnly) ? calls.readAll() : QByteArray();
}

} // namespace

TEST(JobMonitorCalls, TheMonitorLearnsTheServerAndAnyPasswordGivenForIt) {
    QTemporaryDir dir;
    MainWindowHarness harness;
    harness.monitorProgram = recordingMonitor(dir);
    harness.fake(QStringLiteral("open-server"));
    harness.fake(QStringLiteral("locked")).given = SpoolerCredentials{"op", "s3cret"};
    FrmMain& w = harness.create();

    StartJobMonitor(w, QStringLiteral("open-server"));
    StopJobMonitor(w);
    EXPECT_TRUE(QTest::qWaitFor([&] { return callsMade(dir).endsWith("StopWatching\n"); }, 5000));
    EXPECT_EQ(callsMade(dir), QByteArray("WatchServer\topen-server\nStopWatching\n"));

    QFile::remove(dir.filePath(QStringLiteral("calls")));
    StartJobMonitor(w, QStringLiteral("locked"));
    StopJobMonitor(w);
    EXPECT_TRUE(QTest::qWaitFor([&] { return callsMade(dir).endsWith("StopWatching\n"); }, 5000));
    EXPECT_EQ(callsMade(dir),
              QByteArray("Credentials\tlocked\top\ts3cret\nWatchServer\tlocked\nStopWatching\n"));
}
