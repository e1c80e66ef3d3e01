#include "form/JobGrid.h"
#include "platform/CupsSpooler.h"
#include "platform/GuardedSpooler.h"
#include "platform/JobText.h"
#include "session/JobPages.h"
#include "session/JobRetrieval.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/TestPrintServer.h"

#include <QThreadPool>
#include <QTreeWidget>
#include <future>
#include <gtest/gtest.h>

namespace {

// Plain text whose pages end at form feeds.
QByteArray textPages(int pages) {
    return QByteArray("Quarterly figures\f").repeated(pages - 1) + "Quarterly figures\n";
}

// A window on the test server's queue, its log in `logFolder`.
FrmMain& windowOn(MainWindowHarness& harness, const TestPrintServer& server, const QString& queue,
                  const QString& logFolder) {
    harness.useRealServers = true;
    harness.writeAppDataFile(
        QStringLiteral("swr.ini"),
        QStringLiteral("[Spoolwright]\r\nServer=%1\r\nQueue=%2\r\nLogPath=%3\r\n")
            .arg(server.address(), queue, logFolder)
            .toUtf8());
    return harness.create();
}

QString jobName(const QString& queue, int id) {
    return queue + QStringLiteral(", ") + QString::number(id);
}

// The Pages cell of the job's row in a grid; "no row" when it has none.
QString pagesCell(const JobGrid& grid, const QString& name, int column) {
    const QTreeWidgetItem* row = grid.rowOf(name);
    return row ? row->text(column) : QStringLiteral("no row");
}

// The Pages the log holds for the job the server-wide grid shows by this name.
QList<QStringList> loggedPages(FrmMain& w, const QString& name) {
    const SpoolerJob* job = w.searchGrid().job(name);
    if (!job)
        return {};
    return logRows(w.log(), QStringLiteral("SELECT Pages FROM SWR_Log WHERE TransactionID = '%1'")
                                .arg(TransactionID(*job)));
}

CupsSpooler* cupsSpooler(FrmMain& w, const TestPrintServer& server) {
    return dynamic_cast<CupsSpooler*>(&w.spoolerFor(server.address())->inner());
}

bool countingDone(FrmMain& w) {
    return QTest::qWaitFor([&w] { return PageCounter::of(w).worker().activeThreadCount() == 0; },
                           60000);
}

} // namespace

TEST(PageCounting, AJobShowsAtOnceAndGetsItsPagesLaterInBothGridsAndTheLog) {
    TestPrintServer server;
    const QString queue = TestPrintServer::uniqueQueueName(QStringLiteral("Pages"));
    ASSERT_TRUE(server.addQueue(queue));
    const int counted =
        server.submitJob(queue, QStringLiteral("alice"), QStringLiteral("Report"), textPages(3));
    const int declared = server.submitJobDeclaringPages(queue, QStringLiteral("bob"),
                                                        QStringLiteral("Flyer"), textPages(1), 2);
    ASSERT_GT(counted, 0);
    ASSERT_GT(declared, 0);
    const QString countedName = jobName(queue, counted);

    QTemporaryDir logs;
    MainWindowHarness harness;
    FrmMain& w = windowOn(harness, server, queue, logs.path());
    CupsSpooler* cups = cupsSpooler(w, server);
    ASSERT_NE(cups, nullptr);
    // While the test holds the counting's worker no page can be counted: the window
    // shows and logs its jobs all the same, the counted one without Pages for now.
    std::promise<void> counting;
    PageCounter::of(w).worker().start([held = counting.get_future().share()] { held.wait(); });
    loadWindow(w);
    EXPECT_EQ(pagesCell(w.searchGrid(), countedName, SearchColumn::Pages), QString());
    EXPECT_EQ(pagesCell(w.jobGrid(), countedName, JobColumn::Pages), QString());
    EXPECT_EQ(loggedPages(w, countedName), QList<QStringList>({{kNull}}));
    EXPECT_EQ(pagesCell(w.searchGrid(), jobName(queue, declared), SearchColumn::Pages),
              QStringLiteral("2"));
    EXPECT_EQ(cups->documentsRead(), 0);
    counting.set_value();

    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return pagesCell(w.searchGrid(), countedName, SearchColumn::Pages) ==
                   QLatin1String("3");
        },
        60000));
    EXPECT_EQ(pagesCell(w.jobGrid(), countedName, JobColumn::Pages), QStringLiteral("3"));
    EXPECT_EQ(loggedPages(w, countedName), QList<QStringList>({{QStringLiteral("3")}}));

    // Pages the submitter declared need no document; a later pass keeps the count
    // and fetches nothing again.
    cmdRefreshJobs_Click(w);
    ASSERT_TRUE(waitForAnswers(w));
    ASSERT_TRUE(countingDone(w));
    EXPECT_EQ(pagesCell(w.jobGrid(), countedName, JobColumn::Pages), QStringLiteral("3"));
    EXPECT_EQ(cups->documentsRead(), 1);
}

TEST(PageCounting, AJobWhosePagesTheLogHoldsIsNeverFetchedAgain) {
    TestPrintServer server;
    const QString queue = TestPrintServer::uniqueQueueName(QStringLiteral("Logged"));
    ASSERT_TRUE(server.addQueue(queue));
    const int first =
        server.submitJob(queue, QStringLiteral("alice"), QStringLiteral("Budget"), textPages(3));
    ASSERT_GT(first, 0);
    QTemporaryDir logs;
    {
        MainWindowHarness harness;
        FrmMain& w = windowOn(harness, server, queue, logs.path());
        showFrmMain(w);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return loggedPages(w, jobName(queue, first)) ==
                       QList<QStringList>({{QStringLiteral("3")}});
            },
            60000));
    }

    const int second =
        server.submitJob(queue, QStringLiteral("carol"), QStringLiteral("Minutes"), textPages(2));
    ASSERT_GT(second, 0);
    MainWindowHarness harness;
    FrmMain& w = windowOn(harness, server, queue, logs.path());
    showFrmMain(w);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return pagesCell(w.jobGrid(), jobName(queue, first), JobColumn::Pages) ==
                       QLatin1String("3") &&
                   pagesCell(w.jobGrid(), jobName(queue, second), JobColumn::Pages) ==
                       QLatin1String("2");
        },
        60000));
    ASSERT_TRUE(countingDone(w));
    // Only the job the log had no Pages for was fetched.
    EXPECT_EQ(cupsSpooler(w, server)->documentsRead(), 1);
    EXPECT_EQ(loggedPages(w, jobName(queue, second)), QList<QStringList>({{QStringLiteral("2")}}));
}
