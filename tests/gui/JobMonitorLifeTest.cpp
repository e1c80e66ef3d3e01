#include "session/JobMonitor.h"
#include "session/ServerConnection.h"
#include "support/Files.h"
#include "support/MainWindowHarness.h"

#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// A stand-in monitor: a shell script of the given body.
QString standInMonitor(const QTemporaryDir& dir, const QByteArray& body) {
    const QString program = dir.filePath("SWRJobMonitor");
    writeFile(program, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return program;
}

QByteArray callsMade(const QTemporaryDir& dir) {
    return readFile(dir.filePath("calls"));
}

// The process ID of the window's monitor; 0 without one.
qint64 monitorId(FrmMain& w) {
    const QProcess* monitor = MonitorLink::of(w).mwcmnMonitor();
    return monitor ? monitor->processId() : 0;
}

// A window on server "alpha" whose monitor is the stand-in the test names.
class MonitorLife : public ::testing::Test {
protected:
    FrmMain& show(const QByteArray& monitorBody) {
        harness.writeAppDataFile("swr.ini", "[Spoolwright]\r\nServer=alpha\r\n");
        harness.fake("alpha").addQueue({"Laser", {}, {}, {}, {}, 0});
        harness.monitorProgram = standInMonitor(dir, monitorBody);
        FrmMain& w = harness.create();
        MonitorLink::of(w).setRestartIntervalMs(50);
        showFrmMain(w);
        return w;
    }
    QTemporaryDir dir;
    MainWindowHarness harness;
};

} // namespace

TEST(JobMonitorCalls, TheMonitorLearnsTheServerAndAnyPasswordGivenForIt) {
    QTemporaryDir dir;
    MainWindowHarness harness;
    harness.monitorProgram = standInMonitor(dir, "exec cat > \"$(dirname \"$0\")/calls\"");
    harness.fake("open-server");
    harness.fake("locked").given = SpoolerCredentials{"op", "s3\tcret"};
    FrmMain& w = harness.create();

    startJobMonitor(w, "open-server");
    stopJobMonitor(w);
    EXPECT_TRUE(QTest::qWaitFor([&] { return callsMade(dir).endsWith("StopWatching\n"); }, 10000));
    EXPECT_EQ(callsMade(dir), QByteArray("WatchServer\topen-server\nStopWatching\n"));

    // A password with a tab in it travels escaped, on the pipe alone.
    QFile::remove(dir.filePath("calls"));
    startJobMonitor(w, "locked");
    stopJobMonitor(w);
    EXPECT_TRUE(QTest::qWaitFor([&] { return callsMade(dir).endsWith("StopWatching\n"); }, 10000));
    EXPECT_EQ(
        callsMade(dir),
        QByteArray("Credentials\tlocked\top\ts3\\tcret\nWatchServer\tlocked\nStopWatching\n"));
}

TEST_F(MonitorLife, AMonitorThatDiesIsStartedAgainAndTheViewReadAnew) {
    FrmMain& w = show("echo 'ConnectEvent\tConnected'; exec cat > /dev/null");
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitorId(w) > 0; }, 10000));
    const qint64 first = monitorId(w);
    const int reads = harness.fake("alpha").calls.value("jobs");

    ::kill(static_cast<pid_t>(first), SIGKILL);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return w.panelText(1) == QLatin1String("Job monitor stopped, restarting"); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return monitorId(w) > 0 && monitorId(w) != first; }, 10000));
    EXPECT_GT(harness.fake("alpha").calls.value("jobs"), reads);
    EXPECT_TRUE(harness.prompter.asked.isEmpty());

    // The ended monitor is never touched again: connecting anew is safe.
    ::kill(static_cast<pid_t>(monitorId(w)), SIGKILL);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !MonitorLink::of(w).mwcmnMonitor(); }, 10000));
    CurrentPrinter_KeyDown(w, 13, 0);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return MonitorLink::of(w).mwcmnMonitor() != nullptr; }, 10000));
}

TEST_F(MonitorLife, AMonitorThatNeverStartsIsReportedOnceAndTheViewKeepsPolling) {
    FrmMain& w = show("exit 3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return MonitorLink::of(w).failedStarts() >= 5; }, 20000));
    ASSERT_EQ(harness.prompter.asked.size(), 1) << "reported once";
    EXPECT_EQ(harness.prompter.asked.first().text,
              "Cannot connect to server, jobs will not update!");
}

TEST_F(MonitorLife, ShutdownEndsOnlyItsOwnMonitorAndLeavesNoZombie) {
    // Another copy's monitor: a process of the same name whose parent still runs.
    QTemporaryDir otherDir;
    const QString otherProgram = otherDir.filePath("SWRJobMonitor");
    ASSERT_TRUE(QFile::copy("/bin/sleep", otherProgram));
    QProcess other;
    other.start(otherProgram, {"600"});
    ASSERT_TRUE(other.waitForStarted());

    // This copy's monitor ignores being told to stop.
    FrmMain& w = show("trap '' TERM; exec sleep 600");
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitorId(w) > 0; }, 10000));
    const qint64 own = monitorId(w);
    w.close();
    EXPECT_EQ(harness.endCalls, 1);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/%1").arg(own)))
        << "the program's own monitor was left behind";
    EXPECT_EQ(other.state(), QProcess::Running) << "another copy's monitor was ended";
    other.kill();
    other.waitForFinished();
}

TEST(JobMonitorMissing, AMissingMonitorProgramIsSaid) {
    MainWindowHarness harness;
    harness.monitorProgram = "/nonexistent/SWRJobMonitor";
    harness.fake("alpha");
    FrmMain& w = harness.create();
    startJobMonitor(w, "alpha");
    EXPECT_EQ(w.panelText(1), "Job monitor not found: jobs will not update");
    EXPECT_FALSE(MonitorLink::of(w).mwcmnMonitor());
}
