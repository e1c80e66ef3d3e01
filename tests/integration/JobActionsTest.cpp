#include "control/JobActions.h"
#include "CompletedJobs.h"
#include "SpoolerJobLookup.h"
#include "control/GridActions.h"
#include "control/QueueActions.h"
#include "control/SelectedJobActions.h"
#include "form/JobGrid.h"
#include "platform/CupsSpooler.h"
#include "platform/CupsStatus.h"
#include "session/JobMonitor.h"
#include "session/JobRetrieval.h"
#include "session/QueueSession.h"
#include "shell/IniFile.h"
#include "shell/PageCounters.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"
#include "support/WidgetTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// A window on a queue of the test's own on the shared print server, audit on, and a
// client of its own that reads what the server holds.
class OnServer : public ::testing::Test {
protected:
    void open(const QString& stem, bool withMonitor = false) {
        queue = server.newQueue(stem);
        ASSERT_FALSE(queue.isEmpty());
        harness.useRealServers = true;
        if (withMonitor)
            harness.monitorProgram = jobMonitorProgram();
        other = std::make_unique<CupsSpooler>(server.address(), kShortTimeouts);
    }
    void show() {
        w = &harness.show(QStringLiteral("Server=%1\r\nQueue=%2\r\nAudit=True")
                              .arg(server.address(), queue)
                              .toUtf8());
        ASSERT_EQ(w->CurrentPrintQueue->currentText(), queue);
    }
    std::optional<SpoolerJob> onServer(int id) { return jobNumbered(other->queueJobs(queue), id); }
    bool queuePaused() {
        return ::queuePaused(other->queue(queue).value_or(SpoolerQueue{}).Status);
    }
    void select(int id) {
        QTreeWidgetItem* row =
            w->jobGrid().rowOf(queue + QStringLiteral(", ") + QString::number(id));
        ASSERT_NE(row, nullptr);
        w->JobList->setCurrentItem(row);
    }
    // Selects exactly these jobs' rows, the current row among them.
    void selectOnly(const QList<int>& ids) {
        w->JobList->clearSelection();
        for (int id : ids) {
            QTreeWidgetItem* row =
                w->jobGrid().rowOf(queue + QStringLiteral(", ") + QString::number(id));
            ASSERT_NE(row, nullptr);
            w->JobList->setCurrentItem(row, 0,
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    // Runs a command on the selected jobs until its pass has ended.
    void onSelected(void (*command)(FrmMain&)) {
        command(*w);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !selectedJobsPassRunning(*w); }, 60000));
    }
    bool pagesShown(int id, const QString& pages) {
        QTreeWidgetItem* row =
            w->jobGrid().rowOf(queue + QStringLiteral(", ") + QString::number(id));
        return row && row->text(JobColumn::Pages) == pages;
    }
    QString counter(const char* key) {
        return ReadSetting(harness.environment, "Log Counters", QString::fromLatin1(key));
    }
    QList<QStringList> logRow(int id, const QString& columns) {
        return logRows(w->log(), QStringLiteral("SELECT %1 FROM SWR_Log WHERE Queue = '%2' AND "
                                                "Name = '%3'")
                                     .arg(columns, queue)
                                     .arg(id));
    }
    int audits(const QString& description) {
        return logRows(w->log(),
                       "SELECT * FROM SWR_Audit WHERE Description = '" + description + "'")
            .size();
    }

    TestPrintServer server;
    QString queue;
    MainWindowHarness harness;
    std::unique_ptr<CupsSpooler> other;
    FrmMain* w = nullptr;
};

} // namespace

TEST_F(OnServer, JobCommandsChangeTheServerTheLogAndTheCounters) {
    open("Actions");
    const int budget = server.submitJob(queue, "alice", "Budget", sampleText(150)); // 3 pages
    const int notes = server.submitJob(queue, "bob", "Notes", sampleText(10));      // 1 page
    ASSERT_GT(std::min({budget, notes}), 0);
    show();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return pagesShown(budget, "3") && pagesShown(notes, "1"); }, 60000));

    // With the queue paused a released job stays in it, and can be released again.
    MenuPause(*w);
    EXPECT_TRUE(queuePaused());
    EXPECT_EQ(audits("Pause Queue - " + queue), 1);
    // The row a release writes agrees with the one the job was logged with: the server
    // is the one connected, whatever the server box shows meanwhile.
    const QString jobColumns =
        "Server, Queue, Description, Computer, User, Priority, \"Time Submitted\", Pages, Size";
    const QList<QStringList> logged = logRow(budget, jobColumns);
    ASSERT_EQ(logged.value(0).value(0), server.address());
    w->CurrentPrinter->setEditText("typed-not-entered");
    select(budget);
    MenuResumeJob(*w);
    EXPECT_TRUE(w->panelText(1).startsWith("Resume Job ")) << w->panelText(1).toStdString();
    EXPECT_EQ(logRow(budget, jobColumns), logged);
    w->CurrentPrinter->setEditText(server.address());
    ASSERT_TRUE(onServer(budget));
    EXPECT_EQ(onServer(budget)->StatusMask, 0);
    EXPECT_EQ(QueueSession::of(*w).LastReleasedJob(), QString::number(budget));
    // A job that is not held cannot be released: the server says why, nothing counts.
    MenuResumeJob(*w);
    EXPECT_TRUE(w->panelText(1).startsWith(QStringLiteral("Job %1: ").arg(budget)))
        << w->panelText(1).toStdString();
    EXPECT_EQ(counter("PrintedCounter"), "3");
    // Held and released again, it counts again.
    MenuPauseJob(*w);
    EXPECT_EQ(onServer(budget)->StatusMask, 1);
    MenuResumeJob(*w);
    EXPECT_EQ(SessionPages::of(*w).SessionPrintedPages(), 6);
    EXPECT_EQ(counter("PrintedCounter"), "6");
    EXPECT_EQ(audits("Resume Job"), 3);
    EXPECT_EQ(logRow(budget, "\"Printed Pages\", User, \"Deleted\""),
              QList<QStringList>({{"3", "alice", kNull}}));
    MenuPauseJob(*w);

    harness.prompter.inputs = {"75", "  ", "Collect at the desk"};
    MenuPriority(*w);
    EXPECT_EQ(onServer(budget)->Priority, 75);
    EXPECT_EQ(w->jobGrid().rowOf(queue + ", " + QString::number(budget))->text(JobColumn::Priority),
              "75");
    MenuPriority(*w); // a blank answer does nothing at all
    EXPECT_EQ(audits("Change Priority"), 1);
    mnuLogComment(*w);
    EXPECT_EQ(logRow(budget, "Comments"), QList<QStringList>({{"Collect at the desk"}}));

    // "No" leaves the job; "Yes" deletes it and turns its released row into a deleted one.
    harness.prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    const QTreeWidgetItem* row = w->JobList->currentItem();
    const QString question = "Are you sure you want to delete \r\nBudget\r\nby " +
                             row->text(JobColumn::Computer) + " " + row->text(JobColumn::Size) +
                             "?";
    MenuRemove(*w);
    EXPECT_TRUE(onServer(budget));
    EXPECT_TRUE(w->Timer2->isActive());
    EXPECT_EQ(harness.prompter.asked.last(),
              (RecordingPrompter::Asked{"Warning", question, Prompter::Icon::Exclamation,
                                        Prompter::Buttons::YesNo}));
    MenuRemove(*w);
    EXPECT_FALSE(onServer(budget));
    const QList<QStringList> deleted =
        logRow(budget, "Resumed, \"Printed Pages\", \"Deleted Pages\", Deleted IS NOT NULL");
    EXPECT_EQ(deleted, QList<QStringList>({{kNull, kNull, "3", "1"}}));
    EXPECT_EQ(counter("DeletedCounter"), "3");
    EXPECT_EQ(SessionPages::of(*w).SessionDeletedPages(), 3);
    EXPECT_EQ(counter("PrintedCounter"), "6"); // a deletion takes nothing back

    // A job cancelled behind the grid's back is left alone and counted nowhere.
    select(notes);
    ASSERT_TRUE(runCupsTool("cancel", {"-h", server.address(), QString::number(notes)}));
    MenuResumeJob(*w);
    EXPECT_EQ(w->panelText(1), QStringLiteral("Job %1 is no longer in the queue").arg(notes));
    EXPECT_EQ(counter("PrintedCounter"), "6");
    EXPECT_EQ(logRow(notes, "Resumed"), QList<QStringList>({{kNull}}));

    MenuResume(*w);
    EXPECT_FALSE(queuePaused());
}

TEST_F(OnServer, PurgeTestPageAndPropertiesActOnTheWholeQueue) {
    open("Purge");
    const QString locked = server.newQueue("PurgeLocked", true);
    ASSERT_FALSE(locked.isEmpty());
    QList<int> jobs;
    for (const char* user : {"alice", "bob", "carol"})
        jobs << server.submitJob(queue, user, "Report", sampleText(70)); // 2 pages each
    show();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return std::all_of(jobs.begin(), jobs.end(),
                               [&](int id) { return pagesShown(id, "2"); });
        },
        60000));

    // Paused, the queue keeps the test page until it is purged.
    MenuPause(*w);
    mnutestpage(*w);
    const auto testPages = [&] {
        int found = 0;
        for (const SpoolerJob& job : other->queueJobs(queue))
            found += job.Document == "Test Page";
        return found;
    };
    EXPECT_EQ(testPages(), 1);
    EXPECT_EQ(audits("Print Test Page - " + queue), 1);

    harness.prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    menuPurge(*w);
    EXPECT_EQ(other->queueJobs(queue).size(), 4);
    EXPECT_EQ(audits("Purge all jobs - " + queue), 0);
    // Delete All Jobs deletes the jobs the grid shows, the test page among them once
    // a reload shows it; a job that comes after the grid was filled was never seen:
    // it stays.
    cmdRefreshJobs_Click(*w);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->JobList->topLevelItemCount() == 4; }, 30000));
    const int late = server.submitJob(queue, "dave", "Late", sampleText(5));
    ASSERT_TRUE(onServer(late));
    EXPECT_EQ(w->jobGrid().rowOf(queue + ", " + QString::number(late)), nullptr);
    menuPurge(*w);
    EXPECT_EQ(harness.prompter.asked.last().text,
              "Are you sure you want to delete \r\nall print jobs?");
    const QList<SpoolerJob> left = other->queueJobs(queue);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left.first().JobId, late);
    EXPECT_EQ(audits("Purge all jobs - " + queue), 4); // one a job seen
    EXPECT_NE(logRow(late, "Deleted IS NOT NULL"), QList<QStringList>({{"1"}}));
    for (int id : jobs)
        EXPECT_EQ(logRow(id, "\"Deleted Pages\", Deleted IS NOT NULL"),
                  QList<QStringList>({{"2", "1"}}))
            << id;
    // The counter holds every purged job's pages, the test page's included.
    EXPECT_EQ(counter("DeletedCounter"),
              logRows(w->log(),
                      "SELECT SUM(\"Deleted Pages\") FROM SWR_Log WHERE Queue = '" + queue + "'")
                  .value(0)
                  .value(0));
    EXPECT_GE(counter("DeletedCounter").toInt(), 6);

    // The server's web interface is off: the properties come from the server itself.
    mnuPrinterProperties(*w);
    EXPECT_TRUE(harness.desktop.opened.isEmpty());
    auto* dialog = w->findChild<QDialog*>("PrinterAttributes");
    ASSERT_NE(dialog, nullptr);
    const QStringList names = gridColumn(dialog->findChild<QTreeWidget*>(), 0);
    const QStringList values = gridColumn(dialog->findChild<QTreeWidget*>(), 1);
    ASSERT_TRUE(names.contains("Name"));
    EXPECT_EQ(values[names.indexOf("Name")], queue);
    EXPECT_TRUE(names.contains("copies"));
    EXPECT_EQ(logRows(w->log(), "SELECT * FROM SWR_Audit WHERE Description LIKE 'Get printer "
                                "properties: ipp://%/printers/" +
                                    queue + "'")
                  .size(),
              1);
    dialog->close();

    // A queue that wants a password the operator does not give refuses the test page.
    w->CurrentPrintQueue->setCurrentIndex(w->CurrentPrintQueue->findText(locked));
    mnutestpage(*w);
    EXPECT_EQ(
        harness.prompter.asked.last(),
        (RecordingPrompter::Asked{"Spoolwright", "You do not have permission to print a test page!",
                                  Prompter::Icon::Critical, Prompter::Buttons::Ok}));
}

TEST_F(OnServer, ResumeAllUnderAutoQueueReleasesOneJobAtATime) {
    open("ResumeAll", true);
    QList<int> jobs;
    for (const char* user : {"alice", "bob", "carol"})
        jobs << server.submitJob(queue, user, "Slides", sampleText(5));
    show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->JobList->topLevelItemCount() == 3; }, 30000));
    w->chkAutoQueue->setChecked(true);
    mnuresumealljobs(*w);
    EXPECT_TRUE(QueueSession::of(*w).ResumeAllInProgress());

    // The poll releases the next job only once the one before has left the queue.
    int mostReleasedAtOnce = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            int released = 0;
            const QList<SpoolerJob> left = other->queueJobs(queue);
            for (const SpoolerJob& job : left)
                released += job.StatusMask != 1;
            mostReleasedAtOnce = std::max(mostReleasedAtOnce, released);
            return left.isEmpty() && !QueueSession::of(*w).ResumeAllInProgress();
        },
        120000));
    EXPECT_LE(mostReleasedAtOnce, 1);
    // Printed through the queue's release queue.
    const QMap<int, int> finished = finishedJobStates(server.address(), queue);
    EXPECT_EQ(finished.keys(), jobs);
    EXPECT_EQ(finished.values(), QList<int>({9, 9, 9}));
}

TEST_F(OnServer, CommandsActOnEverySelectedJobInOnePass) {
    open("Selected");
    const QList<int> pages = {1, 2, 3, 1, 2};
    QList<int> jobs;
    for (int i = 0; i < pages.size(); ++i)
        jobs << server.submitJob(queue, "alice", QStringLiteral("Handout %1").arg(i),
                                 sampleText(pages[i] * 60 - 10));
    ASSERT_GT(*std::min_element(jobs.begin(), jobs.end()), 0);
    show();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (int i = 0; i < jobs.size(); ++i)
                if (!pagesShown(jobs[i], QString::number(pages[i])))
                    return false;
            return true;
        },
        60000));
    MenuPause(*w); // released jobs wait in the queue, to be looked at
    const QList<int> chosen = {jobs[0], jobs[2], jobs[4]};
    const QList<int> others = {jobs[1], jobs[3]};
    const auto statuses = [&](const QList<int>& ids) {
        QList<int> found;
        for (int id : ids)
            found << (onServer(id) ? onServer(id)->StatusMask : -1);
        return found;
    };
    const auto column = [&](const QList<int>& ids, const QString& name) {
        QStringList found;
        for (int id : ids)
            found << logRow(id, name).value(0).value(0);
        return found;
    };

    // One question for them all; priority and comment go to exactly the three.
    selectOnly(chosen);
    harness.prompter.inputs = {"70", "Collect by Friday"};
    onSelected(MenuPriority);
    EXPECT_EQ(harness.prompter.asked.last().text,
              "Please enter a new Priority for the 3 selected Print Jobs:");
    for (int id : chosen)
        EXPECT_EQ(onServer(id)->Priority, 70) << id;
    for (int id : others)
        EXPECT_NE(onServer(id)->Priority, 70) << id;
    EXPECT_EQ(
        w->jobGrid().rowOf(queue + ", " + QString::number(jobs[2]))->text(JobColumn::Priority),
        "70");
    EXPECT_EQ(audits("Change Priority"), 3);
    onSelected(mnuLogComment);
    EXPECT_EQ(
        column(jobs, "Comments"),
        QStringList({"Collect by Friday", kNull, "Collect by Friday", kNull, "Collect by Friday"}));
    EXPECT_EQ(column(chosen, "\"SWR User\""), QStringList(3, harness.environment.userName()));

    // Released in the grid's order: sorted by number, highest first, the last job
    // released is the lowest.
    JobList_ColumnClick(*w, JobColumn::ID);
    ASSERT_EQ(w->JobList->topLevelItem(0)->text(JobColumn::ID), QString::number(jobs[4]));
    onSelected(MenuResumeJob);
    EXPECT_EQ(statuses(chosen), QList<int>({0, 0, 0}));
    EXPECT_EQ(statuses(others), QList<int>({1, 1}));
    EXPECT_EQ(column(jobs, "\"Printed Pages\""), QStringList({"1", kNull, "3", kNull, "2"}));
    EXPECT_EQ(column(chosen, "Resumed IS NOT NULL"), QStringList(3, "1"));
    EXPECT_EQ(audits("Resume Job"), 3);
    EXPECT_EQ(counter("PrintedCounter"), "6");
    EXPECT_EQ(SessionPages::of(*w).SessionPrintedPages(), 6);
    EXPECT_EQ(QueueSession::of(*w).LastReleasedJob(), QString::number(jobs[0]));
    EXPECT_TRUE(w->panelText(1).startsWith("Resume Job ")) << w->panelText(1).toStdString();

    onSelected(MenuPauseJob);
    EXPECT_EQ(statuses(chosen), QList<int>({1, 1, 1}));
    EXPECT_EQ(audits("Pause Job"), 3);

    // One released (alone, as ever) and one held: the server refuses to release the
    // released one again, in its own words, and the held one goes.
    select(jobs[3]);
    MenuResumeJob(*w);
    EXPECT_EQ(counter("PrintedCounter"), "7");
    selectOnly(others);
    onSelected(MenuResumeJob);
    EXPECT_EQ(statuses(others), QList<int>({0, 0}));
    EXPECT_TRUE(w->panelText(1).startsWith(
        QStringLiteral("Resume Job: 1 of 2 jobs done; Job %1: ").arg(jobs[3])))
        << w->panelText(1).toStdString();
    EXPECT_EQ(counter("PrintedCounter"), "9");

    // "No" deletes nothing. A job cancelled behind the program's back is named, and
    // the others go, each marked deleted and counted.
    selectOnly(chosen);
    harness.prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    onSelected(MenuRemove);
    EXPECT_EQ(
        harness.prompter.asked.last(),
        (RecordingPrompter::Asked{"Warning", "Are you sure you want to delete the 3 selected jobs?",
                                  Prompter::Icon::Exclamation, Prompter::Buttons::YesNo}));
    EXPECT_EQ(statuses(chosen), QList<int>({1, 1, 1}));
    EXPECT_TRUE(w->Timer2->isActive());
    ASSERT_TRUE(runCupsTool("cancel", {"-h", server.address(), QString::number(jobs[2])}));
    onSelected(MenuRemove);
    EXPECT_EQ(statuses(chosen), QList<int>({-1, -1, -1}));
    EXPECT_EQ(statuses(others), QList<int>({0, 0}));
    EXPECT_EQ(w->panelText(1),
              QStringLiteral("Remove Job: 2 of 3 jobs done; Job %1 is no longer in the queue")
                  .arg(jobs[2]));
    EXPECT_EQ(column(chosen, "\"Deleted Pages\""), QStringList({"1", kNull, "2"}));
    EXPECT_EQ(column(chosen, "Resumed IS NULL"), QStringList({"1", "0", "1"}));
    EXPECT_EQ(audits("Remove Job"), 3);
    EXPECT_EQ(counter("DeletedCounter"), "3");
    EXPECT_EQ(w->jobGrid().rowOf(queue + ", " + QString::number(jobs[2])), nullptr);
    EXPECT_TRUE(w->Timer2->isActive());
}

TEST_F(OnServer, SelectedJobsReleasedUnderAutoQueuePrintThroughTheReleaseQueue) {
    open("SelectedHeld");
    QList<int> jobs;
    for (const char* user : {"alice", "bob", "carol"})
        jobs << server.submitJob(queue, user, "Worksheet", sampleText(5));
    show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->JobList->topLevelItemCount() == 3; }, 30000));
    w->chkAutoQueue->setChecked(true);
    selectOnly({jobs[0], jobs[2]});
    onSelected(MenuResumeJob);
    EXPECT_TRUE(w->panelText(1).startsWith("Resume Job ")) << w->panelText(1).toStdString();
    EXPECT_EQ(audits("Resume Job"), 2);
    // The queue stays paused and keeps the job not selected held; the others print.
    EXPECT_TRUE(queuePaused());
    ASSERT_TRUE(onServer(jobs[1]));
    EXPECT_EQ(onServer(jobs[1])->StatusMask, 1);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return finishedJobStates(server.address(), queue).keys() ==
                   QList<int>({jobs[0], jobs[2]});
        },
        60000));
    EXPECT_EQ(finishedJobStates(server.address(), queue).values(), QList<int>({9, 9}));
    EXPECT_EQ(onServer(jobs[1])->StatusMask, 1);
}
