#include "form/JobGrid.h"
#include "platform/JobText.h"
#include "session/JobMonitor.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/TestPrintServer.h"
#include "support/WidgetTexts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
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

TEST(LiveJobs, AJobSubmittedWhileWatchingIsShownLoggedAndRemovedWhenCancelled) {
    TestPrintServer server;
    const QString queue = server.newQueue("Live");
    ASSERT_FALSE(queue.isEmpty());

    MainWindowHarness harness;
    harness.useRealServers = true;
    harness.monitorProgram = JobMonitorProgram();
    ASSERT_TRUE(QFileInfo::exists(harness.monitorProgram));
    FrmMain& w =
        harness.show(QStringLiteral("Server=%1\r\nQueue=%2").arg(server.address(), queue).toUtf8());
    ASSERT_EQ(w.CurrentPrintQueue->currentText(), queue);
    ASSERT_EQ(w.JobList->topLevelItemCount(), 0);
    // Give the monitor its baseline before the job arrives, so the job is new to it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.PanelText(1).startsWith("Server "); }, 15000))
        << w.PanelText(1).toStdString();

    const int id = server.submitJob(queue, "erin", "Arrived later", QByteArray("one page\n"));
    ASSERT_GT(id, 0);
    const QString name = queue + QStringLiteral(", ") + QString::number(id);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return GridColumn(w.JobList, JobColumn::Name).contains(name); }, 15000));
    EXPECT_TRUE(GridColumn(w.SearchList, SearchColumn::Name).contains(name));
    const QTreeWidgetItem* row =
        w.JobList->topLevelItemCount() ? w.JobList->topLevelItem(0) : nullptr;
    ASSERT_NE(row, nullptr);
    const QString key = TransactionID(row->text(JobColumn::ID), row->text(JobColumn::Submitted));
    EXPECT_EQ(LogRows(w.Log(), QStringLiteral("SELECT Description, User FROM SWR_Log WHERE "
                                              "TransactionID = '%1'")
                                   .arg(key)),
              QList<QStringList>({{"Arrived later", "erin"}}));

    ASSERT_TRUE(RunTool("cancel", {"-h", server.address(), QString::number(id)}));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !GridColumn(w.JobList, JobColumn::Name).contains(name); }, 15000));
    EXPECT_FALSE(GridColumn(w.SearchList, SearchColumn::Name).contains(name));

    w.close();
    EXPECT_TRUE(QTest::qWaitFor([] { return monitorProcesses() == 0; }, 30000));
}
