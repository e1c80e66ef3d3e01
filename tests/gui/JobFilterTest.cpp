#include "control/QueueActions.h"
#include "form/JobGrid.h"
#include "form/PanelFrame.h"
#include "session/QueueSession.h"
#include "shell/Panels.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// A window on the fake queue "Laser" of "alpha": ann's two jobs, bob's held one and
// carol's, with a job of another queue the ServerView shows.
class JobFilter : public ::testing::Test {
protected:
    FrmMain& open() {
        fake.addQueue(
            {QStringLiteral("Laser"), {}, QStringLiteral("ipp://alpha/printers/Laser"), {}, {}, 0});
        fake.addQueue({QStringLiteral("Colour"), {}, {}, {}, {}, 0});
        fake.addJob("Laser", 1, "Payroll.pdf", "ann");
        fake.addJob("Laser", 2, "Handout week 3", "bob", 1);
        fake.addJob("Laser", 3, "minutes", "Ann");
        fake.addJob("Laser", 4, "Poster", "carol", 1);
        fake.addJob("Colour", 5, "Photo", "bob");
        return harness.show("Server=alpha\r\nQueue=Laser\r\n");
    }
    // The names of the rows the grid shows, in its order.
    static QStringList shown(const QTreeWidget* grid) {
        QStringList names;
        for (int i = 0; i < grid->topLevelItemCount(); ++i)
            if (!grid->topLevelItem(i)->isHidden())
                names << grid->topLevelItem(i)->text(grid->columnCount() - 1);
        return names;
    }
    int statusOf(int id) {
        for (const SpoolerJob& job : fake.jobs())
            if (job.JobId == id)
                return job.StatusMask;
        return -1;
    }

    MainWindowHarness harness;
    FakeSpooler& fake = harness.fake(QStringLiteral("alpha"));
};

} // namespace

TEST_F(JobFilter, NarrowsBothGridsByUserDocumentOrStatusAndCountsInTheStatusBar) {
    FrmMain& w = open();
    ASSERT_EQ(w.JobList->topLevelItemCount(), 4);
    ASSERT_EQ(w.SearchList->topLevelItemCount(), 5);
    EXPECT_TRUE(w.txtFilter->isVisible());
    Timer1_Timer(w);
    EXPECT_EQ(w.panelText(3), "Jobs: 4");

    // Ctrl+F gives the box the keyboard from the grid.
    QApplication::setActiveWindow(&w);
    w.JobList->setFocus();
    QTest::keyClick(w.JobList, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(w.txtFilter->hasFocus());

    // A user, without regard to case; the ServerView's grid narrows alike.
    QTest::keyClicks(w.txtFilter, "ANN");
    EXPECT_EQ(shown(w.JobList), QStringList({"Laser, 1", "Laser, 3"}));
    EXPECT_EQ(shown(w.SearchList), QStringList({"Laser, 1", "Laser, 3"}));
    Timer1_Timer(w);
    EXPECT_EQ(w.panelText(3), "2 of 4 jobs shown");
    EXPECT_EQ(w.LabelPrintJobs->text(), "Queued Print Jobs: 4");

    // A document's words, and a status.
    w.txtFilter->setText("handout");
    EXPECT_EQ(shown(w.JobList), QStringList({"Laser, 2"}));
    w.txtFilter->setText("paused");
    EXPECT_EQ(shown(w.JobList), QStringList({"Laser, 2", "Laser, 4"}));
    w.txtFilter->setText("photo");
    EXPECT_TRUE(shown(w.JobList).isEmpty());
    EXPECT_EQ(shown(w.SearchList), QStringList({"Colour, 5"}));
    Timer1_Timer(w);
    EXPECT_EQ(w.panelText(3), "0 of 4 jobs shown");

    // While the ServerView is up the box stands above its grid, and the count is its.
    mnuSearch_Click(w);
    EXPECT_EQ(w.txtFilter->parentWidget(), w.FrameSearch->body());
    EXPECT_TRUE(w.txtFilter->isVisible());
    EXPECT_EQ(w.txtFilter->y() + w.txtFilter->height(), w.SearchList->y());
    Timer1_Timer(w);
    EXPECT_EQ(w.panelText(3), "1 of 5 jobs shown");
    mnuSearch_Click(w);
    EXPECT_EQ(w.txtFilter->parentWidget(), w.centralWidget());
    EXPECT_EQ(w.txtFilter->y() + w.txtFilter->height(), w.JobList->y());

    // A job that arrives is shown only when it matches, and the selected row is let
    // go once the filter hides it: the next action never acts on a hidden job.
    w.txtFilter->setText("ann");
    w.JobList->setCurrentItem(w.jobGrid().rowOf("Laser, 3"));
    fake.addJob("Laser", 6, "Agenda", "ann");
    fake.addJob("Laser", 7, "Agenda", "dave");
    QueueSession::of(w).setJobsStale(true);
    ASSERT_TRUE(runPollTick(w));
    EXPECT_EQ(shown(w.JobList), QStringList({"Laser, 1", "Laser, 3", "Laser, 6"}));
    w.txtFilter->setText("payroll");
    EXPECT_EQ(w.JobList->currentItem(), nullptr);
    EXPECT_TRUE(w.JobList->selectedItems().isEmpty());

    // Ctrl+A takes in the rows between that the filter hides: they are not acted on.
    w.txtFilter->setText("ann");
    w.JobList->setFocus();
    QTest::keyClick(w.JobList, Qt::Key_A, Qt::ControlModifier);
    QStringList selected;
    for (const SpoolerJob& job : w.jobGrid().selectedJobs())
        selected << QString::number(job.JobId);
    EXPECT_EQ(selected, QStringList({"1", "3", "6"}));

    // Cleared, every row shows again, and the status bar counts them as before.
    w.txtFilter->clear();
    EXPECT_EQ(shown(w.JobList).size(), 6);
    EXPECT_EQ(shown(w.SearchList).size(), 7);
    Timer1_Timer(w);
    EXPECT_EQ(w.panelText(3), "Jobs: 6");
}

TEST_F(JobFilter, HiddenJobsAreStillLoggedAndReleasedByResumeAll) {
    FrmMain& w = open();
    ASSERT_EQ(w.JobList->topLevelItemCount(), 4);
    w.txtFilter->setText("ann");
    ASSERT_EQ(shown(w.JobList), QStringList({"Laser, 1", "Laser, 3"}));

    // A job the filter hides is logged as it arrives, as any other.
    fake.addJob("Laser", 8, "Timetable", "dave");
    QueueSession::of(w).setJobsStale(true);
    ASSERT_TRUE(runPollTick(w));
    ASSERT_FALSE(shown(w.JobList).contains("Laser, 8"));
    EXPECT_EQ(
        logRows(w.log(), "SELECT Description FROM SWR_Log WHERE Description = 'Timetable'").size(),
        1);

    // Resume All releases bob's and carol's held jobs though neither is shown.
    resumeAllJobs(w);
    EXPECT_TRUE(QTest::qWaitFor([&] { return statusOf(2) == 0 && statusOf(4) == 0; }, 10000));
    EXPECT_EQ(statusOf(2), 0);
    EXPECT_EQ(statusOf(4), 0);
    EXPECT_EQ(w.txtFilter->text(), "ann");
}
