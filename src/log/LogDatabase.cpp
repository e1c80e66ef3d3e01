#include "log/LogDatabase.h"

#include "log/KeptRows.h"
#include "log/SharedLog.h"
#include "log/SqliteHandle.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <atomic>

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kFileName = QStringLiteral("swr.db");

// The longest the window waits for another program's lock on the log in one
// operation, all its statements together.
constexpr qint64 kWaitMs = 1000;

// SQLite's primary result codes, as the driver reports them (an extended code carries
// its primary one in the low byte).
enum ResultCode {
    kPermission = 3,
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoError = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kAuthorization = 23,
    kNotADatabase = 26,
};

int resultCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
}

// The statements that look at a file are sound, so an error of theirs that is not
// about getting at the file (rights, a lock, the disk) comes of the file, which is then
// no log: SQLite's "unsupported file format", "string or blob too big" from a damaged
// schema, or running out of memory on a small file.
bool isFileError(const QSqlError& error) {
    switch (resultCode(error)) {
    case -1:
    case kPermission:
    case kBusy:
    case kLocked:
    case kReadOnly:
    case kIoError:
    case kFull:
    case kCantOpen:
    case kAuthorization:
        return false;
    default:
        return true;
    }
}

// Empty text is stored as NULL, so that a column nobody filled and a column emptied
// on purpose ("Deleted Pages" of a released job) read the same to the views.
QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// Column names come from callers and cannot be bound; quoting them as identifiers
// keeps any name, whatever it holds, from changing the statement.
QString quoted(const QString& identifier) {
    QString inner = identifier;
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

// The log file in the LogPath folder. With no folder there is no log: the bare name
// would land in whatever folder the program happened to be started from.
QString logFileIn(const QString& folder) {
    return folder.isEmpty() ? QString() : QDir(folder).absoluteFilePath(kFileName);
}

// Holds the lock of a folder while it lives, so that two copies of the program do
// not make a log in it at once; where the folder cannot be locked (some network
// file systems), the making of the file alone keeps them apart.
class FolderLock {
public:
    explicit FolderLock(const QString& folder)
        : fd_(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FolderLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

QString newConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("spoolwright-log-%1").arg(++counter);
}

// A column named twice keeps its last value, as two writes in a row would.
QList<LogField> lastValues(const QList<LogField>& fields) {
    QList<LogField> columns;
    for (const LogField& field : fields) {
        auto same = std::find_if(columns.begin(), columns.end(), [&](const LogField& seen) {
            return seen.column.compare(field.column, Qt::CaseInsensitive) == 0;
        });
        if (same != columns.end())
            same->value = field.value;
        else
            columns.append(field);
    }
    return columns;
}

} // namespace

// Every public operation is one of these: it sets how long the operation may wait
// for the log, and when the outermost one ends, the observer and the operator hear
// what changed. Nothing is shown in the middle of an operation, because a message
// box lets the window's timers and events run, and they may use the log themselves.
class LogDatabase::Operation {
public:
    explicit Operation(LogDatabase& log) : log_(log) {
        // Rows that wait mean the log was found held: then an operation only tries,
        // without waiting, so that a lock held for long costs the window one wait in
        // all rather than one per operation or per tick of its timer.
        if (log_.operationDepth_++ == 0)
            log_.waitLimit_.setRemainingTime(log_.pending_.empty() ? kWaitMs : 0);
    }
    ~Operation() {
        if (--log_.operationDepth_ == 0)
            log_.finishOperation();
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    LogDatabase& log_;
};

LogDatabase::WriteTogether::WriteTogether(LogDatabase& log)
    : log_(log), operation_(std::make_unique<Operation>(log)) {
    ++log_.heldBack_;
}

LogDatabase::WriteTogether::~WriteTogether() {
    if (--log_.heldBack_ == 0)
        log_.writeBacklog();
}

LogDatabase::LogDatabase(ContextSource context, QString programFolder,
                         const Environment& environment, const Clock& clock, Prompter& prompter)
    : context_(std::move(context)), programFolder_(std::move(programFolder)),
      environment_(environment), clock_(clock), prompter_(prompter),
      connectionName_(newConnectionName()) {}

LogDatabase::~LogDatabase() {
    CloseLogDatabase();
    if (QSqlDatabase::contains(connectionName_))
        QSqlDatabase::removeDatabase(connectionName_);
}

QString LogDatabase::filePath() const {
    const QString logPath = context_().logPath;
    return SharedLog::isSharedLogPath(logPath) ? QString() : logFileIn(logPath);
}

bool LogDatabase::isShared() const {
    return SharedLog::isSharedLogPath(context_().logPath);
}

// The rows a shared log could not take wait in the settings folder, which is this
// station's own.
QString LogDatabase::keptRowsFile() const {
    return isShared() ? QDir(environment_.appData()).filePath(QStringLiteral("shared-log"))
                      : filePath();
}

// One connection name for the log, whichever driver its kind of log needs now.
QSqlDatabase LogDatabase::databaseFor(const QString& driver) {
    if (QSqlDatabase::contains(connectionName_)) {
        if (QSqlDatabase::database(connectionName_, false).driverName() == driver)
            return QSqlDatabase::database(connectionName_, false);
        QSqlDatabase::removeDatabase(connectionName_);
    }
    return QSqlDatabase::addDatabase(driver, connectionName_);
}

QSqlDatabase LogDatabase::connection() const {
    return QSqlDatabase::database(connectionName_, false);
}

void LogDatabase::setBacklogObserver(std::function<void(int)> observer) {
    backlogObserver_ = std::move(observer);
}

QString LogDatabase::backlogText(int waiting) {
    if (waiting <= 0)
        return QString();
    return QStringLiteral("Log busy, %1 rows waiting").arg(waiting);
}

bool LogDatabase::OpenLogDatabase() {
    Operation operation(*this);
    return openWritingBacklog() == Access::Open;
}

void LogDatabase::CloseLogDatabase() {
    statements_.clear(); // a shared log keeps its statements prepared while it is open
    if (QSqlDatabase::contains(connectionName_))
        QSqlDatabase::database(connectionName_, false).close();
    openPath_.clear();
    openIdentity_ = {};
}

void LogDatabase::flushPending() {
    if (pending_.empty())
        return;
    Operation operation(*this);
    writeBacklog();
}

void LogDatabase::WriteAudit(const QString& action, const QString& description) {
    writeAudits(action, {description});
}

void LogDatabase::writeAudits(const QString& action, const QStringList& descriptions) {
    if (!context_().audit || descriptions.isEmpty())
        return;
    Operation operation(*this);
    // The rows keep the time of the action, however long they have to wait. The
    // operator is looked up once for them all: each look-up reads the system's files.
    const QString now = DateText::format(clock_.now());
    const QString user = environment_.userName();
    const QString computer = environment_.computerName();
    QList<PendingWrite> writes;
    writes.reserve(descriptions.size());
    for (const QString& description : descriptions)
        writes.append({PendingWrite::Kind::Audit,
                       QString(),
                       {{QStringLiteral("Time"), now},
                        {QStringLiteral("Action"), action},
                        {QStringLiteral("Description"), description},
                        {QStringLiteral("SWR User"), user},
                        {QStringLiteral("SWR Computer"), computer}}});
    enqueue(writes);
    writeBacklog();
}

void LogDatabase::SetLogField(const QString& transactionId, const QString& column,
                              const QString& value) {
    setLogFields(transactionId, {{column, value}});
}

void LogDatabase::setLogFields(const QString& transactionId, const QList<LogField>& fields) {
    Operation operation(*this);
    enqueue({{PendingWrite::Kind::Fields, transactionId, fields}});
    writeBacklog();
}

void LogDatabase::logNewRows(const QList<LogRow>& rows) {
    logNewRowsAndFields(rows, {});
}

void LogDatabase::setLogFieldsOfRows(const QList<LogRow>& rows) {
    logNewRowsAndFields({}, rows);
}

void LogDatabase::logNewRowsAndFields(const QList<LogRow>& newRows,
                                      const QList<LogRow>& fieldRows) {
    if (newRows.isEmpty() && fieldRows.isEmpty())
        return;
    Operation operation(*this);
    QList<PendingWrite> writes;
    for (const LogRow& row : newRows)
        writes.append({PendingWrite::Kind::NewRow, row.transactionId, row.fields});
    for (const LogRow& row : fieldRows)
        writes.append({PendingWrite::Kind::Fields, row.transactionId, row.fields});
    enqueue(writes);
    writeBacklog();
}

QHash<QString, QString> LogDatabase::logFieldOfRows(const QStringList& transactionIds,
                                                    const QString& column) {
    QHash<QString, QString> found;
    if (transactionIds.isEmpty())
        return found;
    Operation operation(*this);
    if (openWritingBacklog() == Access::Open) {
        QSqlDatabase db = connection();
        limitWait(db);
        // A shared log holds the jobs of every server: these are the server box's.
        const bool shared = isShared();
        const QString server = shared ? context_().server : QString();
        // In slices, so that no statement holds more values than SQLite takes.
        constexpr int kSlice = 500;
        for (int start = 0; start < transactionIds.size(); start += kSlice) {
            const QStringList slice = transactionIds.mid(start, kSlice);
            QSqlQuery read(db);
            read.setForwardOnly(true);
            read.prepare(
                QStringLiteral("SELECT \"TransactionID\", %1 FROM SWR_Log WHERE "
                               "\"TransactionID\" IN (?%2) AND %1 IS NOT NULL%3")
                    .arg(quoted(column), QStringLiteral(", ?").repeated(slice.size() - 1),
                         shared ? QStringLiteral(" AND COALESCE(\"Server\", '') = ?") : QString()));
            for (const QString& id : slice)
                read.addBindValue(id);
            if (shared)
                read.addBindValue(server);
            if (!read.exec()) {
                if (outcomeOf(read.lastError()) == Outcome::Damaged)
                    CloseLogDatabase();
                break;
            }
            while (read.next()) {
                const QString value = read.value(1).toString();
                if (!value.isEmpty() && !found.contains(read.value(0).toString()))
                    found.insert(read.value(0).toString(), value);
            }
        }
    }
    // Rows that wait to be written say what the log will hold.
    const QSet<QString> asked(transactionIds.begin(), transactionIds.end());
    for (const PendingWrite& write : pending_)
        if (write.kind != PendingWrite::Kind::Audit && asked.contains(write.transactionId))
            for (const LogField& field : write.fields)
                if (field.column == column && !field.value.isEmpty() &&
                    (write.kind == PendingWrite::Kind::Fields ||
                     !found.contains(write.transactionId)))
                    found.insert(write.transactionId, field.value);
    return found;
}

bool LogDatabase::LogRowExists(const QString& transactionId) {
    Operation operation(*this);
    // A job whose row waits to be written has been logged: the caller must not take
    // it for a new one.
    for (const PendingWrite& write : pending_)
        if (write.kind != PendingWrite::Kind::Audit && write.transactionId == transactionId)
            return true;
    if (openWritingBacklog() != Access::Open)
        return false;
    QSqlDatabase db = connection();
    limitWait(db);
    // The query ends with this function, so no read lock outlives the look-up.
    QSqlQuery exists(db);
    exists.setForwardOnly(true);
    const bool shared = isShared();
    exists.prepare(
        QStringLiteral("SELECT 1 FROM SWR_Log WHERE \"TransactionID\" = ?%1 LIMIT 1")
            .arg(shared ? QStringLiteral(" AND COALESCE(\"Server\", '') = ?") : QString()));
    exists.addBindValue(transactionId);
    if (shared)
        exists.addBindValue(context_().server);
    if (exists.exec() && exists.next())
        return true;
    // Looked at again, and replaced when it is damaged, by the next operation.
    if (outcomeOf(exists.lastError()) == Outcome::Damaged)
        CloseLogDatabase();
    return false;
}

void LogDatabase::enqueue(QList<PendingWrite> writes) {
    if (isShared())
        addServerTo(writes);
    for (PendingWrite& write : writes) {
        if (pending_.size() >= size_t(kMostWaiting))
            return;
        pending_.push_back(std::move(write));
    }
}

// Whoever reads the log sees the rows that waited, and a log made just now begins
// with its own rows.
LogDatabase::Access LogDatabase::openWritingBacklog() {
    writeBacklog();
    if (open() == Access::Open && !pending_.empty())
        writeBacklog();
    return open();
}

void LogDatabase::takeKeptRows() {
    keptRowsTaken_ = true;
    const QString log = keptRowsFile();
    if (log.isEmpty())
        return;
    // They were waiting before anything of this run.
    const TakenRows kept = takeKeptRowsOf(log);
    pending_.insert(pending_.begin(), kept.rows.begin(), kept.rows.end());
    for (const auto& [file, aside] : kept.unreadable)
        tell(aside.isEmpty()
                 ? QStringLiteral("The log rows kept in %1 could not be read, and the file could "
                                  "not be moved aside.")
                       .arg(QDir::toNativeSeparators(file))
                 : QStringLiteral("The log rows kept in %1 could not be read. The file has been "
                                  "kept as %2.")
                       .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(aside)));
}

void LogDatabase::keepWaitingRows() {
    const QString log = keptRowsFile();
    if (pending_.empty() || log.isEmpty())
        return;
    const QString runTag = clock_.now().toString(QStringLiteral("yyyyMMddHHmmsszzz")) +
                           QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
    Operation operation(*this);
    QString whyNot;
    if (!keepRows(log, runTag, pending_, &whyNot)) {
        // The operator's last chance at them: the rows themselves, in the message.
        tell(QStringLiteral("%1 log rows could not be kept (%2). They were:\n%3")
                 .arg(pending_.size())
                 .arg(whyNot, keptRowsText(pending_)));
    }
    pending_.clear();
}

void LogDatabase::writeBacklog() {
    if (heldBack_ > 0)
        return;
    if (!keptRowsTaken_)
        takeKeptRows();
    if (isShared()) {
        writeSharedBacklog();
        return;
    }
    // A log found damaged while it is written is looked at again at once and, when it
    // is damaged indeed, replaced: the rows then go into the new log.
    for (int attempt = 0; attempt < 2 && !pending_.empty(); ++attempt) {
        const Access access = open();
        if (access == Access::Unavailable)
            return;
        if (access == Access::None) {
            // No log can be had at all (no folder, no template, a damaged file that
            // cannot be moved aside): nothing is logged.
            pending_.clear();
            return;
        }
        switch (writeAllWaiting()) {
        case Outcome::Written:
        case Outcome::Failed:
            pending_.clear();
            told_.clear(); // a later problem is worth telling again
            return;
        case Outcome::Unavailable:
            return;
        case Outcome::ReadOnly:
            tell(QStringLiteral("The log file %1 cannot be written. Nothing will be logged "
                                "until it can be written again.")
                     .arg(QDir::toNativeSeparators(openPath_)));
            pending_.clear();
            return;
        case Outcome::Damaged:
            CloseLogDatabase();
            break;
        }
    }
}

LogDatabase::Outcome LogDatabase::outcomeOf(const QSqlError& error) {
    switch (resultCode(error)) {
    case kBusy:
    case kLocked:
    case kIoError:
    case kFull:
        return Outcome::Unavailable;
    case kCorrupt:
    case kNotADatabase:
        return Outcome::Damaged;
    case kReadOnly:
        return Outcome::ReadOnly;
    default:
        return Outcome::Failed;
    }
}

LogDatabase::Outcome LogDatabase::writeAllWaiting() {
    QSqlDatabase db = connection();
    // All that waits goes in one transaction: written whole, in order and with a
    // single sync, or not at all and still waiting. IMMEDIATE takes the write lock at
    // the start, so that the operation's one wait for another program is here.
    limitWait(db);
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        const Outcome outcome = outcomeOf(begin.lastError());
        return outcome == Outcome::Failed ? Outcome::Unavailable : outcome;
    }
    Outcome outcome = Outcome::Written;
    for (const PendingWrite& write : pending_) {
        outcome = apply(db, write);
        if (outcome != Outcome::Written)
            break;
    }
    // Nothing of the transaction's statements, nor what it found, may outlive it.
    statements_.clear();
    rowids_.clear();
    if (outcome == Outcome::Written) {
        limitWait(db);
        QSqlQuery commit(db);
        if (commit.exec(QStringLiteral("COMMIT")))
            return Outcome::Written;
        outcome = outcomeOf(commit.lastError());
        if (outcome == Outcome::Failed)
            outcome = Outcome::Unavailable;
    }
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return outcome;
}

// Written, or the reason the whole backlog must stop. A statement refused for itself
// (a column that is no column) is skipped, as it always was, and holds nothing up.
LogDatabase::Outcome LogDatabase::apply(QSqlDatabase& db, const PendingWrite& write) {
    switch (write.kind) {
    case PendingWrite::Kind::Audit:
        return insertAudit(db, write.fields);
    case PendingWrite::Kind::Fields:
        return setFields(db, write.transactionId, write.fields);
    case PendingWrite::Kind::NewRow: {
        std::optional<qint64> rowid;
        const Outcome found = findRow(db, write.transactionId, &rowid);
        if (found != Outcome::Written)
            return found == Outcome::Failed ? Outcome::Written : found;
        if (rowid)
            return Outcome::Written; // the job is in the log already
        return setFields(db, write.transactionId, write.fields);
    }
    }
    return Outcome::Written;
}

LogDatabase::Outcome LogDatabase::insertAudit(QSqlDatabase& db, const QList<LogField>& columns) {
    QStringList names;
    for (const LogField& field : columns)
        names << quoted(field.column);
    QSqlQuery& insert = prepared(db, QStringLiteral("INSERT INTO SWR_Audit (%1) VALUES (?%2)")
                                         .arg(names.join(QStringLiteral(", ")),
                                              QStringLiteral(", ?").repeated(columns.size() - 1)));
    for (int i = 0; i < columns.size(); ++i)
        insert.bindValue(i, textOrNull(columns.at(i).value));
    if (insert.exec())
        return Outcome::Written;
    const Outcome outcome = outcomeOf(insert.lastError());
    return outcome == Outcome::Failed ? Outcome::Written : outcome;
}

LogDatabase::Outcome LogDatabase::setFields(QSqlDatabase& db, const QString& transactionId,
                                            const QList<LogField>& fields) {
    const Outcome together = setFieldsAtOnce(db, transactionId, fields);
    if (together != Outcome::Failed)
        return together;
    // Should a column be refused, the others are still written, as one write per
    // column would write them, and may make the row.
    rowids_.remove(transactionId);
    for (const LogField& field : fields) {
        const Outcome outcome = setField(db, transactionId, field.column, field.value);
        if (outcome != Outcome::Written && outcome != Outcome::Failed)
            return outcome;
    }
    return Outcome::Written;
}

LogDatabase::Outcome LogDatabase::setField(QSqlDatabase& db, const QString& transactionId,
                                           const QString& column, const QString& value) {
    // Only the first row of a key is edited, should another program have added a
    // second one.
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE SWR_Log SET %1 = ? WHERE rowid = (SELECT rowid FROM "
                                  "SWR_Log WHERE \"TransactionID\" = ? ORDER BY rowid LIMIT 1)")
                       .arg(quoted(column)));
    update.addBindValue(textOrNull(value));
    update.addBindValue(transactionId);
    if (!update.exec())
        return outcomeOf(update.lastError());
    if (update.numRowsAffected() > 0)
        return Outcome::Written;

    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO SWR_Log (\"TransactionID\", %1) VALUES (?, ?)")
                       .arg(quoted(column)));
    insert.addBindValue(transactionId);
    insert.addBindValue(textOrNull(value));
    return insert.exec() ? Outcome::Written : outcomeOf(insert.lastError());
}

LogDatabase::Outcome LogDatabase::setFieldsAtOnce(QSqlDatabase& db, const QString& transactionId,
                                                  const QList<LogField>& fields) {
    const QList<LogField> columns = lastValues(fields);
    if (columns.isEmpty())
        return Outcome::Written;

    std::optional<qint64> rowid;
    if (const Outcome found = findRow(db, transactionId, &rowid); found != Outcome::Written)
        return found;

    QStringList names;
    for (const LogField& field : columns)
        names << quoted(field.column);
    QList<QVariant> values;
    for (const LogField& field : columns)
        values << textOrNull(field.value);
    QString sql;
    if (rowid) {
        sql = QStringLiteral("UPDATE SWR_Log SET %1 = ? WHERE rowid = ?")
                  .arg(names.join(QStringLiteral(" = ?, ")));
        values.append(*rowid);
    } else {
        sql = QStringLiteral("INSERT INTO SWR_Log (\"TransactionID\", %1) VALUES (?%2)")
                  .arg(names.join(QStringLiteral(", ")),
                       QStringLiteral(", ?").repeated(columns.size()));
        values.prepend(transactionId);
    }
    QSqlQuery& write = prepared(db, sql);
    for (int i = 0; i < values.size(); ++i)
        write.bindValue(i, values.at(i));
    if (!write.exec())
        return outcomeOf(write.lastError());
    if (!rowid)
        rowids_.insert(transactionId, write.lastInsertId().toLongLong());
    return Outcome::Written;
}

// The rowid of the first row with this key (none when the log has none), remembered
// for the rest of the transaction, which holds the log's write lock: a job that is
// logged and marked in one transaction is looked up once.
LogDatabase::Outcome LogDatabase::findRow(QSqlDatabase& db, const QString& transactionId,
                                          std::optional<qint64>* rowid) {
    if (const auto known = rowids_.constFind(transactionId); known != rowids_.cend()) {
        *rowid = *known;
        return Outcome::Written;
    }
    QSqlQuery& find = prepared(
        db, QStringLiteral(
                "SELECT rowid FROM SWR_Log WHERE \"TransactionID\" = ? ORDER BY rowid LIMIT 1"));
    find.bindValue(0, transactionId);
    if (!find.exec())
        return outcomeOf(find.lastError());
    *rowid = find.next() ? std::optional<qint64>(find.value(0).toLongLong()) : std::nullopt;
    find.finish();
    rowids_.insert(transactionId, *rowid);
    return Outcome::Written;
}

LogDatabase::Access LogDatabase::open() {
    const LogContext context = context_();
    if (SharedLog::isSharedLogPath(context.logPath))
        return openShared(context);
    const QString path = logFileIn(context.logPath);
    if (path.isEmpty())
        return Access::None;
    if (connectionIsCurrent(path))
        return Access::Open;

    CloseLogDatabase();
    bool created = false;
    if (!QFileInfo::exists(path)) {
        const SafeFile::Created made = createFromTemplate(path);
        if (made == SafeFile::Created::Failed)
            return Access::None;
        created = made == SafeFile::Created::New;
    }
    if (!connect(path))
        return Access::None;

    if (!created) {
        switch (check()) {
        case Outcome::Written:
            break;
        case Outcome::Damaged: {
            CloseLogDatabase();
            // Without a template no new log could take its place: leave it be.
            if (!templateExists())
                return Access::None;
            QString kept;
            if (!moveAside(path, &kept)) {
                tell(QStringLiteral("The log file %1 is damaged and could not be moved aside. "
                                    "Nothing will be logged until it is repaired or removed.")
                         .arg(QDir::toNativeSeparators(path)));
                return Access::None;
            }
            const SafeFile::Created made = createFromTemplate(path);
            if (made == SafeFile::Created::Failed || !connect(path))
                return Access::None;
            created = made == SafeFile::Created::New;
            tell(QStringLiteral("The log file was damaged and has been kept as %1. A new log "
                                "file was created.")
                     .arg(QDir::toNativeSeparators(kept)));
            break;
        }
        case Outcome::Unavailable:
            // Another program holds it (or the disk fails): looked at again next time.
            CloseLogDatabase();
            return Access::Unavailable;
        default:
            // It cannot be read at all (no rights): no log, as ever.
            CloseLogDatabase();
            return Access::None;
        }
        if (!created && !QFileInfo(path).isWritable())
            tell(QStringLiteral("The log file %1 cannot be written. Nothing will be logged "
                                "until it can be written again.")
                     .arg(QDir::toNativeSeparators(path)));
    }

    // A new log begins with its own rows, before anything that waited for it.
    if (created && context.audit) {
        const QList<PendingWrite> first = newLogRows(context);
        pending_.insert(pending_.begin(), first.begin(), first.end());
    }
    return Access::Open;
}

QList<LogDatabase::PendingWrite> LogDatabase::newLogRows(const LogContext& context) const {
    const QString time = DateText::format(clock_.now());
    auto audit = [&](const QString& action, const QString& description) {
        return PendingWrite{PendingWrite::Kind::Audit,
                            QString(),
                            {{QStringLiteral("Time"), time},
                             {QStringLiteral("Action"), action},
                             {QStringLiteral("Description"), description},
                             {QStringLiteral("SWR User"), environment_.userName()},
                             {QStringLiteral("SWR Computer"), environment_.computerName()}}};
    };
    QList<PendingWrite> rows{audit(QStringLiteral("Log"), QStringLiteral("New log file created.")),
                             audit(QStringLiteral("Queue"), QStringLiteral("Current Queue ") +
                                                                context.server + QLatin1Char('-') +
                                                                context.queue)};
    if (context.autoQueue)
        rows.append(audit(QStringLiteral("AutoQueue"), QStringLiteral("AutoQueue Enabled")));
    return rows;
}

bool LogDatabase::connectionIsCurrent(const QString& path) const {
    return !openPath_.isEmpty() && openPath_ == path && connection().isOpen() &&
           LogFileIdentity::of(path) == openIdentity_;
}

bool LogDatabase::templateExists() const {
    return QFileInfo::exists(QDir(programFolder_).filePath(kFileName));
}

// Another copy of the program may make the log at the same moment: the log appears
// whole under its name, made by one of them, and the other uses it as it finds it.
SafeFile::Created LogDatabase::createFromTemplate(const QString& path) const {
    QFile source(QDir(programFolder_).filePath(kFileName));
    if (!source.open(QIODevice::ReadOnly))
        return SafeFile::Created::Failed;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return SafeFile::Created::Failed;
    FolderLock making(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path))
        return SafeFile::Created::Exists;
    // A journal left behind by a log that was deleted would be played back into the
    // fresh copy and spoil it. Under the lock no other copy is making the log, and
    // none has one to write to, so the journal is nobody's.
    QFile::remove(path + QStringLiteral("-journal"));
    // The copy is the operator's and writable, whatever rights the template has.
    return SafeFile::createFileContents(path, bytes);
}

bool LogDatabase::connect(const QString& path) {
    QSqlDatabase db = databaseFor(QStringLiteral("QSQLITE"));
    // mode=rw: a file that vanished since it was looked for must not come back as an
    // empty database without tables, which would silently swallow every later write.
    // A file that cannot be written is opened for reading, so reports still work.
    db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                       QStringLiteral("?mode=rw"));
    // How long a statement may wait for another program is set before each one that
    // takes a lock (limitWait), so that the waits of one operation add up to kWaitMs.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=0"));
    if (!db.open())
        return false;
    // The log keeps its rollback journal (never write-ahead logging), so that between
    // operations the whole log is in swr.db itself, for others to copy or replace.
    openPath_ = path;
    openIdentity_ = LogFileIdentity::of(path);
    if (openIdentity_.exists)
        return true;
    CloseLogDatabase();
    return false;
}

// Whether the file just opened is a log: an SQLite database whose pages are sound and
// which holds both tables. Written when it is, Damaged when it is not, Unavailable
// when another program's lock keeps it from being read now (a locked log is no
// damaged one), Failed when it cannot be read at all.
LogDatabase::Outcome LogDatabase::check() {
    QSqlDatabase db = connection();
    limitWait(db);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA quick_check(1)")))
        return isFileError(query.lastError()) ? Outcome::Damaged : outcomeOf(query.lastError());
    if (!query.next() || query.value(0).toString() != QLatin1String("ok"))
        return Outcome::Damaged;
    query.finish();
    // A header asking for a newer way of writing than this SQLite knows makes it open
    // the file for reading only, whatever its rights allow: every row would be refused.
    if (sqlite3* handle = sqliteHandle(db);
        handle && sqlite3_db_readonly(handle, "main") == 1 && QFileInfo(openPath_).isWritable())
        return Outcome::Damaged;
    limitWait(db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                   "AND name IN ('SWR_Log', 'SWR_Audit')")))
        return isFileError(query.lastError()) ? Outcome::Damaged : outcomeOf(query.lastError());
    // An empty file reads as a sound database without tables.
    if (!query.next() || query.value(0).toInt() != 2)
        return Outcome::Damaged;
    query.finish();
    return checkColumns(db);
}

// Whether the log's tables have every column the template's have: a log whose tables
// lack one would refuse every row written to it, and the rows would be lost.
LogDatabase::Outcome LogDatabase::checkColumns(QSqlDatabase& db) {
    if (!templateExists())
        return Outcome::Written;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("ATTACH DATABASE ? AS template"));
    query.addBindValue(
        QUrl::fromLocalFile(QDir(programFolder_).filePath(kFileName)).toString(QUrl::FullyEncoded) +
        QStringLiteral("?mode=ro"));
    if (!query.exec())
        return Outcome::Written; // the template cannot tell: the tables will do
    limitWait(db);
    // Column names are matched without regard to case, as SQLite matches them.
    const bool read = query.exec(QStringLiteral(
        "SELECT count(*) FROM (SELECT t.name, lower(c.name) FROM template.sqlite_master t, "
        "pragma_table_info(t.name, 'template') c WHERE t.type = 'table' EXCEPT "
        "SELECT t.name, lower(c.name) FROM main.sqlite_master t, "
        "pragma_table_info(t.name, 'main') c WHERE t.type = 'table')"));
    const Outcome outcome = !read && isFileError(query.lastError()) ? Outcome::Damaged
                            : !read                                 ? outcomeOf(query.lastError())
                            : !query.next()                         ? Outcome::Failed
                            : query.value(0).toInt() == 0           ? Outcome::Written
                                                                    : Outcome::Damaged;
    query.finish();
    query.exec(QStringLiteral("DETACH DATABASE template"));
    return outcome;
}

// Renames the damaged log (and its journal, which belongs to it) to
// "swr.db.damaged-<yyyyMMdd-HHmmss>" beside it, so that nothing of it is lost.
bool LogDatabase::moveAside(const QString& path, QString* kept) const {
    const QString base = path + QStringLiteral(".damaged-") +
                         clock_.now().toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(path, name))
        return false;
    const QString journal = path + QStringLiteral("-journal");
    if (QFileInfo::exists(journal))
        QFile::rename(journal, name + QStringLiteral("-journal"));
    *kept = name;
    return true;
}

// Thousands of rows written in one transaction (a first listing) use a few kinds of
// statement over and over: each is prepared once for the transaction.
QSqlQuery& LogDatabase::prepared(QSqlDatabase& db, const QString& sql) {
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
        found = statements_.insert(sql, QSqlQuery(db));
        found->setForwardOnly(true);
        found->prepare(sql);
    }
    return *found;
}

void LogDatabase::limitWait(QSqlDatabase& db) const {
    // A shared log's server limits every statement itself.
    if (db.driverName() != QLatin1String("QSQLITE"))
        return;
    const qint64 left = std::max<qint64>(0, waitLimit_.remainingTime());
    QSqlQuery(db).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(left));
}

// Each message once, until the log is written again.
void LogDatabase::tell(const QString& text) {
    if (told_.contains(text) || notices_.contains(text))
        return;
    told_.insert(text);
    notices_.append(text);
}

void LogDatabase::finishOperation() {
    const int waiting = pendingCount();
    const QStringList notices = std::exchange(notices_, {});
    if (waiting != toldWaiting_) {
        toldWaiting_ = waiting;
        if (backlogObserver_)
            backlogObserver_(waiting);
    }
    for (const QString& text : notices)
        prompter_.message(QStringLiteral("Spoolwright"), text, Prompter::Icon::Exclamation,
                          Prompter::Buttons::Ok);
}

bool LogDatabase::ResetLogDatabase() {
    if (isShared()) {
        Operation operation(*this);
        return resetShared();
    }
    const QString path = filePath();
    const bool archive =
        prompter_.message(QStringLiteral("Warning"),
                          QStringLiteral("Do you want to archive a copy of the database?"),
                          Prompter::Icon::Critical,
                          Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
    bool done = !path.isEmpty();
    {
        Operation operation(*this);
        // Nothing of the file may stay open while it is copied and deleted.
        CloseLogDatabase();
        if (done && archive) {
            const QString archivePath = QFileInfo(path).dir().filePath(archiveName(clock_.now()));
            if (QFileInfo::exists(archivePath))
                done = QFile::remove(archivePath);
            done = done && QFile::copy(path, archivePath);
        }
        if (done && QFileInfo::exists(path)) {
            done = QFile::remove(path);
            if (done)
                QFile::remove(path + QStringLiteral("-journal"));
        }
        // Rows waiting for the old log go with it; the reload logs the current jobs anew.
        if (done)
            pending_.clear();
    }
    if (!done) {
        prompter_.message(QStringLiteral("Spoolwright"),
                          QStringLiteral("Error deleting log file - Check permissions"),
                          Prompter::Icon::Critical, Prompter::Buttons::Ok);
    }
    return done;
}

QString LogDatabase::archiveName(const QDateTime& when) {
    const QDateTime local = when.toLocalTime();
    const QDate date = local.date();
    const QTime time = local.time();
    // Plain numbers without leading zeros, hour and minute run together: 9:05 is "95".
    return QStringLiteral("%1-%2-%3-%4%5-swr.db")
        .arg(date.year())
        .arg(QLocale::system().monthName(date.month(), QLocale::LongFormat))
        .arg(date.day())
        .arg(time.hour())
        .arg(time.minute());
}
