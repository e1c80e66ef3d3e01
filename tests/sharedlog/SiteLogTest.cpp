#include "control/JobActions.h"
#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "log/LogStatistics.h"
#include "session/JobMonitor.h"
#include "support/MainWindowHarness.h"
#include "support/PostgresServer.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"

#include <QComboBox>
#include <QLabel>
#include <QMap>
#include <QSet>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kJobs = 300;
constexpr int kStations = 3;

// One release station of the site: a window with a computer, an operator and a
// settings folder of its own, on the shared queue and the shared log, audit on.
struct Station {
    Station(int number, const QString& server, const QString& queue, const QString& logUri)
        : user(QStringLiteral("operator%1").arg(number)),
          computer(QStringLiteral("desk-%1").arg(number)) {
        harness.environment.overrides = {
            {"APPDATA", harness.appDataPath()}, {"USERNAME", user}, {"COMPUTERNAME", computer}};
        harness.useRealServers = true;
        harness.monitorProgram = jobMonitorProgram();
        w = &harness.show(QStringLiteral("Server=%1\r\nQueue=%2\r\nAudit=True\r\nLogPath=%3")
                              .arg(server, queue, logUri)
                              .toUtf8());
    }

    QString user;
    QString computer;
    MainWindowHarness harness;
    FrmMain* w = nullptr;
};

// What happens to the job submitted i-th: every tenth is released, every tenth
// deleted and every tenth commented, by the stations in turn; the rest wait.
enum class Act { None, Release, Delete, Comment };
Act actOn(int i) {
    switch (i % 10) {
    case 2:
        return Act::Release;
    case 5:
        return Act::Delete;
    case 8:
        return Act::Comment;
    default:
        return Act::None;
    }
}
int actorOf(int i) {
    return (i / 10) % kStations;
}
QString commentOn(int id) {
    return QStringLiteral("Collect at desk, job %1").arg(id);
}

// Users whose names differ only in case are one user to the statistics.
const QStringList kUsers{"alice", "Alice", "bob", "carol", "dave", "ERIN", "erin"};

// The statistics over the shared tables, computed by psql on its own: page cells
// count by their leading digits, names without regard to case.
QString statisticsByPsql() {
    return QStringLiteral(R"(
SELECT COUNT(*),
       COALESCE(SUM(substring("Pages" FROM '^[0-9]+')::bigint), 0),
       COALESCE(SUM(substring("Deleted Pages" FROM '^[0-9]+')::bigint), 0),
       COALESCE(SUM(substring("Printed Pages" FROM '^[0-9]+')::bigint)
                FILTER (WHERE COALESCE("Deleted Pages", '') = ''), 0),
       COUNT(DISTINCT lower(NULLIF("Server", ''))),
       COUNT(DISTINCT lower(NULLIF("Queue", ''))),
       COUNT(DISTINCT lower(NULLIF("User", ''))),
       MIN(left("Time Submitted", 10)),
       MAX(left("Time Submitted", 10))
FROM SWR_Log)");
}

// The statistics window's chart by psql: pages printed on the day of their
// release and pages deleted on the day of their deletion (the day submitted for a
// row without that time); a job released and then deleted counts as deleted.
QString chartByPsql(const QString& firstDay, const QString& lastDay) {
    return QStringLiteral(R"(
SELECT day, SUM(printed), SUM(deleted) FROM (
    SELECT left(COALESCE("Resumed", "Time Submitted"), 10) AS day,
           COALESCE(substring("Printed Pages" FROM '^[0-9]+')::bigint, 0) AS printed,
           0 AS deleted
    FROM SWR_Log WHERE COALESCE("Deleted Pages", '') = '' AND "Printed Pages" IS NOT NULL
    UNION ALL
    SELECT left(COALESCE("Deleted", "Time Submitted"), 10), 0,
           COALESCE(substring("Deleted Pages" FROM '^[0-9]+')::bigint, 0)
    FROM SWR_Log WHERE COALESCE("Deleted Pages", '') <> '') AS pages
WHERE day BETWEEN '%1' AND '%2' GROUP BY day ORDER BY day)")
        .arg(firstDay, lastDay);
}

QStringList chartLines(const QList<DayPages>& days) {
    QStringList lines;
    for (const DayPages& day : days)
        if (day.printed != 0 || day.deleted != 0)
            lines << QStringLiteral("%1\t%2\t%3")
                         .arg(day.day.toString(Qt::ISODate))
                         .arg(day.printed)
                         .arg(day.deleted);
    return lines;
}

QString statisticsLine(const LogStatistics& s) {
    return QStringList{QString::number(s.jobs),
                       QString::number(s.pages),
                       QString::number(s.deletedPages),
                       QString::number(s.printedPages),
                       QString::number(s.servers),
                       QString::number(s.queues),
                       QString::number(s.users),
                       s.firstDate.date().toString(Qt::ISODate),
                       s.lastDate.date().toString(Qt::ISODate)}
        .join(QLatin1Char('\t'));
}

} // namespace

// Three stations watch one queue and write one log while 300 jobs arrive, and each
// releases, deletes and comments some of them as they come: every job is one row,
// every action is on its row and in the audit trail under the station that took it,
// and the program's statistics are psql's over the same tables.
TEST(SiteLog, ThreeStationsOnOneQueueKeepOneRowPerJobAndOneAuditTrail) {
    TestPrintServer server;
    TestPostgresServer postgres;
    const QString queue = server.newQueue("Site");
    const QString log = postgres.newDatabase("site");
    ASSERT_FALSE(queue.isEmpty() || log.isEmpty());

    std::vector<std::unique_ptr<Station>> stations;
    for (int number = 1; number <= kStations; ++number) {
        stations.push_back(std::make_unique<Station>(number, server.address(), queue, log));
        FrmMain& w = *stations.back()->w;
        ASSERT_EQ(w.CurrentPrintQueue->currentText(), queue);
        // The monitor has its baseline before the first job, so that every job is new to it.
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return w.ServerStatus->text().startsWith("Server "); }, 60000))
            << w.ServerStatus->text().toStdString();
    }

    // Each station acts on a job once its grid shows the job with its pages
    // counted, as an operator would; the actions trail the arrivals by a few jobs.
    QList<int> ids;
    QMap<int, QString> expectedActed; // job id: what its row says of the action
    const auto act = [&](int i) {
        const Act what = actOn(i);
        if (what == Act::None)
            return;
        Station& station = *stations[actorOf(i)];
        FrmMain& w = *station.w;
        const int id = ids[i];
        const QString name = queue + QStringLiteral(", ") + QString::number(id);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const QTreeWidgetItem* row = w.jobGrid().rowOf(name);
                return row && !row->text(JobColumn::Pages).isEmpty();
            },
            60000))
            << station.computer.toStdString() << " never showed " << name.toStdString();
        w.JobList->setCurrentItem(w.jobGrid().rowOf(name));
        QString row = station.user + '\t' + station.computer + '\t';
        switch (what) {
        case Act::Release:
            MenuResumeJob(w);
            row += QStringLiteral("t\tf\t");
            break;
        case Act::Delete:
            station.harness.prompter.answers = {Prompter::Answer::Yes};
            MenuRemove(w);
            row += QStringLiteral("f\tt\t");
            break;
        case Act::Comment:
            station.harness.prompter.inputs = {commentOn(id)};
            mnuLogComment(w);
            row += QStringLiteral("f\tf\t") + commentOn(id);
            break;
        case Act::None:
            break;
        }
        expectedActed[id] = row;
    };
    constexpr int kTrail = 15;
    for (int i = 0; i < kJobs; ++i) {
        const int id =
            server.submitJob(queue, kUsers[i % kUsers.size()], QStringLiteral("Site job %1").arg(i),
                             sampleText(1 + (i % 4) * 60));
        ASSERT_GT(id, 0);
        ids << id;
        if (i >= kTrail)
            act(i - kTrail);
    }
    for (int i = kJobs - kTrail; i < kJobs; ++i)
        act(i);

    // Done when every page is counted and every station has written what waited.
    const auto settled = [&] {
        for (const auto& station : stations)
            if (station->w->log().pendingCount() != 0)
                return false;
        return postgres.polled(log, R"(SELECT COUNT(*) FROM SWR_Log WHERE "Pages" IS NOT NULL)") ==
               QStringList{QString::number(kJobs)};
    };
    ASSERT_TRUE(QTest::qWaitFor(settled, 120000));

    // One row per job, whichever station saw it first.
    QStringList expectedRows;
    for (int id : ids)
        expectedRows << QString::number(id) + QStringLiteral("\t1");
    std::sort(expectedRows.begin(), expectedRows.end());
    EXPECT_EQ(postgres.query(log, R"(SELECT "Name", COUNT(*) FROM SWR_Log GROUP BY "Name"
                                     ORDER BY "Name")"),
              expectedRows);
    EXPECT_EQ(postgres.query(log, R"(SELECT COUNT(DISTINCT ("Server", "TransactionID")),
                                            COUNT(*) FROM SWR_Log)"),
              QStringList{QStringLiteral("%1\t%1").arg(kJobs)});

    // Each action on its job's row, under the operator and computer that took it,
    // and no other row claims an operator.
    QStringList actedRows;
    for (auto it = expectedActed.cbegin(); it != expectedActed.cend(); ++it)
        actedRows << QString::number(it.key()) + '\t' + it.value();
    std::sort(actedRows.begin(), actedRows.end());
    EXPECT_EQ(postgres.query(log, R"(SELECT "Name", "SWR User", "SWR Computer",
                                            "Resumed" IS NOT NULL, "Deleted" IS NOT NULL,
                                            COALESCE("Comments", '')
                                     FROM SWR_Log WHERE "SWR User" IS NOT NULL ORDER BY "Name")"),
              actedRows);

    // Every release and deletion in the one audit trail, under its station.
    QStringList expectedAudit;
    for (int s = 0; s < kStations; ++s) {
        int releases = 0, deletions = 0;
        for (int i = 0; i < kJobs; ++i) {
            releases += actorOf(i) == s && actOn(i) == Act::Release;
            deletions += actorOf(i) == s && actOn(i) == Act::Delete;
        }
        const QString who = stations[s]->user + '\t' + stations[s]->computer + '\t';
        expectedAudit << QStringLiteral("Remove Job\t") + who + QString::number(deletions)
                      << QStringLiteral("Resume Job\t") + who + QString::number(releases);
    }
    EXPECT_EQ(postgres.query(log, R"(SELECT "Description", "SWR User", "SWR Computer", COUNT(*)
                                     FROM SWR_Audit WHERE "Action" = 'Job'
                                     GROUP BY 1, 2, 3 ORDER BY 2, 1)"),
              expectedAudit);

    // Every station computes the site's statistics and chart, and they are psql's.
    const QStringList byPsql = postgres.query(log, statisticsByPsql());
    ASSERT_EQ(byPsql.size(), 1);
    const QStringList psqlFigures = byPsql[0].split('\t');
    EXPECT_EQ(psqlFigures.value(0), QString::number(kJobs));
    EXPECT_EQ(psqlFigures.value(6), "5"); // alice, bob, carol, dave, erin
    // The chart's last two days, as the test may run over midnight.
    const QDate lastDay = QDate::currentDate();
    const QStringList chart = postgres.query(
        log, chartByPsql(lastDay.addDays(-1).toString(Qt::ISODate), lastDay.toString(Qt::ISODate)));
    EXPECT_FALSE(chart.isEmpty());
    for (const auto& station : stations) {
        // A "now" inside the log's days leaves the first and last days the log's own.
        const QDateTime now = QDateTime::fromString(psqlFigures.value(7), Qt::ISODate);
        EXPECT_EQ(statisticsLine(ComputeLogStatistics(station->w->log(), now)), byPsql[0])
            << station->computer.toStdString();
        EXPECT_EQ(chartLines(pagesPerDay(station->w->log(), lastDay, 2)), chart)
            << station->computer.toStdString();
    }
}
