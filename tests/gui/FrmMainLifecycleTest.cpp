#include "app/SignalBridge.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// A stand-in for the job monitor: a copy of `sleep` under the monitor's name, so
// shutdown must find it by name in the process table and end it.
class FakeMonitorProcess {
public:
    FakeMonitorProcess() {
        const QString program = dir_.filePath(QStringLiteral("SWRJobMonitor"));
        QFile::copy(QStringLiteral("/bin/sleep"), program);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        process_.start(program, {QStringLiteral("60")});
        process_.waitForStarted();
    }
    ~FakeMonitorProcess() {
        process_.kill();
        process_.waitForFinished();
    }
    bool running() const { return process_.state() == QProcess::Running; }
    bool endedWithin(int ms) { return process_.waitForFinished(ms); }

private:
    QTemporaryDir dir_;
    QProcess process_;
};

// What was already true when the process was asked to end.
struct AtEnd {
    bool timersStopped = false;
    bool monitorEnded = false;
    bool splashOpen = true;
    bool settingsWritten = false;
};

class FrmMainLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        window = &harness.create();
        harness.onEnd = [this] {
            atEnd.timersStopped = !window->Timer1->isActive() && !window->Timer2->isActive();
            atEnd.monitorEnded = monitor && monitor->endedWithin(5000);
            atEnd.splashOpen = harness.splash().isVisible();
            atEnd.settingsWritten = !harness.readAppDataFile(QStringLiteral("swr.ini")).isEmpty();
        };
    }

    MainWindowHarness harness;
    FrmMain* window = nullptr;
    std::unique_ptr<FakeMonitorProcess> monitor;
    AtEnd atEnd;
};

QStringList headers(const QTreeWidget* grid) {
    QStringList texts;
    for (int c = 0; c < grid->columnCount(); ++c)
        texts << grid->headerItem()->text(c);
    return texts;
}

} // namespace

TEST_F(FrmMainLifecycle, LoadsCaptionedWithBothGridsAndTheFullSplashLine) {
    harness.splash().show();
    window->Show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Spoolwright"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_FALSE(window->Timer2->isActive()); // the poll starts only with a chosen queue

    EXPECT_EQ(headers(window->JobList),
              QStringList({"Status", "Description", "Computer", "User", "Pages", "Printed",
                           "Priority", "Size", "Submitted", "ID", "Name"}));
    EXPECT_EQ(headers(window->SearchList),
              QStringList({"Status", "Description", "Computer", "User", "Printer", "Pages",
                           "Printed", "Priority", "Size", "Submitted", "ID", "Name"}));

    // With no remembered server the local computer's name is used, and with no
    // remembered queue the splash still names the (empty) queue.
    EXPECT_EQ(window->CurrentPrinter->currentText(), QStringLiteral("testhost"));
    EXPECT_EQ(harness.splash().lblStatus->text(),
              QStringLiteral("Loading....     History, Internet Connection, Settings, "
                             "Favourites, Server (testhost), WMI Connection, Queue (), "
                             "WMI Job Monitor, Done."));
    EXPECT_EQ(
        window->StatusBar1->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly).size(), 4);
}

TEST_F(FrmMainLifecycle, ClosingRunsTheShutdownInOrderAndEndsTheProcessOnce) {
    harness.splash().show();
    window->Show();
    window->Timer2->start();
    monitor = std::make_unique<FakeMonitorProcess>();
    ASSERT_TRUE(monitor->running());

    window->close();

    EXPECT_EQ(harness.endCalls, 1);
    EXPECT_TRUE(atEnd.timersStopped);
    EXPECT_TRUE(atEnd.monitorEnded);
    EXPECT_TRUE(atEnd.settingsWritten);
    EXPECT_FALSE(atEnd.splashOpen);
    window->close(); // a second close must not run the shutdown again
    EXPECT_EQ(harness.endCalls, 1);
}

TEST_F(FrmMainLifecycle, ExitEntryUnloadsTheWindowAndEndsTheProcess) {
    window->Show();
    window->Menu(QStringLiteral("menuExit"))->trigger();
    EXPECT_GE(harness.endCalls, 1);
    EXPECT_TRUE(atEnd.timersStopped);
    EXPECT_TRUE(atEnd.settingsWritten);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FrmMainLifecycle, SigtermClosesTheWindowThroughTheNormalShutdown) {
    SignalBridge bridge;
    CloseOnTermination(bridge, *window);
    window->Show();
    monitor = std::make_unique<FakeMonitorProcess>();
    ASSERT_TRUE(monitor->running());

    ::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([this] { return harness.endCalls > 0; }, 5000));
    EXPECT_TRUE(atEnd.timersStopped);
    EXPECT_TRUE(atEnd.monitorEnded);
    EXPECT_TRUE(atEnd.settingsWritten);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FrmMainLifecycle, SplashTimerShowsTheMainWindowAndCloses) {
    harness.splash().onTimer = [this] { window->Show(); };
    harness.splash().show();
    harness.splash().Timer1_Timer();
    EXPECT_TRUE(window->isLoaded());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(harness.splash().isVisible());
    EXPECT_TRUE(harness.splash().lblStatus->text().endsWith(QStringLiteral("Done.")));
}

TEST(ProgramAudit, StartAndShutdownLeaveTheirRowsOnlyWhenAuditIsOn) {
    for (const bool audit : {true, false}) {
        MainWindowHarness harness;
        harness.writeAppDataFile(QStringLiteral("swr.ini"),
                                 audit ? "[Spoolwright]\r\nAudit=True\r\n"
                                       : "[Spoolwright]\r\nAudit=False\r\n");
        FrmMain& w = harness.create();
        w.Show();
        w.close();
        const auto rows = LogRows(w.Log(), QStringLiteral("SELECT Action, Description FROM "
                                                          "SWR_Audit WHERE Action = 'Program'"));
        if (audit)
            EXPECT_EQ(rows, QList<QStringList>({{"Program", "Spoolwright Started"},
                                                {"Program", "Spoolwright Shutdown"}}));
        else
            EXPECT_TRUE(rows.isEmpty());
    }
}
