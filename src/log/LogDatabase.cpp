#include "log/LogDatabase.h"

#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <atomic>

namespace {

const QString kFileName = QStringLiteral("swr.db");

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

QString newConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("spoolwright-log-%1").arg(++counter);
}

} // namespace

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
    return logFileIn(context_().logPath);
}

QSqlDatabase LogDatabase::connection() const {
    return QSqlDatabase::database(connectionName_, false);
}

bool LogDatabase::OpenLogDatabase() {
    const LogContext context = context_();
    const QString path = logFileIn(context.logPath);
    if (path.isEmpty())
        return false;
    if (connectionIsCurrent(path))
        return true;

    CloseLogDatabase();
    bool created = false;
    if (!QFileInfo::exists(path)) {
        if (!createFromTemplate(path))
            return false;
        created = true;
    }
    if (!connect(path))
        return false;
    // Written through the connection just opened: WriteAudit finds it current.
    if (created)
        writeNewLogRows(context);
    return true;
}

void LogDatabase::CloseLogDatabase() {
    if (QSqlDatabase::contains(connectionName_))
        QSqlDatabase::database(connectionName_, false).close();
    openPath_.clear();
    openIdentity_ = {};
}

bool LogDatabase::connectionIsCurrent(const QString& path) const {
    return !openPath_.isEmpty() && openPath_ == path && connection().isOpen() &&
           LogFileIdentity::of(path) == openIdentity_;
}

bool LogDatabase::createFromTemplate(const QString& path) const {
    const QString templatePath = QDir(programFolder_).filePath(kFileName);
    if (!QFileInfo::exists(templatePath))
        return false;
    // A journal left behind by a log that was deleted would be played back into the
    // fresh copy and spoil it.
    QFile::remove(path + QStringLiteral("-journal"));
    if (!QFile::copy(templatePath, path))
        return false;
    // An installed template may be read-only; the operator's copy must not be.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOwner |
                                    QFileDevice::WriteOwner);
    return true;
}

bool LogDatabase::connect(const QString& path) {
    QSqlDatabase db = QSqlDatabase::contains(connectionName_)
                          ? QSqlDatabase::database(connectionName_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    // mode=rw: a file that vanished since it was looked for must not come back as an
    // empty database without tables, which would silently swallow every later write.
    db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                       QStringLiteral("?mode=rw"));
    // Another program holding the file for longer than this makes the write be
    // skipped rather than freeze the window.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1000"));
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

void LogDatabase::writeNewLogRows(const LogContext& context) {
    WriteAudit(QStringLiteral("Log"), QStringLiteral("New log file created."));
    WriteAudit(QStringLiteral("Queue"), QStringLiteral("Current Queue ") + context.server +
                                            QLatin1Char('-') + context.queue);
    if (context.autoQueue)
        WriteAudit(QStringLiteral("AutoQueue"), QStringLiteral("AutoQueue Enabled"));
}

void LogDatabase::WriteAudit(const QString& action, const QString& description) {
    if (!context_().audit)
        return;
    if (!OpenLogDatabase())
        return;
    QSqlQuery insert(connection());
    insert.prepare(QStringLiteral("INSERT INTO SWR_Audit (\"Time\", \"Action\", \"Description\", "
                                  "\"SWR User\", \"SWR Computer\") VALUES (?, ?, ?, ?, ?)"));
    insert.addBindValue(textOrNull(DateText::format(clock_.now())));
    insert.addBindValue(textOrNull(action));
    insert.addBindValue(textOrNull(description));
    insert.addBindValue(textOrNull(environment_.userName()));
    insert.addBindValue(textOrNull(environment_.computerName()));
    insert.exec();
}

bool LogDatabase::setField(QSqlDatabase& db, const QString& transactionId, const QString& column,
                           const QString& value) {
    // Only the first row of a key is edited, should another program have added a
    // second one.
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE SWR_Log SET %1 = ? WHERE rowid = (SELECT rowid FROM "
                                  "SWR_Log WHERE \"TransactionID\" = ? ORDER BY rowid LIMIT 1)")
                       .arg(quoted(column)));
    update.addBindValue(textOrNull(value));
    update.addBindValue(transactionId);
    if (!update.exec())
        return false;
    if (update.numRowsAffected() > 0)
        return true;

    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO SWR_Log (\"TransactionID\", %1) VALUES (?, ?)")
                       .arg(quoted(column)));
    insert.addBindValue(transactionId);
    insert.addBindValue(textOrNull(value));
    return insert.exec();
}

void LogDatabase::SetLogField(const QString& transactionId, const QString& column,
                              const QString& value) {
    if (!OpenLogDatabase())
        return;
    QSqlDatabase db = connection();
    setField(db, transactionId, column, value);
}

void LogDatabase::SetLogFields(const QString& transactionId, const QList<LogField>& fields) {
    if (!OpenLogDatabase())
        return;
    QSqlDatabase db = connection();
    // One commit for the whole job instead of one per column: the disk is synced once.
    const bool batched = db.transaction();
    // Should a column be refused, the others are still written, as SetLogField would
    // write them one by one.
    if (!setFieldsAtOnce(db, transactionId, fields)) {
        for (const LogField& field : fields)
            setField(db, transactionId, field.column, field.value);
    }
    if (batched && !db.commit())
        db.rollback();
}

void LogDatabase::LogNewRows(const QList<LogRow>& rows) {
    if (rows.isEmpty() || !OpenLogDatabase())
        return;
    QSqlDatabase db = connection();
    // A pass over a server's jobs is one transaction: one look-up per job and a
    // single sync for all the jobs it finds new.
    const bool batched = db.transaction();
    {
        QSqlQuery exists(db);
        exists.setForwardOnly(true);
        exists.prepare(QStringLiteral("SELECT 1 FROM SWR_Log WHERE \"TransactionID\" = ? LIMIT 1"));
        for (const LogRow& row : rows) {
            exists.addBindValue(row.transactionId);
            const bool known = exists.exec() && exists.next();
            exists.finish();
            if (!known && !setFieldsAtOnce(db, row.transactionId, row.fields))
                for (const LogField& field : row.fields)
                    setField(db, row.transactionId, field.column, field.value);
        }
    }
    if (batched && !db.commit())
        db.rollback();
}

bool LogDatabase::setFieldsAtOnce(QSqlDatabase& db, const QString& transactionId,
                                  const QList<LogField>& fields) {
    // A column named twice keeps its last value, as two writes in a row would.
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
    if (columns.isEmpty())
        return true;

    QSqlQuery find(db);
    find.setForwardOnly(true);
    find.prepare(QStringLiteral(
        "SELECT rowid FROM SWR_Log WHERE \"TransactionID\" = ? ORDER BY rowid LIMIT 1"));
    find.addBindValue(transactionId);
    if (!find.exec())
        return false;
    const QVariant rowid = find.next() ? find.value(0) : QVariant();
    find.finish();

    QStringList names;
    for (const LogField& field : columns)
        names << quoted(field.column);
    QSqlQuery write(db);
    if (rowid.isValid()) {
        write.prepare(QStringLiteral("UPDATE SWR_Log SET %1 = ? WHERE rowid = ?")
                          .arg(names.join(QStringLiteral(" = ?, "))));
        for (const LogField& field : columns)
            write.addBindValue(textOrNull(field.value));
        write.addBindValue(rowid);
    } else {
        const QString marks = QStringLiteral(", ?").repeated(columns.size());
        write.prepare(QStringLiteral("INSERT INTO SWR_Log (\"TransactionID\", %1) VALUES (?%2)")
                          .arg(names.join(QStringLiteral(", ")), marks));
        write.addBindValue(transactionId);
        for (const LogField& field : columns)
            write.addBindValue(textOrNull(field.value));
    }
    return write.exec();
}

bool LogDatabase::LogRowExists(const QString& transactionId) {
    if (!OpenLogDatabase())
        return false;
    // The query ends with this function, so no read lock outlives the look-up.
    QSqlQuery exists(connection());
    exists.setForwardOnly(true);
    exists.prepare(QStringLiteral("SELECT 1 FROM SWR_Log WHERE \"TransactionID\" = ? LIMIT 1"));
    exists.addBindValue(transactionId);
    return exists.exec() && exists.next();
}

bool LogDatabase::ResetLogDatabase() {
    const QString path = filePath();
    const bool archive =
        prompter_.message(QStringLiteral("Warning"),
                          QStringLiteral("Do you want to archive a copy of the database?"),
                          Prompter::Icon::Critical,
                          Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
    // Nothing of the file may stay open while it is copied and deleted.
    CloseLogDatabase();

    bool done = !path.isEmpty();
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
