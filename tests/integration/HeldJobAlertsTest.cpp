#include "SpoolerJobLookup.h"
#include "control/HeldJobExpiry.h"
#include "control/JobActions.h"
#include "form/JobGrid.h"
#include "platform/CupsSpooler.h"
#include "platform/NumberText.h"
#include "session/QueuePoll.h"
#include "session/QueueSession.h"
#include "session/ReleaseQueueName.h"
#include "shell/PageCounters.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/NotificationBus.h"
#include "support/PrinterState.h"
#include "support/SampleDocuments.h"
#include "support/ScopedVariable.h"
#include "support/TestPrintServer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// A queue of the sandbox server shown in the window, without a job monitor: each
// tick reads the server's jobs anew, so that the test decides when the grid learns
// of a job.
class HeldJobAlerts : public ::testing::Test {
protected:
    void SetUp() override {
        queue = server.newQueue("Alerts");
        ASSERT_FALSE(queue.isEmpty());
        harness.useRealServers = true;
        other = std::make_unique<CupsSpooler>(server.address(), kShortTimeouts);
    }
    FrmMain& show(const QString& sections) {
        return harness.show(QStringLiteral("Server=%1\r\nQueue=%2\r\nAudit=True\r\n%3")
                                .arg(server.address(), queue, sections)
                                .toUtf8());
    }
    int submit(const char* user, const char* title) {
        return server.submitJob(queue, user, title, sampleText(3));
    }
    int statusOf(int id) {
        const std::optional<SpoolerJob> job = jobNumbered(other->queueJobs(queue), id);
        return job ? job->StatusMask : -1; // -1: it has left the queue
    }
    // One tick of the poll, whose answer has been shown; a second tick follows the
    // first's work on the poll's worker (deletions of expired jobs), so that its
    // answer is seen too.
    void tick(FrmMain& w, int ticks = 1) {
        for (int i = 0; i < ticks; ++i) {
            QueueSession::of(w).setJobsStale(true);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !QueuePoll::of(w).inFlight(); }, 30000));
            Timer2_Timer(w);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !QueuePoll::of(w).inFlight(); }, 30000));
        }
    }
    int audits(const QString& description) {
        return logRows(harness.window().log(),
                       "SELECT * FROM SWR_Audit WHERE Description = '" + description + "'")
            .size();
    }
    void select(FrmMain& w, int id) {
        QTreeWidgetItem* row = w.jobGrid().rowOf(queue + ", " + QString::number(id));
        ASSERT_NE(row, nullptr);
        w.JobList->setCurrentItem(row);
    }

    TestPrintServer server;
    QString queue;
    MainWindowHarness harness;
    std::unique_ptr<CupsSpooler> other;
};

} // namespace

TEST_F(HeldJobAlerts, JobsHeldLongerThanTheSettingAreDeletedAndLoggedAtMostOnceAMinute) {
    const int first = submit("alice", "Handout");
    const int second = submit("bob", "Minutes");
    ASSERT_GT(std::min(first, second), 0);
    const QDateTime start = QDateTime::currentDateTime();
    harness.clock.time = start;
    FrmMain& w = show("[AutoQueue]\r\nExpireHeldAfter=60\r\n");
    tick(w, 2);
    ASSERT_EQ(w.jobGrid().count(), 2);
    // Not held long enough yet.
    EXPECT_EQ(statusOf(first), 1);
    EXPECT_EQ(statusOf(second), 1);

    const qint64 deletedBefore = SessionPages::of(w).SessionDeletedPages();
    harness.clock.time = start.addSecs(61 * 60);
    tick(w, 2);
    EXPECT_EQ(statusOf(first), -1);
    EXPECT_EQ(statusOf(second), -1);
    EXPECT_EQ(w.jobGrid().count(), 0);
    EXPECT_EQ(audits("Expired Job - " + queue), 2);
    // Logged as the Delete action logs a deletion.
    const QList<QStringList> rows =
        logRows(w.log(), "SELECT \"Deleted\", \"Deleted Pages\", \"Resumed\", \"SWR User\" FROM "
                         "SWR_Log WHERE Queue = '" +
                             queue + "' ORDER BY Description");
    ASSERT_EQ(rows.size(), 2);
    for (const QStringList& row : rows) {
        EXPECT_FALSE(row[0].isEmpty() || row[0] == kNull) << row.join('|').toStdString();
        EXPECT_TRUE(row[2].isEmpty() || row[2] == kNull) << row.join('|').toStdString();
        EXPECT_FALSE(row[3].isEmpty() || row[3] == kNull);
    }
    EXPECT_EQ(SessionPages::of(w).SessionDeletedPages() - deletedBefore,
              leadingNumberOf(rows[0][1]) + leadingNumberOf(rows[1][1]));

    // A job that is due within the same minute waits for the next check.
    const int third = submit("carol", "Late");
    ASSERT_GT(third, 0);
    const QDateTime thirdAt = QDateTime::currentDateTime();
    harness.clock.time = start.addSecs(61 * 60 + 30);
    ASSERT_GT(thirdAt.secsTo(harness.clock.time), 60 * 60); // due, were it checked
    tick(w, 2);
    EXPECT_EQ(statusOf(third), 1);
    harness.clock.time = harness.clock.time.addSecs(31);
    tick(w, 2);
    EXPECT_EQ(statusOf(third), -1);
    EXPECT_EQ(audits("Expired Job - " + queue), 3);
}

TEST_F(HeldJobAlerts, AJobReleasedSinceTheGridShowedItHeldIsNotExpired) {
    ASSERT_EQ(other->pauseQueue(queue), SpoolerResult::Success); // released jobs stay
    const int job = submit("alice", "Handout");
    ASSERT_GT(job, 0);
    const QDateTime start = QDateTime::currentDateTime();
    harness.clock.time = start;
    FrmMain& w = show("[AutoQueue]\r\nExpireHeldAfter=60\r\n");
    tick(w, 2);
    ASSERT_EQ(w.jobGrid().count(), 1);

    // Released elsewhere while the grid still shows it held, and due by then.
    ASSERT_EQ(other->resumeJob(queue, job), SpoolerResult::Success);
    harness.clock.time = start.addSecs(61 * 60);
    expireHeldJobs(w);
    ASSERT_TRUE(QueuePoll::of(w).worker().waitForDone(30000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(statusOf(job), 0);
    EXPECT_EQ(audits("Expired Job - " + queue), 0);
}

TEST_F(HeldJobAlerts, APrinterNeedingAttentionSaysSoNotifiesEachNewReasonOnceAndReleaseAsks) {
    NotificationBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    const ScopedVariable sessionBus("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    const int job = submit("alice", "Handout");
    ASSERT_GT(job, 0);
    FrmMain& w = show("[Notifications]\r\nPrinterAttention=True\r\nHeldAfter=30\r\n");
    tick(w);
    EXPECT_FALSE(w.txtPrintStatus->text().contains("Needs Attention"));

    ASSERT_TRUE(
        setPrinterStateReasons(server.address(), queue, {"media-jam-error", "toner-low-warning"}));
    tick(w);
    EXPECT_TRUE(w.txtPrintStatus->text().contains(" - Needs Attention (paper jam, toner low)"))
        << w.txtPrintStatus->text().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bus.notices.size() >= 2; }, 10000));
    // Seen again, the same reasons are no news; a new one is.
    tick(w, 2);
    ASSERT_TRUE(setPrinterStateReasons(server.address(), queue,
                                       {"media-jam-error", "toner-low-warning", "door-open"}));
    tick(w);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bus.notices.size() >= 3; }, 10000));
    ASSERT_EQ(bus.notices.size(), 3);
    const QString reported = queue + " reports ";
    EXPECT_TRUE(bus.notices[0].body.startsWith(reported + "paper jam"));
    EXPECT_TRUE(bus.notices[1].body.startsWith(reported + "toner low"));
    EXPECT_TRUE(bus.notices[2].body.startsWith(reported + "door open"));
    EXPECT_EQ(bus.notices[2].summary, queue + " needs attention");
    EXPECT_EQ(bus.notices[2].app, "Spoolwright");

    // Releasing asks once; No leaves the job held.
    const RecordingPrompter::Asked question{
        "Spoolwright", reported + "paper jam, toner low, door open. Release anyway?",
        Prompter::Icon::Question, Prompter::Buttons::YesNo};
    select(w, job);
    harness.prompter.answers = {Prompter::Answer::No};
    MenuResumeJob(w);
    EXPECT_EQ(harness.prompter.asked, QList<RecordingPrompter::Asked>{question});
    EXPECT_EQ(statusOf(job), 1);
    EXPECT_EQ(audits("Resume Job"), 0);
    harness.prompter.answers = {Prompter::Answer::Yes};
    MenuResumeJob(w);
    EXPECT_EQ(harness.prompter.asked, (QList<RecordingPrompter::Asked>{question, question}));
    EXPECT_NE(statusOf(job), 1);
    EXPECT_EQ(audits("Resume Job"), 1);

    // A printer that is well again asks nothing; a reason that comes back is new.
    ASSERT_TRUE(setPrinterStateReasons(server.address(), queue, {"none"}));
    tick(w);
    EXPECT_FALSE(w.txtPrintStatus->text().contains("Needs Attention"))
        << w.txtPrintStatus->text().toStdString();
    const int next = submit("bob", "Minutes");
    tick(w);
    select(w, next);
    MenuResumeJob(w);
    EXPECT_EQ(harness.prompter.asked.size(), 2);
    ASSERT_TRUE(setPrinterStateReasons(server.address(), queue, {"media-empty-error"}));
    tick(w);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bus.notices.size() >= 4; }, 10000));
    EXPECT_TRUE(bus.notices[3].body.startsWith(reported + "out of paper"));

    // A job held longer than the minutes set is announced once, however many ticks see it.
    const int waiting = submit("carol", "Forgotten");
    ASSERT_GT(waiting, 0);
    tick(w);
    harness.clock.time = QDateTime::currentDateTime().addSecs(31 * 60);
    tick(w, 3);
    ASSERT_TRUE(setPrinterStateReasons(server.address(), queue, {"media-empty-error", "offline"}));
    tick(w);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bus.notices.size() >= 6; }, 10000));
    ASSERT_EQ(bus.notices.size(), 6);
    EXPECT_EQ(bus.notices[4].summary, "Job held for over 30 minutes");
    EXPECT_EQ(bus.notices[4].body, "Forgotten by carol waits in " + queue + ".");
    EXPECT_TRUE(bus.notices[5].body.startsWith(reported + "offline"));

    // Releasing several selected jobs asks once for them all.
    const int another = submit("dave", "Agenda");
    ASSERT_GT(another, 0);
    tick(w);
    select(w, waiting);
    w.jobGrid().rowOf(queue + ", " + QString::number(another))->setSelected(true);
    ASSERT_EQ(w.jobGrid().selectedJobs().size(), 2);
    const qsizetype askedBefore = harness.prompter.asked.size();
    harness.prompter.answers = {Prompter::Answer::No};
    MenuResumeJob(w);
    ASSERT_EQ(harness.prompter.asked.size(), askedBefore + 1);
    EXPECT_TRUE(
        harness.prompter.asked.last().text.endsWith("out of paper, offline. Release anyway?"))
        << harness.prompter.asked.last().text.toStdString();
    EXPECT_EQ(statusOf(waiting), 1);
    EXPECT_EQ(statusOf(another), 1);

    // Under AutoQueue the printer prints through the release queue: its problems are
    // the printer's; the pause AutoQueue sets is none.
    ASSERT_TRUE(setPrinterStateReasons(server.address(), queue, {"none"}));
    w.chkAutoQueue->setChecked(true);
    ASSERT_TRUE(
        setPrinterStateReasons(server.address(), releaseQueueName(queue), {"cover-open-error"}));
    tick(w);
    EXPECT_TRUE(w.txtPrintStatus->text().contains(" Paused - Needs Attention (cover open)"))
        << w.txtPrintStatus->text().toStdString();
}
