#include "control/GridActions.h"
#include "control/JobActions.h"
#include "control/ReleaseSteps.h"
#include "form/JobGrid.h"
#include "platform/CupsStatus.h"
#include "session/QueueSession.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// A window on the fake queue "Laser" of the server "alpha", audit on.
class HeldQueue : public ::testing::Test {
protected:
    FrmMain& open(const QByteArray& settings = QByteArray()) {
        fake.addQueue({QStringLiteral("Laser"), {}, {}, {}, {}, 0});
        return harness.show("Server=alpha\r\nQueue=Laser\r\nAudit=True\r\n" + settings);
    }
    int audits(const QString& description) {
        return logRows(harness.window().log(),
                       "SELECT * FROM SWR_Audit WHERE Description = '" + description + "'")
            .size();
    }
    int statusOf(int id) {
        for (const SpoolerJob& job : fake.queueJobs(QStringLiteral("Laser")))
            if (job.JobId == id)
                return job.StatusMask;
        return -1;
    }
    void at(int hour, int minute, int second = 0) {
        harness.clock.time = QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second));
    }

    MainWindowHarness harness;
    FakeSpooler& fake = harness.fake(QStringLiteral("alpha"));
};

} // namespace

TEST_F(HeldQueue, AutoQueueHoldsQueueAndJobsAndOffLeavesThemHeld) {
    fake.addJob("Laser", 1, "Report", "ann");
    fake.addJob("Laser", 2, "Memo", "bob");
    FrmMain& w = open();
    EXPECT_FALSE(w.chkTimed->isEnabled());

    w.chkAutoQueue->setChecked(true);
    EXPECT_TRUE(queuePaused(fake.queue("Laser")->Status));
    EXPECT_EQ(statusOf(1), 1);
    EXPECT_EQ(statusOf(2), 1);
    EXPECT_EQ(fake.holdDefault, "indefinite");
    EXPECT_FALSE(w.menu("MenuPause")->isEnabled());
    EXPECT_TRUE(w.chkTimed->isEnabled());
    EXPECT_EQ(w.Timer2->interval(), 6000);
    EXPECT_EQ(audits("Enable AutoQueue - Laser"), 1);
    EXPECT_TRUE(w.panelText(1).startsWith("Enable AutoQueue "));

    // A job arriving later is held at the next tick; the last released one is not.
    fake.addJob("Laser", 3, "Late", "cy");
    fake.addJob("Laser", 4, "Released", "cy");
    QueueSession::of(w).setLastReleasedJob("4");
    ASSERT_TRUE(runPollTick(w));
    EXPECT_EQ(statusOf(3), 1);
    EXPECT_EQ(statusOf(4), 0);

    w.chkTimed->setChecked(true);
    w.chkAA->setChecked(true);
    EXPECT_TRUE(w.txtTimed->isEnabled());
    EXPECT_EQ(audits("Enable AutoRelease - Laser"), 1);

    w.chkAutoQueue->setChecked(false);
    EXPECT_FALSE(w.chkTimed->isChecked());
    EXPECT_FALSE(w.chkAA->isChecked());
    EXPECT_FALSE(w.chkTimed->isEnabled());
    EXPECT_FALSE(w.txtTimed->isEnabled());
    EXPECT_EQ(audits("Disable AutoRelease - Laser"), 1);
    EXPECT_EQ(audits("Disable AutoQueue - Laser"), 1);
    EXPECT_TRUE(queuePaused(fake.queue("Laser")->Status)); // nothing is resumed
    EXPECT_EQ(statusOf(1), 1);
    EXPECT_EQ(fake.holdDefault, "no-hold");
    EXPECT_TRUE(w.menu("MenuPause")->isEnabled());
    EXPECT_EQ(w.Timer2->interval(), 10000);
}

TEST_F(HeldQueue, AutoReleaseActsOnceInItsMinuteAndStopsOnABadTime) {
    fake.addJob("Laser", 1, "Report", "ann");
    at(16, 59, 59);
    FrmMain& w = open();
    // The ticks are the test's own: the fast poll a purge starts does not tick meanwhile.
    w.Settings.PollAQactive = QString::number(60 * 60 * 1000);
    w.chkAutoQueue->setChecked(true);
    w.chkTimed->setChecked(true);
    w.txtTimed->setText("5:00 PM");
    w.optTimed[1]->setChecked(true);
    chkTimedRelease(w);
    EXPECT_EQ(fake.calls.value("deleteJobs"), 0);
    at(17, 0, 0);
    chkTimedRelease(w);
    EXPECT_EQ(fake.calls.value("deleteJobs"), 1);
    EXPECT_TRUE(fake.queueJobs("Laser").isEmpty());
    at(17, 0, 59);
    w.txtTimed->setText("17:00"); // a 24-hour time reads the same
    chkTimedRelease(w);
    // One purge in the minute, however often it is ticked.
    EXPECT_EQ(fake.calls.value("deleteJobs"), 1);
    EXPECT_EQ(audits("Purge All Jobs - Laser"), 1);
    EXPECT_TRUE(harness.prompter.asked.isEmpty()); // deleted without asking
    at(17, 1);
    chkTimedRelease(w);
    EXPECT_EQ(audits("Purge All Jobs - Laser"), 1);
    // The same minute of the next day is another minute.
    harness.clock.time = QDateTime(QDate(2026, 12, 8), QTime(17, 0, 30));
    chkTimedRelease(w);
    EXPECT_EQ(audits("Purge All Jobs - Laser"), 2);

    // Not a time: AutoRelease and AutoActivate go off with a message.
    w.chkAA->setChecked(true);
    w.txtTimed->setText("teatime");
    chkTimedRelease(w);
    EXPECT_FALSE(w.chkTimed->isChecked());
    EXPECT_FALSE(w.chkAA->isChecked());
    ASSERT_EQ(harness.prompter.asked.size(), 1);
    EXPECT_EQ(harness.prompter.asked.last().text,
              "ERROR: Unable to Perform Timed Release - Print/Purge Error");
}

TEST_F(HeldQueue, ExceptionsReleaseOnlyWholeNamesOneJobATick) {
    fake.addJob("Laser", 1, "Nobody", "", 1);
    fake.addJob("Laser", 2, "Smith's", "smith", 1);
    fake.addJob("Laser", 3, "Printing", "JSmith", 16);
    fake.addJob("Laser", 4, "Held", "jsmith", 1);
    fake.addJob("Laser", 5, "Other", "carol", 1);
    FrmMain& w = open("Exceptions=jsmith;  carol\r\n");
    ResumeExceptions(w);
    // The printing jsmith job is found first and left to print.
    EXPECT_EQ(fake.calls.value("resumeJob"), 0);
    fake.deleteJob("Laser", 3);
    QueueSession::of(w).setJobsStale(true); // no job monitor here: the tick reads the jobs again
    ASSERT_TRUE(runPollTick(w));
    ResumeExceptions(w);
    EXPECT_EQ(statusOf(4), 0);
    EXPECT_EQ(statusOf(5), 1); // one a tick
    EXPECT_EQ(statusOf(1), 1);
    EXPECT_EQ(statusOf(2), 1);
    EXPECT_EQ(QueueSession::of(w).LastReleasedJob(), "4");
    // While a release is being watched nothing more is released.
    w.Timer2->setInterval(10);
    ResumeExceptions(w);
    EXPECT_EQ(statusOf(5), 1);
}

TEST_F(HeldQueue, AnExceptionsJobTheServerRefusesIsSkippedWithoutAnAuditRow) {
    fake.addJob("Laser", 1, "Refused", "jsmith", 1);
    fake.addJob("Laser", 2, "Waiting", "jsmith", 0); // released, cannot print yet
    fake.addJob("Laser", 3, "Next", "jsmith", 1);
    fake.refused << 1;
    FrmMain& w = open("Exceptions=jsmith\r\n");
    ResumeExceptions(w);
    EXPECT_EQ(statusOf(1), 1);
    EXPECT_EQ(statusOf(2), 0);
    EXPECT_EQ(statusOf(3), 0);
    EXPECT_EQ(fake.calls.value("resumeJob"), 2); // job 2 was not asked again
    EXPECT_EQ(audits("Resume Job"), 1);
    EXPECT_EQ(QueueSession::of(w).LastReleasedJob(), "3");
}

TEST_F(HeldQueue, GridDoubleClickSortingAndTheJobActionDialog) {
    for (int id : {9, 10, 2})
        fake.addJob("Laser", id, QString("Doc %1").arg(id), "ann", 1).TotalPages = id;
    FrmMain& w = open();
    ASSERT_EQ(w.JobList->topLevelItemCount(), 3);

    // Pages sort as numbers, descending first, then the other way on any column.
    JobList_ColumnClick(w, JobColumn::Pages);
    EXPECT_EQ(w.JobList->topLevelItem(0)->text(JobColumn::Pages), "10");
    EXPECT_EQ(w.JobList->topLevelItem(2)->text(JobColumn::Pages), "2");
    JobList_ColumnClick(w, JobColumn::ID);
    EXPECT_EQ(w.JobList->topLevelItem(0)->text(JobColumn::ID), "2");
    EXPECT_EQ(w.JobList->topLevelItem(1)->text(JobColumn::ID), "9");

    // No default action yet: a double-click prints, and Print becomes the default.
    w.JobList->setCurrentItem(w.jobGrid().rowOf("Laser, 9"));
    JobList_DblClick(w);
    EXPECT_EQ(statusOf(9), 0);
    EXPECT_EQ(w.Settings.JobAction, "Print");
    w.Settings.JobAction = "Delete";
    harness.prompter.answers = {Prompter::Answer::No};
    JobList_DblClick(w);
    EXPECT_EQ(harness.prompter.asked.size(), 1);

    // The dialog shows the selected job; with "QAHideAllButtons" the all-jobs
    // buttons go and Print and Delete grow.
    w.Settings.QuickAction = 1;
    w.JobList->setCurrentItem(w.jobGrid().rowOf("Laser, 10"));
    JobList_DblClick(w);
    ASSERT_TRUE(w.frmAction);
    auto* text = w.frmAction->findChild<QPlainTextEdit*>("txtPrintJob");
    auto* print = w.frmAction->findChild<QPushButton*>("PrintButton");
    auto* printAll = w.frmAction->findChild<QPushButton*>("cmdPrintAll");
    EXPECT_EQ(text->toPlainText(), "Doc 10\n" +
                                       w.JobList->currentItem()->text(JobColumn::Computer) +
                                       " - 2KB - Pages: 10");
    EXPECT_TRUE(printAll->isVisible());
    const int height = print->height();
    w.Settings.QAHideAllButtons = true;
    fillJobActions(w);
    EXPECT_FALSE(printAll->isVisible());
    EXPECT_GT(print->maximumHeight(), height);
    print->click();
    EXPECT_EQ(statusOf(10), 0);
    EXPECT_FALSE(w.frmAction->isVisible());
    w.JobList->clearSelection();
    w.JobList->setCurrentItem(nullptr);
    showJobActions(w);
    EXPECT_EQ(text->toPlainText(), "No Job Selected");
    EXPECT_FALSE(print->isEnabled());

    // An empty grid: nothing at all.
    fake.deleteJob("Laser", 2);
    fake.deleteJob("Laser", 9);
    fake.deleteJob("Laser", 10);
    QueueSession::of(w).setJobsStale(true);
    ASSERT_TRUE(runPollTick(w));
    ASSERT_EQ(w.JobList->topLevelItemCount(), 0);
    w.Settings.QuickAction = 0;
    w.frmAction->close();
    JobList_DblClick(w);
    EXPECT_FALSE(w.frmAction->isVisible());
    EXPECT_EQ(harness.prompter.asked.size(), 1);
}

TEST_F(HeldQueue, RowsAreSelectedByKeysAndMouseAndADoubleClickActsOnItsOwn) {
    for (int id = 1; id <= 5; ++id)
        fake.addJob("Laser", id, QString("Doc %1").arg(id), "ann", 1);
    FrmMain& w = open();
    ASSERT_EQ(w.JobList->topLevelItemCount(), 5);
    const auto selected = [&w] {
        QList<int> ids;
        for (const SpoolerJob& job : w.jobGrid().selectedJobs())
            ids << job.JobId;
        return ids;
    };
    const auto click = [&w](int id, Qt::KeyboardModifiers modifiers) {
        const QRect row =
            w.JobList->visualItemRect(w.jobGrid().rowOf(QString("Laser, %1").arg(id)));
        QTest::mouseClick(w.JobList->viewport(), Qt::LeftButton, modifiers, row.center());
    };
    click(1, Qt::NoModifier);
    click(3, Qt::ShiftModifier);
    EXPECT_EQ(selected(), QList<int>({1, 2, 3}));
    click(5, Qt::ControlModifier);
    EXPECT_EQ(selected(), QList<int>({1, 2, 3, 5}));
    QTest::keyClick(w.JobList, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selected(), QList<int>({1, 2, 3, 4, 5}));
    // A refresh keeps the selection of the rows that stay.
    fake.deleteJob("Laser", 4);
    QueueSession::of(w).setJobsStale(true);
    ASSERT_TRUE(runPollTick(w));
    EXPECT_EQ(selected(), QList<int>({1, 2, 3, 5}));

    // A double-click acts on its own row alone, which it leaves selected; so does the
    // job action dialog, on the job it shows.
    emit w.JobList->itemDoubleClicked(w.jobGrid().rowOf("Laser, 2"), 0);
    EXPECT_EQ(selected(), QList<int>({2}));
    EXPECT_EQ(QList<int>({statusOf(1), statusOf(2), statusOf(3), statusOf(5)}),
              QList<int>({1, 0, 1, 1}));
    QTest::keyClick(w.JobList, Qt::Key_A, Qt::ControlModifier);
    w.JobList->setCurrentItem(w.jobGrid().rowOf("Laser, 3"), 0, QItemSelectionModel::NoUpdate);
    w.Settings.QuickAction = 1;
    showJobActions(w);
    w.frmAction->findChild<QPushButton*>("PrintButton")->click();
    EXPECT_EQ(QList<int>({statusOf(1), statusOf(3), statusOf(5)}), QList<int>({1, 0, 1}));
    EXPECT_EQ(audits("Resume Job"), 2);
}

TEST_F(HeldQueue, ClosingTheWindowDuringAPassOverSelectedJobsLogsEveryJobItDid) {
    for (int id = 1; id <= 4; ++id)
        fake.addJob("Laser", id, QString("Doc %1").arg(id), "ann", 1);
    FrmMain& w = open();
    ASSERT_EQ(w.JobList->topLevelItemCount(), 4);
    w.JobList->selectAll();
    MenuResumeJob(w);
    w.close(); // before the worker's answer reached the window
    EXPECT_EQ(QList<int>({statusOf(1), statusOf(2), statusOf(3), statusOf(4)}),
              QList<int>({0, 0, 0, 0}));
    EXPECT_EQ(
        logRows(w.log(), "SELECT TransactionID FROM SWR_Log WHERE Resumed IS NOT NULL").size(), 4);
}
