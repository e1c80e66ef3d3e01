#include "LogTestSupport.h"

namespace {

const QString kJob = QStringLiteral("12-2001-03-05 09:01:00");
const QString kLaterJob = QStringLiteral("13-2001-03-05 09:02:00");

// Another program holding the log in a transaction of its own, until released.
class OtherProgram {
public:
    OtherProgram(const QString& path, const QString& begin) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(path);
        held_ = db.open() && QSqlQuery(db).exec(begin);
    }
    ~OtherProgram() {
        release();
        QSqlDatabase::removeDatabase(kName);
    }
    bool holds() const { return held_; }
    void release() {
        if (!QSqlDatabase::contains(kName))
            return;
        QSqlDatabase db = QSqlDatabase::database(kName, false);
        if (held_)
            QSqlQuery(db).exec(QStringLiteral("COMMIT"));
        held_ = false;
        db.close();
    }

private:
    static inline const QString kName = QStringLiteral("other-program");
    bool held_ = false;
};

} // namespace

TEST_F(LogTest, RowsALockedLogCannotTakeWaitInOrderAndLandOnceItIsFree) {
    makeLog()->WriteAudit(QStringLiteral("Program"), QStringLiteral("Spoolwright Started"));
    QList<int> heard;
    auto log = makeLog();
    log->setBacklogObserver([&heard](int waiting) { heard << waiting; });

    // Start-up while another program holds the whole log: nothing can be read or
    // written, and the log is not mistaken for a damaged one.
    {
        OtherProgram other(logFile(), QStringLiteral("BEGIN EXCLUSIVE"));
        ASSERT_TRUE(other.holds());
        clock.time = QDateTime(QDate(2001, 3, 5), QTime(9, 6));
        log->WriteAudit(QStringLiteral("Program"), QStringLiteral("Spoolwright Started"));
        log->LogNewRows({{kJob, {{QStringLiteral("Server"), QStringLiteral("printhost")}}}});
        log->SetLogField(kJob, QStringLiteral("Comments"), QStringLiteral("held"));
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
        OtherProgram other(logFile(), QStringLiteral("BEGIN IMMEDIATE"));
        ASSERT_TRUE(other.holds());
        log->SetLogFields(kLaterJob, {{QStringLiteral("Server"), QStringLiteral("printhost")},
                                      {QStringLiteral("Pages"), QStringLiteral("2")}});
        log->WriteAudit(QStringLiteral("Job"), QStringLiteral("Pause Job"));
        EXPECT_EQ(log->pendingCount(), 2);
    }
    log->WriteAudit(QStringLiteral("Program"), QStringLiteral("Spoolwright Shutdown"));

    EXPECT_EQ(heard, QList<int>({1, 2, 3, 0, 1, 2, 0}));
    EXPECT_EQ(read(QStringLiteral("SELECT \"Time\", \"Action\", \"Description\" FROM SWR_Audit "
                                  "ORDER BY rowid"))
                  .rows.mid(2),
              QList<QStringList>({{"2001-03-05 09:05:00", "Program", "Spoolwright Started"},
                                  {"2001-03-05 09:06:00", "Program", "Spoolwright Started"},
                                  {"2001-03-05 09:07:00", "Job", "Pause Job"},
                                  {"2001-03-05 09:07:00", "Program", "Spoolwright Shutdown"}}));
    EXPECT_EQ(read(QStringLiteral("SELECT \"TransactionID\", \"Server\", \"Pages\", "
                                  "\"Comments\" FROM SWR_Log ORDER BY rowid"))
                  .rows,
              QList<QStringList>(
                  {{kJob, "printhost", kNull, "held"}, {kLaterJob, "printhost", "2", kNull}}));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(QDir(folderPath()).entryList(QDir::Files), QStringList({"swr.db"}));
}
