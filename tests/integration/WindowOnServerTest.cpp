#include "form/JobGrid.h"
#include "platform/DateText.h"
#include "platform/JobText.h"
#include "session/JobMonitor.h"
#include "session/JobRetrieval.h"
#include "session/ServerConnection.h"
#include "support/LogRows.h"
#include "support/LoopbackPeers.h"
#include "support/MainWindowHarness.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"
#include "support/WidgetTexts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// How many job monitors this test started are still running; those of another
// copy of the program the user runs meanwhile are none of its business.
int monitorProcesses() {
    QProcess pgrep;
    pgrep.start("pgrep", {"-c", "-P", QString::number(QCoreApplication::applicationPid()), "-x",
                          "SWRJobMonitor"});
    pgrep.waitForFinished(30000);
    return QString::fromLatin1(pgrep.readAllStandardOutput()).trimmed().toInt();
}

} // namespace

TEST(WindowOnServer, JobsThereAtStartOrSubmittedWhileWatchingAreShownAndLoggedOnce) {
    TestPrintServer server;
    const QString queue = server.newQueue("Window");
    ASSERT_FALSE(queue.isEmpty());
    const int first = server.submitJob(queue, "alice", "Budget, final", sampleText(150));
    const int second = server.submitJob(queue, "bob", "Notes", sampleText(10));
    ASSERT_GT(std::min({first, second}), 0);

    MainWindowHarness harness;
    harness.useRealServers = true;
    harness.monitorProgram = JobMonitorProgram();
    ASSERT_TRUE(QFileInfo::exists(harness.monitorProgram));
    FrmMain& w =
        harness.show(QStringLiteral("Server=%1\r\nQueue=%2").arg(server.address(), queue).toUtf8());
    ASSERT_EQ(w.CurrentPrintQueue->currentText(), queue);
    // Give the monitor its baseline before a job arrives, so that the job is new to it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.PanelText(1).startsWith("Server "); }, 15000))
        << w.PanelText(1).toStdString();

    EXPECT_EQ(GridColumn(w.JobList, JobColumn::ID),
              QStringList({QString::number(first), QString::number(second)}));
    const QTreeWidgetItem* row = w.JobList->topLevelItem(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(JobColumn::Status), "Paused");
    EXPECT_EQ(row->text(JobColumn::Description), "Budget, final");
    EXPECT_EQ(row->text(JobColumn::User), "alice");
    // Pages are counted off the window's thread and come a moment later.
    EXPECT_TRUE(QTest::qWaitFor([row] { return row->text(JobColumn::Pages) == "3"; }, 60000));
    EXPECT_TRUE(DateText::parse(row->text(JobColumn::Submitted)).isValid());
    EXPECT_EQ(GridColumn(w.SearchList, SearchColumn::Printer).count(queue), 2);

    const auto logged = [&](int id) {
        return LogRows(w.Log(), QStringLiteral("SELECT Description, User, Pages FROM SWR_Log WHERE "
                                               "Queue = '%1' AND Name = '%2'")
                                    .arg(queue)
                                    .arg(id));
    };
    EXPECT_EQ(logged(first), QList<QStringList>({{"Budget, final", "alice", "3"}}));
    cmdRefreshJobs_Click(w);
    EXPECT_EQ(logged(first).size(), 1);
    EXPECT_EQ(logged(second).size(), 1);

    // A job submitted now comes through the monitor, and goes when it is cancelled.
    const int later = server.submitJob(queue, "erin", "Arrived later", "one page\n");
    ASSERT_GT(later, 0);
    const QString name = queue + QStringLiteral(", ") + QString::number(later);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return GridColumn(w.JobList, JobColumn::Name).contains(name); }, 15000));
    EXPECT_TRUE(GridColumn(w.SearchList, SearchColumn::Name).contains(name));
    // Its pages are counted a moment later, and logged then.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return logged(later) == QList<QStringList>({{"Arrived later", "erin", "1"}});
        },
        30000));
    ASSERT_TRUE(RunTool("cancel", {"-h", server.address(), QString::number(later)}));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !GridColumn(w.JobList, JobColumn::Name).contains(name); }, 15000));
    EXPECT_FALSE(GridColumn(w.SearchList, SearchColumn::Name).contains(name));

    w.close();
    EXPECT_TRUE(QTest::qWaitFor([] { return monitorProcesses() == 0; }, 30000));
}

TEST(WindowOnServer, ASilentServerLeavesTheQueueBoxEmptyAndTheWindowFree) {
    SilentLoopbackServer silent;
    MainWindowHarness harness;
    harness.useRealServers = true;
    FrmMain& w = harness.show();
    w.CurrentPrinter->setEditText(QStringLiteral("127.0.0.1:%1").arg(silent.port()));
    FindPrintQueues_Click(w);
    // The jobs and the queue list are two requests, but the server is waited for
    // once: a second wait would have begun on a connection of its own.
    EXPECT_EQ(silent.connectionsSoFar(), 1);
    EXPECT_EQ(w.CurrentPrintQueue->count(), 0);
    EXPECT_TRUE(w.PanelText(1).startsWith("No Queues Found "));
    EXPECT_EQ(w.SearchList->topLevelItemCount(), 0);
}
