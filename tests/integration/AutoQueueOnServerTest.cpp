#include "CompletedJobs.h"
#include "SpoolerJobLookup.h"
#include "control/JobActions.h"
#include "control/ReleaseSteps.h"
#include "form/JobGrid.h"
#include "platform/CupsSpooler.h"
#include "platform/CupsStatus.h"
#include "session/JobMonitor.h"
#include "session/QueuePoll.h"
#include "session/QueueSession.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class AutoQueueOnServer : public ::testing::Test {
protected:
    void SetUp() override {
        queue = server.newQueue("AutoQ");
        ASSERT_FALSE(queue.isEmpty());
        harness.useRealServers = true;
        harness.monitorProgram = jobMonitorProgram(); // new jobs reach the grid
        other = std::make_unique<CupsSpooler>(server.address(), kShortTimeouts);
    }
    FrmMain& show() {
        return harness.show(QStringLiteral("Server=%1\r\nQueue=%2\r\nAudit=True")
                                .arg(server.address(), queue)
                                .toUtf8());
    }
    int submit(const char* user, const char* title) {
        return server.submitJob(queue, user, title, sampleText(10), false);
    }
    int statusOf(int id) {
        const std::optional<SpoolerJob> job = jobNumbered(other->queueJobs(queue), id);
        return job ? job->StatusMask : -1; // -1: it has left the queue
    }
    bool queuePaused() {
        return ::queuePaused(other->queue(queue).value_or(SpoolerQueue{}).Status);
    }
    int finishedAs(int id) { return finishedJobStates(server.address(), queue).value(id, 0); }
    // Polls as the window's timer would, until `done` or a minute has passed.
    bool pollUntil(FrmMain& w, const std::function<bool()>& done) {
        return QTest::qWaitFor(
            [&] {
                if (!QueuePoll::of(w).inFlight())
                    Timer2_Timer(w);
                return done();
            },
            60000);
    }
    void select(FrmMain& w, int id) {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return w.jobGrid().rowOf(queue + ", " + QString::number(id)) != nullptr; },
            30000));
        w.JobList->setCurrentItem(w.jobGrid().rowOf(queue + ", " + QString::number(id)));
    }

    TestPrintServer server;
    QString queue;
    MainWindowHarness harness;
    std::unique_ptr<CupsSpooler> other;
};

} // namespace

TEST_F(AutoQueueOnServer, HoldsEveryJobReleasesOnDemandAndGivesTheQueueBack) {
    ASSERT_EQ(other->jobHoldUntilDefault(queue), "no-hold");
    const int first = submit("alice", "First");
    ASSERT_TRUE(QTest::qWaitFor([&] { return finishedAs(first) == 9; }, 30000)); // prints freely
    other->pauseQueue(queue);
    const int waiting = submit("alice", "Waiting");
    FrmMain& w = show();

    w.chkAutoQueue->setChecked(true);
    EXPECT_TRUE(queuePaused());
    EXPECT_EQ(statusOf(waiting), 1);
    EXPECT_EQ(other->jobHoldUntilDefault(queue), "indefinite");
    // A job that arrives later is held by the server itself, before any refresh.
    other->resumeQueue(queue);
    const int late = submit("bob", "Late");
    EXPECT_EQ(statusOf(late), 1);
    other->pauseQueue(queue);

    // Released, it prints; the queue is paused again once it has gone.
    select(w, waiting);
    MenuResumeJob(w);
    EXPECT_TRUE(queuePaused()); // it prints through its release queue
    EXPECT_EQ(QueueSession::of(w).LastReleasedJob(), QString::number(waiting));
    ASSERT_TRUE(pollUntil(w, [&] {
        return finishedAs(waiting) == 9 && queuePaused() && w.Timer2->interval() == 6000;
    }));
    EXPECT_EQ(w.Timer2->interval(), 6000);
    EXPECT_EQ(statusOf(late), 1);

    // AutoRelease "Print Jobs" in its minute releases the held jobs one by one.
    const int third = submit("carol", "Third");
    EXPECT_EQ(statusOf(third), 1);
    // AutoRelease acts once in its minute, on the jobs the grid shows then.
    select(w, late);
    select(w, third);
    harness.clock.time = QDateTime(QDate(2026, 12, 7), QTime(17, 0, 10));
    w.txtTimed->setText("5:00 PM");
    w.chkTimed->setChecked(true);
    w.optTimed[0]->setChecked(true);
    ASSERT_TRUE(pollUntil(w, [&] { return finishedAs(late) == 9 && finishedAs(third) == 9; }));
    // "Delete Jobs" deletes them, in the next day's minute: AutoRelease acts once in it.
    const int fourth = submit("dave", "Fourth");
    select(w, fourth);
    w.optTimed[1]->setChecked(true);
    harness.clock.time = harness.clock.time.addDays(1);
    ASSERT_TRUE(pollUntil(w, [&] { return finishedAs(fourth) == 7; }));
    w.chkTimed->setChecked(false);
    // Resume All runs until a pass finds the grid empty.
    ASSERT_TRUE(pollUntil(w, [&] { return !QueueSession::of(w).ResumeAllInProgress(); }));

    // A listed user's job is released by itself; "smith" is not "jsmith".
    w.Settings.Exceptions = "jsmith";
    const int smith = submit("smith", "Smith");
    const int jsmith = submit("jsmith", "JSmith");
    ASSERT_TRUE(pollUntil(w, [&] { return finishedAs(jsmith) == 9 && queuePaused(); }));
    EXPECT_EQ(statusOf(smith), 1);

    // Off: queue and jobs stay held, the queue's own hold comes back.
    w.chkAutoQueue->setChecked(false);
    EXPECT_TRUE(queuePaused());
    EXPECT_EQ(statusOf(smith), 1);
    EXPECT_EQ(other->jobHoldUntilDefault(queue), "no-hold");
    EXPECT_EQ(logRows(w.log(), "SELECT * FROM SWR_Audit WHERE Action = 'AutoQueue'").size(), 2);
}

TEST_F(AutoQueueOnServer, TheQueuesOwnHoldComesBackExactlyAndAfterACrash) {
    // An administrator's own hold is shown, and AutoQueue gives it back as it was.
    ASSERT_EQ(other->setJobHoldUntilDefault(queue, "indefinite"), SpoolerResult::Success);
    {
        MainWindowHarness own;
        own.useRealServers = true;
        FrmMain& w =
            own.show(QStringLiteral("Server=%1\r\nQueue=%2").arg(server.address(), queue).toUtf8());
        EXPECT_TRUE(w.txtPrintStatus->text().endsWith(" - New Jobs Held (indefinite)"))
            << w.txtPrintStatus->text().toStdString();
        w.chkAutoQueue->setChecked(true);
        w.chkAutoQueue->setChecked(false);
        EXPECT_EQ(other->jobHoldUntilDefault(queue), "indefinite");
    }

    // A run that ends without unticking AutoQueue leaves the hold, and the note of
    // the queue's own in swr.ini, as it was at that moment.
    ASSERT_EQ(other->setJobHoldUntilDefault(queue, "no-hold"), SpoolerResult::Success);
    QByteArray settingsLeft;
    {
        MainWindowHarness crashed;
        crashed.useRealServers = true;
        FrmMain& w = crashed.show(
            QStringLiteral("Server=%1\r\nQueue=%2").arg(server.address(), queue).toUtf8());
        w.chkAutoQueue->setChecked(true);
        settingsLeft = crashed.readAppDataFile("swr.ini");
        QueueSession::of(w).forgetHoldDefault(); // what the crash forgets
    }
    EXPECT_EQ(other->jobHoldUntilDefault(queue), "indefinite");
    harness.writeAppDataFile("swr.ini", settingsLeft);
    FrmMain& w = harness.show();
    EXPECT_FALSE(w.chkAutoQueue->isChecked());
    EXPECT_EQ(other->jobHoldUntilDefault(queue), "no-hold");
    EXPECT_TRUE(
        w.panelText(1).startsWith("AutoQueue was left on when Spoolwright last ended: " + queue))
        << w.panelText(1).toStdString();
}
