#include "LogTestSupport.h"

#include "platform/DateText.h"

#include <QTest>

namespace {

class LogViewsTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        // "Today" in the views is the database's own clock; a test that began in the
        // last seconds of a day waits for the new day rather than straddle two.
        [[maybe_unused]] const bool away =
            QTest::qWaitFor([] { return QTime::currentTime() <= QTime(23, 59, 50); }, 60000);
        today_ = QDateTime::currentDateTime();
        log_ = makeLog();
        const QString now = DateText::format(today_);
        // Two days in March 2001, one in April, one today; "alice" twice in two cases,
        // one operator computer twice in two cases; a printing job without pages; a
        // row made by a comment alone, with no job fields and no submission time.
        const QStringList columns = {"Server",         "Queue",         "User",
                                     "Pages",          "Deleted Pages", "Printed Pages",
                                     "Time Submitted", "SWR User",      "SWR Computer"};
        const QList<QStringList> jobs = {
            {"1", "PRN1", "Q1", "alice", "3", "", "3", "2001-03-05 09:05:00", "ann", "pc1"},
            {"2", "PRN1", "Q1", "bob", "5", "5", "", "2001-03-05 17:00:00", "ann", "pc1"},
            {"3", "prn1", "q1", "ALICE", "2", "", "", "2001-03-20 08:00:00", "Ann", "PC1"},
            {"4", "PRN2", "Q9", "carl", "", "", "", "2001-04-01 00:00:00", "bob", "pc2"},
            {"5", "PRN2", "Q9", "carl", "10", "", "4", now, "bob", "pc2"},
            {"6", "", "", "", "", "", "", "", "bob", "pc2"},
        };
        for (const QStringList& job : jobs) {
            QList<LogField> fields{{"Name", job[0]}};
            for (int c = 0; c < columns.size(); ++c)
                fields.append({columns[c], job[c + 1]});
            log_->setLogFields(job[0] + "-" + (job[7].isEmpty() ? "commented" : job[7]), fields);
        }
        // The new log's own audit rows fall on 5 March 2001, by the fixed clock.
        log_->WriteAudit("Job", "Paused job 1");
        clock.time = today_;
        log_->WriteAudit("Job", "Paused job 5");
        log_->WriteAudit("Queue", "Paused queue Q9");
        log_->WriteAudit("Job", "Paused job 5");
    }

    QList<QStringList> view(const QString& name) {
        const ReadBack result = read("SELECT * FROM " + name);
        EXPECT_TRUE(result.ok) << name.toStdString();
        return result.rows;
    }

    QDateTime today_;
    std::unique_ptr<LogDatabase> log_;
};

} // namespace

TEST_F(LogViewsTest, TotalsPerPrinterUserOperatorDayAndMonthCountEmptyPagesAsNothing) {
    // Names that differ in case only are one printer, one user, one operator, as the
    // statistics count them.
    EXPECT_EQ(view("LogPrinterReport"), (QList<QStringList>{{kNull, kNull, "1", "0", "0", "0"},
                                                            {"PRN1", "Q1", "3", "10", "5", "3"},
                                                            {"PRN2", "Q9", "2", "10", "0", "4"}}));
    EXPECT_EQ(view("LogUserReport"), (QList<QStringList>{{kNull, "1", "0", "0", "0"},
                                                         {"ALICE", "2", "5", "0", "3"},
                                                         {"bob", "1", "5", "5", "0"},
                                                         {"carl", "2", "10", "0", "4"}}));
    EXPECT_EQ(view("LogSpoolwrightsReport"),
              (QList<QStringList>{{"PC1", "Ann", "3", "10", "5", "3"},
                                  {"pc2", "bob", "3", "10", "0", "4"}}));

    // Days and months come from the submission time text.
    const QDate date = today_.date();
    const QString year = QString::number(date.year());
    const QString month = QString::number(date.month());
    EXPECT_EQ(
        view("LogDailyJobsReport"),
        (QList<QStringList>{{kNull, kNull, kNull, "1", "0", "0", "0"},
                            {"2001", "3", "5", "2", "8", "5", "3"},
                            {"2001", "3", "20", "1", "2", "0", "0"},
                            {"2001", "4", "1", "1", "0", "0", "0"},
                            {year, month, QString::number(date.day()), "1", "10", "0", "4"}}));
    EXPECT_EQ(view("LogMonthlyJobsReport"),
              (QList<QStringList>{{kNull, kNull, "1", "0", "0", "0"},
                                  {"2001", "3", "3", "10", "5", "3"},
                                  {"2001", "4", "1", "0", "0", "0"},
                                  {year, month, "1", "10", "0", "4"}}));
}

TEST_F(LogViewsTest, TodaysJobsAndAuditRowsAreThoseOfTheCurrentDateAndActionsAreCounted) {
    const QString now = DateText::format(today_);
    const QList<QStringList> jobs = view("LogTodayReport");
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0], (QStringList{now, "PRN2", "Q9", kNull, kNull, "carl", "5", kNull, "10",
                                    kNull, kNull, kNull, kNull, "4", "bob", "pc2", kNull}));

    EXPECT_EQ(view("LogAuditTodayReport"),
              (QList<QStringList>{{now, "testhost", "tester", "Job", "Paused job 5"},
                                  {now, "testhost", "tester", "Queue", "Paused queue Q9"},
                                  {now, "testhost", "tester", "Job", "Paused job 5"}}));
    // Audit actions are counted per distinct action, whatever the day.
    EXPECT_EQ(
        view("LogAuditActionsReport"),
        (QList<QStringList>{{"Job", "Paused job 1", "tester", "testhost", "1"},
                            {"Job", "Paused job 5", "tester", "testhost", "2"},
                            {"Log", "New log file created.", "tester", "testhost", "1"},
                            {"Queue", "Current Queue printhost-Office", "tester", "testhost", "1"},
                            {"Queue", "Paused queue Q9", "tester", "testhost", "1"}}));
}
