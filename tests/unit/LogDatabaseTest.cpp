#include "LogTestSupport.h"

#include <QDeadlineTimer>
#include <QFile>
#include <atomic>
#include <thread>

namespace {

QList<QStringList> rowsOf(std::initializer_list<QStringList> rows) {
    return QList<QStringList>(rows);
}

const QString kJob = "12-2001-03-05 09:01:00";

} // namespace

TEST_F(LogTest, ANewLogIsACopyOfTheTemplateBeginningWithItsAuditRowsAndNoneIsMadeWithoutOne) {
    context.autoQueue = true;
    auto log = makeLog();
    EXPECT_FALSE(QFileInfo::exists(logFile())) << "the file is made by the first operation";

    log->WriteAudit("Program", "Spoolwright Started");

    EXPECT_EQ(auditRows(), rowsOf({{"Log", "New log file created."},
                                   {"Queue", "Current Queue printhost-Office"},
                                   {"AutoQueue", "AutoQueue Enabled"},
                                   {"Program", "Spoolwright Started"}}));
    EXPECT_EQ(rows("SELECT DISTINCT Time, \"SWR User\", \"SWR Computer\" FROM SWR_Audit"),
              rowsOf({{"2001-03-05 09:05:00", "tester", "testhost"}}));
    // A copy of the template, not a database made up on the spot: the report views
    // are there.
    EXPECT_TRUE(read("SELECT * FROM LogAuditActionsReport").ok);

    // Without a template nothing is logged and no file is made: a database without
    // tables would swallow every later write once a template is back.
    QTemporaryDir noTemplate;
    ASSERT_TRUE(noTemplate.isValid());
    context.logPath = noTemplate.path();
    auto none = makeLog(noTemplate.path());
    none->WriteAudit("Program", "Spoolwright Started");
    none->SetLogField(kJob, "Server", "printhost");
    none->setLogFields(kJob, {{"Queue", "Office"}});
    EXPECT_FALSE(none->LogRowExists(kJob));
    EXPECT_FALSE(none->OpenLogDatabase());
    EXPECT_FALSE(QFileInfo::exists(logFile()));
    EXPECT_TRUE(prompter.asked.isEmpty()) << "nothing is shown either way";
}

TEST_F(LogTest, WithAuditOffNoAuditRowIsWrittenButJobsAreStillLogged) {
    context.audit = false;
    context.autoQueue = true;
    auto log = makeLog();

    log->WriteAudit("Program", "Spoolwright Started");
    log->SetLogField(kJob, "Server", "printhost");

    EXPECT_TRUE(auditRows().isEmpty()) << "not even the rows of the new log";
    EXPECT_EQ(rows("SELECT TransactionID, Server FROM SWR_Log"), rowsOf({{kJob, "printhost"}}));

    // The setting is read at each operation, not once.
    context.audit = true;
    log->WriteAudit("Program", "Settings Updated.");
    EXPECT_EQ(auditRows(), rowsOf({{"Program", "Settings Updated."}}));
}

TEST_F(LogTest, EachKeyHasOneRowThatLaterWritesEdit) {
    auto log = makeLog();
    const QString sameNumberLater = "12-2001-03-06 10:00:00";

    EXPECT_FALSE(log->LogRowExists(kJob));
    log->SetLogField(kJob, "Pages", "3");
    EXPECT_TRUE(log->LogRowExists(kJob));
    EXPECT_FALSE(log->LogRowExists(sameNumberLater));

    // The first write made a row with the key and that one column alone.
    const ReadBack created = read("SELECT * FROM SWR_Log");
    ASSERT_EQ(created.rows.size(), 1);
    for (int i = 0; i < created.fields.size(); ++i) {
        const QString& field = created.fields[i];
        const QString expected = field == "TransactionID" ? kJob : field == "Pages" ? "3" : kNull;
        EXPECT_EQ(created.rows[0][i], expected) << field.toStdString();
    }

    // A reused job number with another submission time is another job.
    log->setLogFields(sameNumberLater, {{"Pages", "8"}, {"User", "bob"}});
    // Edits reach the first job's own row; emptying a column leaves it NULL.
    log->setLogFields(kJob, {{"Printed Pages", "3"}, {"Comments", "first"}});
    log->SetLogField(kJob, "Printed Pages", "");
    log->SetLogField(kJob, "Comments", "second");

    EXPECT_EQ(
        rows("SELECT TransactionID, Pages, User, \"Printed Pages\", Comments FROM SWR_Log "
             "ORDER BY rowid"),
        rowsOf({{kJob, "3", kNull, kNull, "second"}, {sameNumberLater, "8", "bob", kNull, kNull}}));
}

TEST_F(LogTest, WritesHeldTogetherLandInOneGoAndEachKeyKeepsOneRow) {
    auto log = makeLog();
    log->SetLogField(kJob, "Server", "printhost");
    const QString next = "13-2001-03-05 09:02:00";
    const QString refused = "14-2001-03-05 09:03:00";
    {
        const LogDatabase::WriteTogether together(*log);
        log->logNewRowsAndFields({{kJob, {{"Server", "elsewhere"}}},
                                  {next, {{"Server", "printhost"}, {"Pages", "2"}}},
                                  {next, {{"Server", "again"}}},
                                  {refused, {{"No Such Column", "x"}, {"Server", "printhost"}}}},
                                 {{kJob, {{"Deleted", "now"}}},
                                  {next, {{"Deleted", "now"}}},
                                  {refused, {{"Deleted", "now"}}}});
        log->writeAudits("Job", {"Purge all jobs - Office", "Purge all jobs - Office"});
        // Nothing is written until the last write is in.
        EXPECT_EQ(rows("SELECT COUNT(*) FROM SWR_Log"), rowsOf({{"1"}}));
        EXPECT_TRUE(log->LogRowExists(next));
    }
    // A new row is made once, a known one left as it was; the marks reach each key's
    // one row, also where a refused column made the row column by column.
    EXPECT_EQ(rows("SELECT TransactionID, Server, Pages, Deleted FROM SWR_Log ORDER BY rowid"),
              rowsOf({{kJob, "printhost", kNull, "now"},
                      {next, "printhost", "2", "now"},
                      {refused, "printhost", kNull, "now"}}));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM SWR_Audit WHERE Description = 'Purge all jobs - Office'"),
              rowsOf({{"2"}}));
}

TEST_F(LogTest, QuotesInAKeyOrAColumnNameNeverAlterAStatement) {
    auto log = makeLog();
    log->SetLogField(kJob, "Comments", "kept");
    const QString quotedKey = "7-x' OR '1'='1";

    EXPECT_FALSE(log->LogRowExists(quotedKey));
    log->SetLogField(quotedKey, "Comments", "it's mine");
    EXPECT_TRUE(log->LogRowExists(quotedKey));
    // A column that is no column writes nothing at all; beside good columns, it keeps
    // only itself from being written.
    log->SetLogField(kJob, "Comments\" = 'hijacked', \"Server", "x");
    log->setLogFields(quotedKey, {{"Server\" = 'hijacked", "x"}, {"Server", "printhost"}});

    EXPECT_EQ(rows("SELECT TransactionID, Comments, Server FROM SWR_Log ORDER BY rowid"),
              rowsOf({{kJob, "kept", kNull}, {quotedKey, "it's mine", "printhost"}}));
}

TEST_F(LogTest, AnotherProgramMayReadCopyAndWriteTheLogBetweenOperations) {
    auto log = makeLog();
    log->setLogFields(kJob, {{"Server", "printhost"}, {"Pages", "4"}});
    ASSERT_TRUE(log->LogRowExists(kJob));

    // The whole log is in the one file: a plain copy of it holds the job.
    const QString copy = inFolder("copy.db");
    ASSERT_TRUE(QFile::copy(logFile(), copy));
    EXPECT_EQ(readLog(copy, "SELECT Pages FROM SWR_Log").rows, rowsOf({{"4"}}));

    // No lock is left behind: another writer gets in at once, without waiting.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(logFile());
        other.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
        ASSERT_TRUE(other.open());
        QSqlQuery write(other);
        EXPECT_TRUE(write.exec("UPDATE SWR_Log SET Comments = 'from elsewhere'"));
        other.close();
    }
    QSqlDatabase::removeDatabase("other");

    // And the program sees that write at its next operation.
    log->SetLogField(kJob, "User", "bob");
    EXPECT_EQ(rows("SELECT Comments, User FROM SWR_Log"), rowsOf({{"from elsewhere", "bob"}}));
}

TEST_F(LogTest, ALogDeletedReplacedOrMovedIsNoticedAtTheNextOperation) {
    auto log = makeLog();
    log->SetLogField(kJob, "Server", "first");

    // Deleted while the program runs: the template is copied again, with the rows of
    // a new log, and the job goes into the new file rather than the deleted one.
    ASSERT_TRUE(QFile::remove(logFile()));
    const QString second = "13-2001-03-05 09:02:00";
    log->SetLogField(second, "Server", "second");
    EXPECT_EQ(rows("SELECT Server FROM SWR_Log"), rowsOf({{"second"}}));
    EXPECT_EQ(auditRows().value(0), (QStringList{"Log", "New log file created."}));
    EXPECT_FALSE(log->LogRowExists(kJob));

    // Replaced by another file (an archive put back): its rows are the log now, and
    // it is not a new log.
    const QString archive = inFolder("archive.db");
    ASSERT_TRUE(QFile::copy(logFile(), archive));
    log->SetLogField(second, "Comments", "only in the old file");
    ASSERT_TRUE(QFile::remove(logFile()));
    ASSERT_TRUE(QFile::rename(archive, logFile()));
    log->SetLogField(second, "User", "bob");
    EXPECT_EQ(rows("SELECT Comments, User FROM SWR_Log"), rowsOf({{kNull, "bob"}}));
    EXPECT_EQ(auditRows().count(QStringList{"Log", "New log file created."}), 1);

    // A new LogPath takes effect at the next operation, whatever its folder is called.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    context.logPath = QDir(elsewhere.path()).filePath("My logs #1?%20");
    ASSERT_TRUE(QDir().mkpath(context.logPath));
    log->SetLogField(kJob, "Server", "third");
    EXPECT_EQ(rows("SELECT Server FROM SWR_Log"), rowsOf({{"third"}}));
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(LogTest, TwoCopiesStartingTogetherWithoutALogBothKeepTheirRows) {
    // Each copy has its own connection on its own thread, as two programs would, and
    // both find no log at the same moment.
    auto start = [this](const QString& who, std::atomic<int>* ready) {
        RecordingPrompter quiet;
        LogDatabase log([this] { return context; }, kProgramFolder, environment, clock, quiet);
        for (++*ready; *ready < 2;) {
        }
        log.WriteAudit("Program", "Spoolwright Started " + who);
        QDeadlineTimer deadline(10000);
        while (log.pendingCount() > 0 && !deadline.hasExpired())
            log.flushPending();
    };
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        context.logPath = folder.path();
        std::atomic<int> ready{0};
        std::thread first(start, "first", &ready);
        std::thread second(start, "second", &ready);
        first.join();
        second.join();
        EXPECT_EQ(rows("SELECT Description FROM SWR_Audit WHERE Action = 'Program' "
                       "ORDER BY Description"),
                  rowsOf({{"Spoolwright Started first"}, {"Spoolwright Started second"}}));
        EXPECT_EQ(rows("SELECT COUNT(*) FROM SWR_Audit WHERE Action = 'Log'"), rowsOf({{"1"}}))
            << "one copy made the log";
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"swr.db"}))
            << "no copy of the template is left beside it";
        if (HasFailure())
            break;
    }
}

TEST_F(LogTest, ResetOffersAnArchiveAndDeletesTheLogEitherWayUnlessTheArchiveFails) {
    auto log = makeLog();
    const QString archive = inFolder("2001-March-5-95-swr.db");

    // Yes at five past nine: the archive's hour and minute run together as "95".
    log->SetLogField(kJob, "Comments", "first");
    prompter.answers = {Prompter::Answer::Yes};
    EXPECT_TRUE(log->ResetLogDatabase());
    const RecordingPrompter::Asked archiveQuestion{
        "Warning", "Do you want to archive a copy of the database?", Prompter::Icon::Critical,
        Prompter::Buttons::YesNo};
    EXPECT_EQ(prompter.asked, QList<RecordingPrompter::Asked>{archiveQuestion});
    EXPECT_FALSE(QFileInfo::exists(logFile()));
    EXPECT_EQ(readLog(archive, "SELECT Comments FROM SWR_Log").rows, rowsOf({{"first"}}));

    // Twice in the same minute: the second archive replaces the first.
    log->SetLogField(kJob, "Comments", "second");
    EXPECT_EQ(auditRows().value(0), (QStringList{"Log", "New log file created."}));
    clock.time = clock.time.addSecs(40);
    prompter.answers = {Prompter::Answer::Yes};
    EXPECT_TRUE(log->ResetLogDatabase());
    EXPECT_EQ(readLog(archive, "SELECT Comments FROM SWR_Log").rows, rowsOf({{"second"}}));

    // No: no archive, and the log is deleted all the same.
    log->SetLogField(kJob, "Comments", "third");
    clock.time = QDateTime(QDate(2001, 11, 23), QTime(14, 30));
    prompter.answers = {Prompter::Answer::No};
    EXPECT_TRUE(log->ResetLogDatabase());
    EXPECT_FALSE(QFileInfo::exists(logFile()));
    EXPECT_FALSE(QFileInfo::exists(inFolder("2001-November-23-1430-swr.db")));
    EXPECT_EQ(prompter.asked, QList<RecordingPrompter::Asked>(3, archiveQuestion))
        << "no message besides the three questions";

    // An archive copy that fails is reported and keeps the log: something that cannot
    // be replaced by a file stands at the archive's name.
    log->SetLogField(kJob, "Comments", "kept");
    ASSERT_TRUE(QDir().mkpath(inFolder("2001-November-23-1430-swr.db/busy")));
    prompter.answers = {Prompter::Answer::Yes};
    EXPECT_FALSE(log->ResetLogDatabase());
    ASSERT_EQ(prompter.asked.size(), 5);
    EXPECT_EQ(prompter.asked[4], (RecordingPrompter::Asked{
                                     "Spoolwright", "Error deleting log file - Check permissions",
                                     Prompter::Icon::Critical}));
    EXPECT_EQ(rows("SELECT Comments FROM SWR_Log"), rowsOf({{"kept"}}));
}
