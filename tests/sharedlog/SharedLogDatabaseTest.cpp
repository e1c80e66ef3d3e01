#include "log/LogCsv.h"
#include "log/LogImport.h"
#include "log/LogReports.h"
#include "log/LogStatistics.h"
#include "support/PostgresServer.h"
#include "support/ScopedVariable.h"
#include "unit/LogTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <atomic>
#include <thread>

namespace {

// A log whose LogPath is a database of the test PostgreSQL server; the settings
// folder (where waiting rows are kept) is a temporary one.
class SharedLogTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        ASSERT_TRUE(settingsFolder.isValid());
    }
    std::unique_ptr<LogDatabase> makeLogAt(LogContext& at) {
        return std::make_unique<LogDatabase>([&at] { return at; }, kProgramFolder, environment,
                                             clock, prompter);
    }
    QStringList keptFiles() const {
        return QDir(settingsFolder.path()).entryList({"shared-log.waiting-*"}, QDir::Files);
    }

    QTemporaryDir settingsFolder;
    ScopedVariable appData{"APPDATA", settingsFolder.path().toLocal8Bit()};
    TestPostgresServer server;
};

LogRow jobRow(const QString& id, const QString& server, const QString& pages = "3") {
    return {id, {{"Server", server}, {"Queue", "Laser"}, {"Pages", pages}}};
}

} // namespace

TEST_F(SharedLogTest, TwoStationsMakeTheSchemaOnceAndAJobIsOneRowPerServer) {
    context.logPath = server.newDatabase("stations");
    ASSERT_FALSE(context.logPath.isEmpty());
    // Two stations come to the new log at the same moment, each on its own thread.
    std::atomic<int> ready{0};
    std::atomic<int> opened{0};
    auto station = [&] {
        Environment ownEnvironment;
        FixedClock ownClock;
        RecordingPrompter ownPrompter;
        const LogContext at = context;
        LogDatabase log([at] { return at; }, kProgramFolder, ownEnvironment, ownClock, ownPrompter);
        for (++ready; ready < 2;)
            std::this_thread::yield();
        if (log.OpenLogDatabase())
            ++opened;
        log.logNewRows({jobRow("7-2001-03-05 09:05:00", "printhost")});
    };
    std::thread first(station);
    std::thread second(station);
    first.join();
    second.join();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(server.query(context.logPath, "SELECT count(*) FROM SWR_Audit WHERE \"Description\" "
                                            "= 'New log file created.'"),
              QStringList{"1"});

    // Two stations log the same job, and act on it; another server's job of the same
    // number and second is a job of its own.
    auto one = makeLog();
    auto two = makeLog();
    one->logNewRows({jobRow("8-2001-03-05 09:06:00", "printhost", "4")});
    two->logNewRows({jobRow("8-2001-03-05 09:06:00", "printhost", "9"),
                     jobRow("8-2001-03-05 09:06:00", "otherhost", "2")});
    two->setLogFields("8-2001-03-05 09:06:00", {{"Comments", "from two"}});
    one->SetLogField("8-2001-03-05 09:06:00", "Deleted Pages", "4");
    EXPECT_EQ(one->pendingCount() + two->pendingCount(), 0);
    EXPECT_EQ(server.query(context.logPath,
                           "SELECT \"Server\", \"TransactionID\", \"Pages\", "
                           "COALESCE(\"Comments\", '-'), COALESCE(\"Deleted Pages\", '-') "
                           "FROM SWR_Log ORDER BY 1, 2"),
              (QStringList{"otherhost\t8-2001-03-05 09:06:00\t2\t-\t-",
                           "printhost\t7-2001-03-05 09:05:00\t3\t-\t-",
                           "printhost\t8-2001-03-05 09:06:00\t4\tfrom two\t4"}));
    EXPECT_TRUE(one->LogRowExists("8-2001-03-05 09:06:00"));
    context.server = "thirdhost";
    EXPECT_FALSE(one->LogRowExists("8-2001-03-05 09:06:00"));
}

TEST_F(SharedLogTest, RowsWaitWhileTheServerIsAwayAndAreWrittenFirstWhenItIsBack) {
    OwnPostgresServer own;
    ASSERT_FALSE(own.start().isEmpty());
    context.logPath = own.newDatabase("outage");
    ASSERT_FALSE(context.logPath.isEmpty());
    auto log = makeLog();
    QList<int> heard;
    log->setBacklogObserver([&heard](int waiting) { heard << waiting; });
    log->WriteAudit("Test", "before");
    ASSERT_EQ(log->pendingCount(), 0);

    // A row the server refuses is lost alone, with the operator told, and the rows
    // waiting behind it are written.
    own.query(context.logPath, "ALTER TABLE SWR_Audit ADD CHECK (\"Description\" <> 'refused')");
    ASSERT_TRUE(own.pause());
    log->WriteAudit("Test", "away 1");
    log->WriteAudit("Test", "refused");
    log->WriteAudit("Test", "away 2");
    log->WriteAudit("Test", "away 3");
    log->logNewRows({jobRow("9-2001-03-05 09:07:00", "printhost")});
    EXPECT_EQ(log->pendingCount(), 5);
    EXPECT_EQ(LogDatabase::backlogText(log->pendingCount()), "Log busy, 5 rows waiting");
    EXPECT_EQ(heard.last(), 5);

    ASSERT_FALSE(own.start().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            log->flushPending();
            return log->pendingCount() == 0;
        },
        20000));
    log->WriteAudit("Test", "back");
    EXPECT_EQ(heard.last(), 0);
    ASSERT_FALSE(prompter.asked.isEmpty());
    EXPECT_TRUE(prompter.asked.last().text.startsWith("The shared log refused a row"));
    const QString audit = "SELECT \"Description\" FROM SWR_Audit WHERE \"Action\" = 'Test' "
                          "ORDER BY rowid";
    EXPECT_EQ(own.query(context.logPath, audit),
              (QStringList{"before", "away 1", "away 2", "away 3", "back"}));
    EXPECT_EQ(own.query(context.logPath, "SELECT count(*) FROM SWR_Log"), QStringList{"1"});

    // Rows still waiting when the program ends are kept in the settings folder and
    // written by the next run before its own.
    ASSERT_TRUE(own.pause());
    log->WriteAudit("Test", "kept");
    log->keepWaitingRows();
    log.reset();
    EXPECT_EQ(keptFiles().size(), 1);
    ASSERT_FALSE(own.start().isEmpty());
    log = makeLog();
    log->WriteAudit("Test", "next run");
    EXPECT_EQ(log->pendingCount(), 0);
    EXPECT_TRUE(keptFiles().isEmpty());
    EXPECT_EQ(own.query(context.logPath, audit),
              (QStringList{"before", "away 1", "away 2", "away 3", "back", "kept", "next run"}));
}

TEST_F(SharedLogTest, StatisticsReportsAndTheExportReadTheSameAsFromALocalLog) {
    LogContext local = context;
    LogContext shared = context;
    shared.logPath = server.newDatabase("figures");
    ASSERT_FALSE(shared.logPath.isEmpty());
    auto localLog = makeLogAt(local);
    auto sharedLog = makeLogAt(shared);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QList<QList<LogField>> jobs{
        {{"Server", "PRN10"},
         {"Queue", "Laser"},
         {"User", "ann"},
         {"Pages", "10"},
         {"Printed Pages", "10"},
         {"Time Submitted", today + " 10:00:00"},
         {"Resumed", today + " 10:05:00"}},
        {{"Server", "prn10"},
         {"Queue", "laser"},
         {"User", "ANN"},
         {"Pages", "4"},
         {"Deleted Pages", "4"},
         {"Time Submitted", "2000-12-31 23:59:59"},
         {"Deleted", today + " 08:00:00"}},
        {{"Server", "Prn1"},
         {"Queue", "Ink"},
         {"User", "Bob"},
         {"Pages", "7 pages"},
         {"Printed Pages", "abc"},
         {"Time Submitted", "not a date"}},
        {{"Server", ""},
         {"User", "\xc3\x89mile"},
         {"Pages", ""},
         {"Comments", "a, \"b\""},
         {"Time Submitted", today + " 11:00:00"}},
    };
    for (int i = 0; i < jobs.size(); ++i)
        for (LogDatabase* log : {localLog.get(), sharedLog.get()})
            log->setLogFields(QStringLiteral("job-%1").arg(i), jobs[i]);
    for (LogDatabase* log : {localLog.get(), sharedLog.get()}) {
        log->WriteAudit("Queue", "Paused Laser");
        log->WriteAudit("queue", "paused laser");
        log->WriteAudit("Job", "Deleted 2");
    }

    const QDateTime now = QDateTime::currentDateTime();
    const LogStatistics a = ComputeLogStatistics(*localLog, now);
    const LogStatistics b = ComputeLogStatistics(*sharedLog, now);
    EXPECT_EQ(a.jobs, 4);
    EXPECT_EQ(b.jobs, a.jobs);
    EXPECT_EQ(b.pages, a.pages);
    EXPECT_EQ(b.deletedPages, a.deletedPages);
    EXPECT_EQ(b.printedPages, a.printedPages);
    EXPECT_EQ(b.servers, a.servers);
    EXPECT_EQ(b.queues, a.queues);
    EXPECT_EQ(b.users, a.users);
    EXPECT_EQ(b.firstDate, a.firstDate);
    EXPECT_EQ(b.lastDate, a.lastDate);
    const QList<DayPages> localDays = pagesPerDay(*localLog, QDate::currentDate(), 7);
    const QList<DayPages> sharedDays = pagesPerDay(*sharedLog, QDate::currentDate(), 7);
    ASSERT_EQ(sharedDays.size(), localDays.size());
    EXPECT_EQ(localDays.last().printed, 10);
    EXPECT_EQ(localDays.last().deleted, 4);
    for (int i = 0; i < localDays.size(); ++i) {
        EXPECT_EQ(sharedDays[i].printed, localDays[i].printed) << i;
        EXPECT_EQ(sharedDays[i].deleted, localDays[i].deleted) << i;
    }
    const ReportPage::Settings settings{"Acme", "Less paper"};
    for (const LogReportKind& kind : logReportKinds())
        EXPECT_EQ(QString::fromUtf8(logReportPage(*sharedLog, kind, settings)),
                  QString::fromUtf8(logReportPage(*localLog, kind, settings)))
            << kind.source.toStdString();
    EXPECT_EQ(logCsvText(*sharedLog), logCsvText(*localLog));
}

TEST_F(SharedLogTest, ResetMovesTheLogIntoADatedArchiveOnlyAfterConfirmation) {
    context.logPath = server.newDatabase("reset");
    ASSERT_FALSE(context.logPath.isEmpty());
    auto log = makeLog();
    log->logNewRows({jobRow("1-2001-03-05 09:00:00", "printhost")});
    prompter.answers = {Prompter::Answer::No};
    EXPECT_FALSE(log->ResetLogDatabase());
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_TRUE(prompter.asked[0].text.contains("database " + databaseOf(context.logPath)))
        << prompter.asked[0].text.toStdString();
    EXPECT_TRUE(prompter.asked[0].text.contains("swr_archive_20010305_090500"));
    EXPECT_EQ(server.query(context.logPath, "SELECT count(*) FROM SWR_Log"), QStringList{"1"});

    prompter.answers = {Prompter::Answer::Yes};
    EXPECT_TRUE(log->ResetLogDatabase());
    log->WriteAudit("Test", "after");
    EXPECT_EQ(server.query(context.logPath,
                           "SELECT \"TransactionID\" FROM swr_archive_20010305_090500.SWR_Log"),
              QStringList{"1-2001-03-05 09:00:00"});
    EXPECT_EQ(server.query(context.logPath,
                           "SELECT count(*) FROM swr_archive_20010305_090500.LogUserReport"),
              QStringList{"1"});
    EXPECT_EQ(server.query(context.logPath, "SELECT count(*) FROM SWR_Log"), QStringList{"0"});
    EXPECT_EQ(server.query(context.logPath, "SELECT \"Description\" FROM SWR_Audit ORDER BY rowid")
                  .mid(0, 1),
              QStringList{"New log file created."});
    EXPECT_EQ(server.query(context.logPath, "SELECT \"Description\" FROM SWR_Audit ORDER BY rowid")
                  .last(),
              "after");
}

TEST_F(SharedLogTest, ImportMergesALocalLogOnceAndSaysWhatItAddedAndSkipped) {
    // A station's local log: two jobs and its audit rows, two of them alike.
    auto localLog = makeLog();
    localLog->logNewRows({jobRow("1-2001-03-05 09:00:00", "printhost"),
                          jobRow("2-2001-03-05 09:01:00", "printhost")});
    localLog->WriteAudit("Job", "Paused 1");
    localLog->WriteAudit("Job", "Paused 1");
    localLog.reset();
    const int localAudit = int(auditRows().size());
    ASSERT_EQ(localAudit, 4); // the new log's two rows and the station's

    // The shared log has one of the jobs already, from another station.
    const QString uri = server.newDatabase("import");
    ASSERT_FALSE(uri.isEmpty());
    LogContext shared = context;
    shared.logPath = uri;
    auto sharedLog = makeLogAt(shared);
    sharedLog->logNewRows({jobRow("2-2001-03-05 09:01:00", "printhost")});
    sharedLog.reset();

    LogImport done = importLocalLog(logFile(), uri, kProgramFolder);
    ASSERT_TRUE(done.ok) << done.error.toStdString();
    EXPECT_EQ(done.added, 1 + localAudit - 2); // the new log's rows match the shared log's own
    EXPECT_EQ(done.skipped, 1 + 2);
    done = importLocalLog(logFile(), uri, kProgramFolder);
    ASSERT_TRUE(done.ok) << done.error.toStdString();
    EXPECT_EQ(done.added, 0);
    EXPECT_EQ(done.skipped, 2 + localAudit);
    EXPECT_EQ(server.query(uri, "SELECT count(*) FROM SWR_Log"), QStringList{"2"});
    EXPECT_EQ(
        server.query(uri, "SELECT count(*) FROM SWR_Audit WHERE \"Description\" = 'Paused 1'"),
        QStringList{"2"});

    // The program's switch reads the shared log's address from the settings.
    const QString program = QStringLiteral(SPOOLWRIGHT_BINARY_DIR "/bin/spoolwright");
    auto run = [&](const QString& logPath) {
        QFile ini(QDir(settingsFolder.path()).filePath("swr.ini"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Spoolwright]\nLogPath=" + logPath.toUtf8() + "\n");
        ini.close();
        QProcess process;
        process.start(program, {"--import-log", logFile()});
        EXPECT_TRUE(process.waitForFinished(30000));
        return std::make_pair(process.exitCode(),
                              QString::fromLocal8Bit(process.readAllStandardOutput() +
                                                     process.readAllStandardError()));
    };
    const auto [status, said] = run(uri);
    EXPECT_EQ(status, 0) << said.toStdString();
    EXPECT_TRUE(said.contains("0 rows added, " + QString::number(2 + localAudit) + " rows skipped"))
        << said.toStdString();
    const auto [localStatus, localSaid] = run(settingsFolder.path());
    EXPECT_EQ(localStatus, 1);
    EXPECT_TRUE(localSaid.contains("names no shared log")) << localSaid.toStdString();
}
