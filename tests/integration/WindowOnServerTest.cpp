#include "form/JobGrid.h"
#include "form/ShapeColour.h"
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
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
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
    harness.monitorProgram = jobMonitorProgram();
    ASSERT_TRUE(QFileInfo::exists(harness.monitorProgram));
    FrmMain& w =
        harness.show(QStringLiteral("Server=%1\r\nQueue=%2").arg(server.address(), queue).toUtf8());
    ASSERT_EQ(w.CurrentPrintQueue->currentText(), queue);
    // Give the monitor its baseline before a job arrives, so that the job is new to it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.panelText(1).startsWith("Server "); }, 15000))
        << w.panelText(1).toStdString();

    EXPECT_EQ(gridColumn(w.JobList, JobColumn::ID),
              QStringList({QString::number(first), QString::number(second)}));
    const QTreeWidgetItem* row = w.JobList->topLevelItem(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(JobColumn::Status), "Paused");
    EXPECT_EQ(row->text(JobColumn::Description), "Budget, final");
    EXPECT_EQ(row->text(JobColumn::User), "alice");
    // Pages are counted off the window's thread and come a moment later.
    EXPECT_TRUE(QTest::qWaitFor([row] { return row->text(JobColumn::Pages) == "3"; }, 60000));
    EXPECT_TRUE(DateText::parse(row->text(JobColumn::Submitted)).isValid());
    EXPECT_EQ(gridColumn(w.SearchList, SearchColumn::Printer).count(queue), 2);

    const auto logged = [&](int id) {
        return logRows(w.log(), QStringLiteral("SELECT Description, User, Pages FROM SWR_Log WHERE "
                                               "Queue = '%1' AND Name = '%2'")
                                    .arg(queue)
                                    .arg(id));
    };
    EXPECT_EQ(logged(first), QList<QStringList>({{"Budget, final", "alice", "3"}}));
    cmdRefreshJobs_Click(w);
    ASSERT_TRUE(waitForAnswers(w));
    EXPECT_EQ(logged(first).size(), 1);
    EXPECT_EQ(logged(second).size(), 1);

    // A job submitted now comes through the monitor, and goes when it is cancelled.
    const int later = server.submitJob(queue, "erin", "Arrived later", "one page\n");
    ASSERT_GT(later, 0);
    const QString name = queue + QStringLiteral(", ") + QString::number(later);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return gridColumn(w.JobList, JobColumn::Name).contains(name); }, 15000));
    EXPECT_TRUE(gridColumn(w.SearchList, SearchColumn::Name).contains(name));
    // Its pages are counted a moment later, and logged then.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return logged(later) == QList<QStringList>({{"Arrived later", "erin", "1"}});
        },
        30000));
    ASSERT_TRUE(runCupsTool("cancel", {"-h", server.address(), QString::number(later)}));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !gridColumn(w.JobList, JobColumn::Name).contains(name); }, 15000));
    EXPECT_FALSE(gridColumn(w.SearchList, SearchColumn::Name).contains(name));

    w.close();
    EXPECT_TRUE(QTest::qWaitFor([] { return monitorProcesses() == 0; }, 30000));
}

TEST(WindowOnServer, SilentServersLeaveTheQueueBoxEmptyAndTheWindowAnsweringMeanwhile) {
    // Start-up, Enter in the server box, the search button and the reload button,
    // each on a server of its own that takes the connection and never answers.
    SilentLoopbackServer atStart, onEnter, onSearch, onReload;
    const auto address = [](SilentLoopbackServer& silent) {
        return QStringLiteral("127.0.0.1:%1").arg(silent.port());
    };
    MainWindowHarness harness;
    harness.useRealServers = true;
    harness.writeAppDataFile("swr.ini",
                             "[Spoolwright]\r\nAudit=True\r\nServer=" + address(atStart).toUtf8());
    FrmMain& w = harness.create();
    // While the server is waited for, an event posted to the window is handled, and
    // the same action again sends nothing; then the answer is shown.
    const auto whileWaiting = [&w](SilentLoopbackServer& silent,
                                   const std::function<void()>& again) {
        bool handled = false;
        QTimer::singleShot(0, &w, [&handled] { handled = true; });
        EXPECT_TRUE(QTest::qWaitFor([&handled] { return handled; }, 3000));
        EXPECT_EQ(AwaitedAnswers::count(w), 1) << "the server has not answered yet";
        EXPECT_EQ(w.panelText(1), "Finding Jobs");
        again();
        EXPECT_TRUE(waitForAnswers(w));
        // The jobs and the queue list are two requests, but the server is waited
        // for once: a second wait would have begun on a connection of its own.
        EXPECT_EQ(silent.connectionsSoFar(), 1);
        EXPECT_EQ(w.CurrentPrintQueue->count(), 0);
        EXPECT_EQ(w.SearchList->topLevelItemCount(), 0);
        EXPECT_EQ(ShapeColour::of(w.SearchProgress), ShapeColour::red);
    };
    const auto searches = [&w](SilentLoopbackServer& silent) {
        return logRows(w.log(), "SELECT * FROM SWR_Audit WHERE Description = 'Search for queues "
                                "on 127.0.0.1:" +
                                    QString::number(silent.port()) + "'")
            .size();
    };

    showFrmMain(w);
    whileWaiting(atStart, [&w] { CurrentPrinter_KeyDown(w, 13, 0); });
    EXPECT_TRUE(w.panelText(1).startsWith("No Queues Found "));
    EXPECT_TRUE(harness.splash().lblStatus->text().endsWith("Done."));
    EXPECT_EQ(searches(atStart), 1);

    w.CurrentPrinter->setEditText(address(onEnter));
    CurrentPrinter_KeyDown(w, 13, 0);
    whileWaiting(onEnter, [&w] { CurrentPrinter_KeyDown(w, 13, 0); });
    EXPECT_EQ(searches(onEnter), 1);

    w.CurrentPrinter->setEditText(address(onSearch));
    w.FindPrintQueues->click();
    whileWaiting(onSearch, [&w] { w.FindPrintQueues->click(); });
    EXPECT_EQ(searches(onSearch), 1);

    // The reload reads the server the poll connected last.
    ConnectWmi(w, address(onReload));
    w.cmdRefreshJobs->click();
    whileWaiting(onReload, [&w] { w.cmdRefreshJobs->click(); });
    EXPECT_TRUE(w.SearchStatus->text().startsWith("Retrieved Jobs ("));
    EXPECT_TRUE(harness.prompter.asked.isEmpty());
}
