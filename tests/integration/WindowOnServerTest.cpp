#include "form/JobGrid.h"
#include "platform/DateText.h"
#include "platform/JobText.h"
#include "session/JobRetrieval.h"
#include "session/ServerConnection.h"
#include "support/LogRows.h"
#include "support/LoopbackPeers.h"
#include "support/MainWindowHarness.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"
#include "support/WidgetTexts.h"

#include <gtest/gtest.h>

TEST(WindowOnServer, SubmittedJobsAppearInBothGridsAndAreLoggedOnce) {
    TestPrintServer server;
    const QString queue = server.newQueue("Window");
    ASSERT_FALSE(queue.isEmpty());
    const int first = server.submitJob(queue, "alice", "Budget, final", sampleText(150));
    const int second = server.submitJob(queue, "bob", "Notes", sampleText(10));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);

    MainWindowHarness harness;
    harness.useRealServers = true;
    FrmMain& w =
        harness.show(QStringLiteral("Server=%1\r\nQueue=%2").arg(server.address(), queue).toUtf8());

    ASSERT_EQ(w.CurrentPrintQueue->currentText(), queue);
    EXPECT_EQ(GridColumn(w.JobList, JobColumn::ID),
              QStringList({QString::number(first), QString::number(second)}));
    const QTreeWidgetItem* row = w.JobList->topLevelItem(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(JobColumn::Status), "Paused");
    EXPECT_EQ(row->text(JobColumn::Description), "Budget, final");
    EXPECT_EQ(row->text(JobColumn::User), "alice");
    EXPECT_FALSE(row->text(JobColumn::Computer).isEmpty());
    EXPECT_EQ(row->text(JobColumn::Pages), "3");
    // The server reports whole kilobytes, rounded up.
    EXPECT_EQ(row->text(JobColumn::Size),
              QString::number((sampleText(150).size() + 1023) / 1024) + QStringLiteral("KB"));
    EXPECT_EQ(row->text(JobColumn::Name), queue + QStringLiteral(", ") + QString::number(first));
    EXPECT_TRUE(DateText::parse(row->text(JobColumn::Submitted)).isValid());
    EXPECT_EQ(GridColumn(w.SearchList, SearchColumn::Printer).count(queue), 2);

    const QString key = TransactionID(row->text(JobColumn::ID), row->text(JobColumn::Submitted));
    const QString sql = QStringLiteral("SELECT Description, Pages, Queue FROM SWR_Log WHERE "
                                       "TransactionID = '%1'")
                            .arg(key);
    EXPECT_EQ(LogRows(w.Log(), sql), QList<QStringList>({{"Budget, final", "3", queue}}));

    cmdRefreshJobs_Click(w);
    EXPECT_EQ(LogRows(w.Log(), sql).size(), 1);
    EXPECT_EQ(
        LogRows(w.Log(), QStringLiteral("SELECT * FROM SWR_Log WHERE Queue = '%1'").arg(queue))
            .size(),
        2);
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
