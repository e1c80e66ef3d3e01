#include "log/LogStatistics.h"
#include "unit/LogTestSupport.h"

namespace {

class LogStatisticsTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        log = makeLog();
    }
    // A job row with these columns, keyed by the order it was added in.
    void addJob(const QList<LogField>& fields) {
        log->setLogFields(QStringLiteral("job-%1").arg(++added), fields);
    }
    std::unique_ptr<LogDatabase> log;
    int added = 0;
};

} // namespace

TEST_F(LogStatisticsTest, AnEmptyOrMissingLogGivesZerosAndTheTimeOfTheComputation) {
    ASSERT_TRUE(log->OpenLogDatabase());
    LogStatistics s = ComputeLogStatistics(*log, clock.time);
    EXPECT_EQ(s.jobs, 0);
    EXPECT_EQ(s.pages + s.deletedPages + s.printedPages + s.servers + s.queues + s.users, 0);
    EXPECT_EQ(s.saving, 0.0);
    EXPECT_EQ(s.firstDate, clock.time);
    EXPECT_EQ(s.lastDate, clock.time);

    context.logPath = inFolder("no-such-folder");
    s = ComputeLogStatistics(*log, clock.time);
    EXPECT_EQ(s.jobs, 0);
    EXPECT_EQ(s.firstDate, clock.time);
}

TEST_F(LogStatisticsTest, PagesCountByTheirRulesAndNamesAsWholeValuesWithoutRegardToCase) {
    // Released: its printed pages count.
    addJob({{"Server", "PRN10"},
            {"Queue", "Laser"},
            {"User", "ann"},
            {"Pages", "10"},
            {"Printed Pages", "10"},
            {"Time Submitted", "2001-03-01 10:00:00"}});
    // Released and deleted after: deleted only, even with printed pages left behind.
    addJob({{"Server", "PRN1"},
            {"Queue", "laser"},
            {"User", "ANN"},
            {"Pages", "4"},
            {"Deleted Pages", "4"},
            {"Printed Pages", "4"},
            {"Time Submitted", "2000-12-31 23:59:59"}});
    // Page cells count by their leading number; empty ones add nothing.
    addJob({{"Server", "prn10"},
            {"Queue", "Ink"},
            {"User", "bob"},
            {"Pages", ""},
            {"Printed Pages", "7 pages"},
            {"Time Submitted", "not a date"}});
    addJob({{"Server", ""}, {"Pages", "3x"}, {"Deleted Pages", "abc"}});

    LogStatistics s = ComputeLogStatistics(*log, clock.time);
    EXPECT_EQ(s.jobs, 4);
    EXPECT_EQ(s.pages, 17);
    EXPECT_EQ(s.deletedPages, 4);
    EXPECT_EQ(s.printedPages, 17);
    EXPECT_EQ(s.servers, 2); // PRN10 and PRN1, met after PRN10, apart; prn10 the same
    EXPECT_EQ(s.queues, 2);
    EXPECT_EQ(s.users, 2);
    EXPECT_DOUBLE_EQ(s.saving, 100.0 * 4 / 21);
    EXPECT_EQ(s.firstDate, QDateTime(QDate(2000, 12, 31), QTime(0, 0)));
    EXPECT_EQ(s.lastDate, clock.time); // every row lies in the past

    addJob({{"Time Submitted", "2001-04-02 08:00:00"}});
    s = ComputeLogStatistics(*log, clock.time);
    EXPECT_EQ(s.lastDate, QDateTime(QDate(2001, 4, 2), QTime(0, 0)));

    const PaperSaving paper = paperSavingOf(16666);
    EXPECT_DOUBLE_EQ(paper.trees, 2.0);
    EXPECT_NEAR(paper.kgCo2, 211.6582, 1e-9);
}

TEST_F(LogStatisticsTest, JobsPastTheOld16BitLimitAreCounted) {
    QList<LogRow> rows;
    for (int i = 0; i < 40000; ++i)
        rows.append({QStringLiteral("%1-2001-03-01 10:00:00").arg(i),
                     {{"Server", QStringLiteral("srv%1").arg(i % 3)}, {"Deleted Pages", "1"}}});
    log->setLogFieldsOfRows(rows);
    const LogStatistics s = ComputeLogStatistics(*log, clock.time);
    EXPECT_EQ(s.jobs, 40000);
    EXPECT_EQ(s.deletedPages, 40000);
    EXPECT_EQ(s.servers, 3);
    EXPECT_DOUBLE_EQ(s.saving, 100.0);
}

TEST_F(LogStatisticsTest, PagesPerDayCountReleasesAndDeletionsOnTheirOwnDays) {
    const QDate today = clock.time.date(); // 2001-03-05
    addJob({{"Printed Pages", "5"}, {"Resumed", "2001-03-05 08:00:00"}});
    addJob({{"Printed Pages", "2"}, {"Resumed", "2001-03-04 08:00:00"}});
    // Released on the 3rd, deleted on the 4th: deleted only.
    addJob({{"Printed Pages", ""},
            {"Deleted Pages", "3"},
            {"Resumed", ""},
            {"Deleted", "2001-03-04 09:00:00"}});
    // No time of the action: the day it was submitted.
    addJob({{"Deleted Pages", "1"}, {"Time Submitted", "2001-03-05 07:00:00"}});
    // Outside the days asked for.
    addJob({{"Printed Pages", "9"}, {"Resumed", "2001-03-02 23:59:59"}});
    addJob({{"Printed Pages", "9"}, {"Resumed", "2001-03-06 00:00:00"}});

    const QList<DayPages> days = pagesPerDay(*log, today, 3);
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(days[0].day, QDate(2001, 3, 3));
    EXPECT_EQ(days[0].printed + days[0].deleted, 0);
    EXPECT_EQ(days[1].printed, 2);
    EXPECT_EQ(days[1].deleted, 3);
    EXPECT_EQ(days[2].day, today);
    EXPECT_EQ(days[2].printed, 5);
    EXPECT_EQ(days[2].deleted, 1);
}
