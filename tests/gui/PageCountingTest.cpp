#include "form/JobGrid.h"
#include "platform/CupsSpooler.h"
#include "support/MainWindowHarness.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// Server alpha with queue Laser, whose job 7 is listed without its pages.
FakeSpooler& serverWithUncountedJob(MainWindowHarness& harness) {
    harness.writeAppDataFile(QStringLiteral("swr.ini"),
                             "[Spoolwright]\r\nServer=alpha\r\nQueue=Laser\r\n");
    FakeSpooler& fake = harness.fake(QStringLiteral("alpha"));
    fake.addQueue({QStringLiteral("Laser"), {}, {}, {}, {}, 0});
    fake.addJob(QStringLiteral("Laser"), 7, QStringLiteral("Scan"), QStringLiteral("ann"))
        .TotalPages = kPagesNotCounted;
    return fake;
}

} // namespace

TEST(PageCountingWindow, PagesThatCannotBeCountedStayEmptyAndTheRowSaysWhy) {
    MainWindowHarness harness;
    FakeSpooler& fake = serverWithUncountedJob(harness);
    fake.addJob(QStringLiteral("Laser"), 8, QStringLiteral("Memo"), QStringLiteral("bob"))
        .TotalPages = 4;
    FrmMain& w = harness.create();
    ASSERT_TRUE(loadWindow(w));

    // The fake server gives no documents.
    const QTreeWidgetItem* scan = w.jobGrid().rowOf(QStringLiteral("Laser, 7"));
    ASSERT_NE(scan, nullptr);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return scan->toolTip(JobColumn::Pages) ==
                   QLatin1String("Pages not counted: the server did not give the document");
        },
        30000));
    EXPECT_EQ(scan->text(JobColumn::Pages), QString());
    const QTreeWidgetItem* memo = w.jobGrid().rowOf(QStringLiteral("Laser, 8"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->text(JobColumn::Pages), QStringLiteral("4"));
    EXPECT_EQ(memo->toolTip(JobColumn::Pages), QString());
}

TEST(PageCountingWindow, PagesTheServerDidNotGiveInTimeAreAskedForAgain) {
    MainWindowHarness harness;
    FakeSpooler& fake = serverWithUncountedJob(harness);
    fake.pageCounts = {{JobPageCount::Outcome::NotYet, kPagesNotCounted},
                       {JobPageCount::Outcome::Counted, 6}};
    FrmMain& w = harness.create();
    ASSERT_TRUE(loadWindow(w));
    const QTreeWidgetItem* scan = w.jobGrid().rowOf(QStringLiteral("Laser, 7"));
    ASSERT_NE(scan, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return scan->text(JobColumn::Pages) == "6"; }, 30000));
    EXPECT_EQ(fake.calls.value("countPages"), 2);
    EXPECT_EQ(scan->toolTip(JobColumn::Pages), QString());
}

TEST(PageCountingWindow, ADocumentOverTheBudgetIsNeverFetched) {
    // No server listens here: a request would fail, not count as too large.
    CupsSpooler spooler(QStringLiteral("127.0.0.1:1"), SpoolerTimeouts{200, 200});
    SpoolerJob job;
    job.JobId = 12;
    job.TimeSubmitted = QDateTime::fromSecsSinceEpoch(1765000000);
    job.Size = kMostCountedBytes + 1024;
    EXPECT_EQ(spooler.countPages(job).outcome, JobPageCount::Outcome::TooLarge);
    EXPECT_EQ(spooler.documentsRead(), 0);
    // Within the budget it is asked for; a server that does not answer is asked again.
    job.Size = kMostCountedBytes;
    job.JobId = 13;
    EXPECT_EQ(spooler.countPages(job).outcome, JobPageCount::Outcome::NotYet);
    EXPECT_EQ(spooler.documentsRead(), 1);
    EXPECT_EQ(spooler.countPages(job).outcome, JobPageCount::Outcome::NotYet);
    EXPECT_EQ(spooler.documentsRead(), 2);
}
