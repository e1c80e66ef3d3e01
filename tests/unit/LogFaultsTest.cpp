#include "LogTestSupport.h"
#include "support/DiskFull.h"
#include "support/Files.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

const QString kJob = "12-2001-03-05 09:01:00";
const QString kLaterJob = "13-2001-03-05 09:02:00";

// Sets or clears a file's immutable flag; true when that was done.
bool setImmutable(const QByteArray& path, bool on) {
    const int fd = ::open(path.constData(), O_RDONLY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

// Makes a file impossible to write for this process: its write permissions are taken
// away, and where that does not bind (root), it is marked immutable, which does.
class UnwritableFile {
public:
    explicit UnwritableFile(const QString& path) : path_(QFile::encodeName(path)) {
        ::chmod(path_.constData(), 0444);
        immutable_ = ::access(path_.constData(), W_OK) == 0 && setImmutable(path_, true);
    }
    ~UnwritableFile() {
        if (immutable_)
            setImmutable(path_, false);
        ::chmod(path_.constData(), 0644);
    }
    bool unwritable() const { return ::access(path_.constData(), W_OK) != 0; }

private:
    QByteArray path_;
    bool immutable_ = false;
};

} // namespace

TEST_F(LogTest, RowsALockedLogCannotTakeWaitInOrderAndLandOnceItIsFree) {
    makeLog()->WriteAudit("Program", "Spoolwright Started");
    QList<int> heard;
    auto log = makeLog();
    log->setBacklogObserver([&heard](int waiting) { heard << waiting; });

    // Start-up while another program holds the whole log: nothing can be read or
    // written, and the log is not mistaken for a damaged one.
    {
        OtherProgram other(logFile(), "BEGIN EXCLUSIVE");
        ASSERT_TRUE(other.holds());
        clock.time = QDateTime(QDate(2001, 3, 5), QTime(9, 6));
        log->WriteAudit("Program", "Spoolwright Started");
        log->logNewRows({{kJob, {{"Server", "printhost"}}}});
        log->SetLogField(kJob, "Comments", "held");
        EXPECT_TRUE(log->LogRowExists(kJob)) << "a job whose row waits is not new";
        log->flushPending();
        EXPECT_EQ(log->pendingCount(), 3);
        EXPECT_EQ(LogDatabase::backlogText(log->pendingCount()), "Log busy, 3 rows waiting");
    }
    clock.time = QDateTime(QDate(2001, 3, 5), QTime(9, 7));
    log->flushPending();
    EXPECT_EQ(log->pendingCount(), 0);

    // A running log meets another writer: the next operation after it has gone writes
    // what waited before its own row.
    {
        OtherProgram other(logFile(), "BEGIN IMMEDIATE");
        ASSERT_TRUE(other.holds());
        log->setLogFields(kLaterJob, {{"Server", "printhost"}, {"Pages", "2"}});
        log->WriteAudit("Job", "Pause Job");
        EXPECT_EQ(log->pendingCount(), 2);
    }
    log->WriteAudit("Program", "Spoolwright Shutdown");

    EXPECT_EQ(heard, QList<int>({1, 2, 3, 0, 1, 2, 0}));
    EXPECT_EQ(rows("SELECT Time, Action, Description FROM SWR_Audit ORDER BY rowid").mid(2),
              QList<QStringList>({{"2001-03-05 09:05:00", "Program", "Spoolwright Started"},
                                  {"2001-03-05 09:06:00", "Program", "Spoolwright Started"},
                                  {"2001-03-05 09:07:00", "Job", "Pause Job"},
                                  {"2001-03-05 09:07:00", "Program", "Spoolwright Shutdown"}}));
    EXPECT_EQ(rows("SELECT TransactionID, Server, Pages, Comments FROM SWR_Log ORDER BY rowid"),
              QList<QStringList>(
                  {{kJob, "printhost", kNull, "held"}, {kLaterJob, "printhost", "2", kNull}}));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(QDir(inFolder(".")).entryList(QDir::Files), QStringList({"swr.db"}));
}

TEST_F(LogTest, RowsStillWaitingAtTheEndAreWrittenByTheNextRunInTheirOrder) {
    makeLog()->WriteAudit("Program", "Spoolwright Started");
    {
        auto log = makeLog();
        OtherProgram other(logFile(), "BEGIN EXCLUSIVE");
        ASSERT_TRUE(other.holds());
        log->setLogFields(kJob, {{"Server", "printhost"}, {"Deleted Pages", "3"}});
        log->WriteAudit("Program", "Spoolwright Shutdown");
        log->keepWaitingRows();
        EXPECT_EQ(log->pendingCount(), 0);
    }
    // Files of the same name that hold no rows as written (empty, cut short) are not
    // taken as empty: they are moved aside and the operator is told, once.
    const QByteArray kept =
        readFile(QDir(inFolder(".")).entryInfoList({"swr.db.waiting-*"}).value(0).filePath());
    ASSERT_TRUE(writeFile(logFile() + ".waiting-0-0", ""));
    ASSERT_TRUE(writeFile(logFile() + ".waiting-1-0", kept.left(kept.size() / 2)));

    auto next = makeLog();
    next->WriteAudit("Program", "Spoolwright Started again");
    EXPECT_EQ(
        rows("SELECT Description FROM SWR_Audit ORDER BY rowid").mid(2),
        QList<QStringList>(
            {{"Spoolwright Started"}, {"Spoolwright Shutdown"}, {"Spoolwright Started again"}}));
    EXPECT_EQ(rows("SELECT TransactionID, Server, \"Deleted Pages\" FROM SWR_Log"),
              QList<QStringList>({{kJob, "printhost", "3"}}));
    EXPECT_EQ(QDir(inFolder(".")).entryList(QDir::Files),
              QStringList({"swr.db", "swr.db.damaged-waiting-0-0", "swr.db.damaged-waiting-1-0"}));
    EXPECT_EQ(readFile(logFile() + ".damaged-waiting-1-0"), kept.left(kept.size() / 2));
    QStringList told;
    for (const auto& asked : prompter.asked)
        told << asked.text;
    EXPECT_EQ(told, QStringList({"The log rows kept in " + logFile() +
                                     ".waiting-0-0 could not be read. The file has been kept as " +
                                     logFile() + ".damaged-waiting-0-0.",
                                 "The log rows kept in " + logFile() +
                                     ".waiting-1-0 could not be read. The file has been kept as " +
                                     logFile() + ".damaged-waiting-1-0."}));
    makeLog()->WriteAudit("Program", "Once");
    EXPECT_EQ(rows("SELECT COUNT(*) FROM SWR_Audit WHERE Description = 'Spoolwright Shutdown'"),
              QList<QStringList>({{"1"}}));
    EXPECT_EQ(prompter.asked.size(), 2) << "told once";
}

TEST_F(LogTest, RowsThatCannotBeKeptOnAFullDiskAreShownEveryOneAndNoFileIsLeft) {
    makeLog()->WriteAudit("Program", "Spoolwright Started");
    auto log = makeLog();
    {
        OtherProgram other(logFile(), "BEGIN EXCLUSIVE");
        ASSERT_TRUE(other.holds());
        log->setLogFields(kJob, {{"Server", "printhost"}, {"Deleted Pages", "3"}});
        log->WriteAudit("Program", "Spoolwright Shutdown");
        DiskFullAfter full(64);
        ASSERT_TRUE(full.active());
        log->keepWaitingRows();
    }
    EXPECT_EQ(log->pendingCount(), 0);
    EXPECT_EQ(QDir(inFolder(".")).entryList(QDir::Files | QDir::Hidden), QStringList({"swr.db"}))
        << "no waiting file, whole or empty, and no temporary one";
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(
        prompter.asked.at(0).text,
        "2 log rows could not be kept (File too large). They were:\n"
        "SWR_Log " +
            kJob +
            " - Server: printhost, Deleted Pages: 3\n"
            "SWR_Audit - Time: 2001-03-05 09:05:00, Action: Program, Description: Spoolwright "
            "Shutdown, SWR User: tester, SWR Computer: testhost");

    // The next start finds nothing of them to write twice.
    makeLog()->WriteAudit("Program", "Spoolwright Started again");
    EXPECT_EQ(rows("SELECT COUNT(*) FROM SWR_Audit WHERE Description = 'Spoolwright Shutdown'"),
              QList<QStringList>({{"0"}}));
}

TEST_F(LogTest, ADamagedLogIsKeptAsideAndANewOneTakesItsPlace) {
    // A real log of a few hundred jobs, cut in half.
    {
        auto log = makeLog();
        QList<LogRow> rows;
        for (int job = 0; job < 300; ++job)
            rows.append({QStringLiteral("%1-2001-03-05 09:00:00").arg(job),
                         {{"Description", QString(100, QLatin1Char('d'))}}});
        log->logNewRows(rows);
    }
    const QByteArray whole = readFile(logFile());
    ASSERT_GT(whole.size(), 8 * 4096);
    const QList<std::pair<const char*, QByteArray>> damaged = {
        {"zero bytes", QByteArray()},
        {"not a database", QByteArray("Server=printhost\r\n").repeated(300)},
        {"truncated", whole.left(whole.size() / 2)},
    };

    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        context.logPath = folder.path();
        ASSERT_TRUE(writeFile(logFile(), bytes));
        prompter.asked.clear();

        auto log = makeLog();
        // Found by whatever comes first, a report's read as well as a write.
        EXPECT_TRUE(log->OpenLogDatabase());
        EXPECT_EQ(auditRows().value(0), QStringList({"Log", "New log file created."}));
        log->WriteAudit("Program", "Spoolwright Started");
        log->SetLogField(kJob, "Server", "printhost");
        log->WriteAudit("Program", "Spoolwright Shutdown");

        const QString kept = logFile() + QStringLiteral(".damaged-20010305-090500");
        EXPECT_EQ(readFile(kept), bytes) << "the damaged file is kept as it was";
        EXPECT_EQ(auditRows(), QList<QStringList>({{"Log", "New log file created."},
                                                   {"Queue", "Current Queue printhost-Office"},
                                                   {"Program", "Spoolwright Started"},
                                                   {"Program", "Spoolwright Shutdown"}}));
        EXPECT_TRUE(log->LogRowExists(kJob));
        EXPECT_EQ(prompter.asked, QList<RecordingPrompter::Asked>(
                                      {{"Spoolwright",
                                        "The log file was damaged and has been kept as " + kept +
                                            ". A new log file was created.",
                                        Prompter::Icon::Exclamation}}))
            << "told once";
    }
}

TEST_F(LogTest, ALogThatCannotBeWrittenIsLeftAloneAndReportedOnce) {
    makeLog()->SetLogField(kJob, "Comments", "kept");
    const QByteArray before = readFile(logFile());
    UnwritableFile unwritable(logFile());
    if (!unwritable.unwritable())
        GTEST_SKIP() << "this process may write any file and cannot mark one immutable";

    auto log = makeLog();
    log->SetLogField(kJob, "Comments", "lost");
    log->WriteAudit("Program", "Spoolwright Started");
    log->SetLogField(kLaterJob, "Comments", "lost too");

    EXPECT_EQ(prompter.asked, QList<RecordingPrompter::Asked>(
                                  {{"Spoolwright",
                                    "The log file " + logFile() +
                                        " cannot be written. Nothing will be logged until it "
                                        "can be written again.",
                                    Prompter::Icon::Exclamation}}))
        << "told once";
    EXPECT_EQ(log->pendingCount(), 0) << "rows for a log that cannot be written do not pile up";
    // Still read, and never moved or changed.
    EXPECT_TRUE(log->LogRowExists(kJob));
    EXPECT_EQ(readFile(logFile()), before);
    EXPECT_EQ(QDir(inFolder(".")).entryList(QDir::Files), QStringList({"swr.db"}));
}
