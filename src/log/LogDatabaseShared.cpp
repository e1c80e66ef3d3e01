// The log's operations on a shared log (a PostgreSQL server), beside those on the
// local SQLite file in LogDatabase.cpp.
#include "log/JobLogRow.h"
#include "log/KeptRows.h"
#include "log/LogDatabase.h"
#include "log/SharedLog.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace {

// Rows written in one transaction. A long backlog (after the server was away) goes
// in batch after batch while the operation may wait, and over the next ticks of the
// window's timer after that.
constexpr size_t kBatch = 500;
// The least and most an attempt to reach the server waits.
constexpr qint64 kLeastConnectMs = 250;
constexpr qint64 kMostConnectMs = SharedLog::kStatementLimitMs;

const QString kServer = QStringLiteral("Server");

// The job's key, as the unique index of the schema spells it.
const QString kOnConflict =
    QStringLiteral(" ON CONFLICT (COALESCE(\"Server\", ''), \"TransactionID\") DO ");

const QStringList kAuditColumns{"Time", "Action", "Description", "SWR User", "SWR Computer"};

// The log's own spelling of a column, matched without regard to case as SQLite
// matches the local log's; empty for a column the table does not have.
QString jobColumn(const QString& name) {
    for (int column = 0; column < LogColumn::Count; ++column)
        if (logColumnName(column).compare(name, Qt::CaseInsensitive) == 0)
            return logColumnName(column);
    return QString();
}

QString auditColumn(const QString& name) {
    for (const QString& column : kAuditColumns)
        if (column.compare(name, Qt::CaseInsensitive) == 0)
            return column;
    return QString();
}

// The columns of the table named in the fields, each once with its last value. A
// column the table does not have is left out, as the local log skips it: in one
// transaction on the server a refused statement would refuse all the others.
QList<LogField> knownColumns(const QList<LogField>& fields, QString (*columnOf)(const QString&)) {
    QList<LogField> columns;
    for (const LogField& field : fields) {
        const QString column = columnOf(field.column);
        if (column.isEmpty())
            continue;
        auto same = std::find_if(columns.begin(), columns.end(),
                                 [&](const LogField& seen) { return seen.column == column; });
        if (same != columns.end())
            same->value = field.value;
        else
            columns.append({column, field.value});
    }
    return columns;
}

// Empty text is stored as NULL, as in the local log; a text column cannot hold NUL.
QVariant storedValue(QString text) {
    text.remove(QChar(0));
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QString quotedNames(const QList<LogField>& columns) {
    QStringList names;
    for (const LogField& field : columns)
        names << QLatin1Char('"') + field.column + QLatin1Char('"');
    return names.join(QStringLiteral(", "));
}

} // namespace

void LogDatabase::addServerTo(QList<PendingWrite>& writes) const {
    const QString server = context_().server;
    for (PendingWrite& write : writes) {
        if (write.kind == PendingWrite::Kind::Audit)
            continue;
        const bool named =
            std::any_of(write.fields.begin(), write.fields.end(), [](const LogField& f) {
                return f.column.compare(kServer, Qt::CaseInsensitive) == 0;
            });
        if (!named)
            write.fields.prepend({kServer, server});
    }
}

LogDatabase::Access LogDatabase::openShared(const LogContext& context) {
    const QString uri = context.logPath.trimmed();
    if (openPath_ == uri && connection().isOpen())
        return Access::Open;
    CloseLogDatabase();
    // A server that was away is tried again only after a while, so that one that
    // does not answer costs the window a wait now and then, not at every tick.
    if (failedConnects_ > 0 && !nextConnect_.hasExpired())
        return Access::Unavailable;
    QString whyNot;
    const std::optional<SharedLog::Address> address = SharedLog::addressOf(uri, &whyNot);
    if (!address) {
        tell(whyNot + QStringLiteral(" Nothing will be logged until the log path is corrected."));
        return Access::None;
    }
    QSqlDatabase db = databaseFor(QStringLiteral("QPSQL"));
    const int wait = int(std::clamp(waitLimit_.remainingTime(), kLeastConnectMs, kMostConnectMs));
    bool created = false;
    if (!SharedLog::open(db, *address, wait, &whyNot) ||
        !SharedLog::makeSchema(db, programFolder_, &created, &whyNot)) {
        db.close();
        holdOffServer();
        return Access::Unavailable;
    }
    failedConnects_ = 0;
    openPath_ = uri;
    openIdentity_ = {};
    // A new log begins with its own rows, before anything that waited for it.
    if (created && context.audit) {
        const QList<PendingWrite> first = newLogRows(context);
        pending_.insert(pending_.begin(), first.begin(), first.end());
    }
    return Access::Open;
}

// One second after the first failure, then two, four and at most eight.
void LogDatabase::holdOffServer() {
    CloseLogDatabase();
    failedConnects_ = std::min(failedConnects_ + 1, 4);
    nextConnect_.setRemainingTime(500LL << failedConnects_);
}

void LogDatabase::writeSharedBacklog() {
    size_t batch = kBatch;
    // The first attempt is made whatever the time left, and so is the first row
    // tried alone after a refused batch: each call moves the backlog on.
    for (bool go = true; !pending_.empty() && (go || !waitLimit_.hasExpired());) {
        go = false;
        switch (openShared(context_())) {
        case Access::Unavailable:
            return;
        case Access::None:
            pending_.clear();
            return;
        case Access::Open:
            break;
        }
        const size_t count = std::min(pending_.size(), batch);
        QString whyNot;
        switch (writeShared(count, &whyNot)) {
        case Outcome::Written:
            pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(count));
            told_.clear(); // a later problem is worth telling again
            break;
        case Outcome::Failed:
            // The server refused a row: the batch is written again row by row, so
            // that only the refused one is lost, and the operator told of it.
            if (count > 1) {
                batch = 1;
                go = true;
                break;
            }
            tell(QStringLiteral("The shared log refused a row (%1):\n%2")
                     .arg(whyNot, keptRowsText({pending_.front()})));
            pending_.pop_front();
            break;
        case Outcome::ReadOnly:
            tell(QStringLiteral("The shared log cannot be written by this station (%1). Nothing "
                                "will be logged until it can be written again.")
                     .arg(whyNot));
            pending_.clear();
            return;
        case Outcome::Damaged:
            tell(QStringLiteral("The shared log lacks a table or column of its schema (%1). "
                                "Rows wait until it is repaired.")
                     .arg(whyNot));
            holdOffServer();
            return;
        case Outcome::Unavailable:
            holdOffServer();
            return;
        }
    }
}

// The first count waiting rows in one transaction: all written, or none.
LogDatabase::Outcome LogDatabase::writeShared(size_t count, QString* whyNot) {
    QSqlDatabase db = connection();
    QSqlError error;
    Outcome outcome = Outcome::Written;
    QSqlQuery transaction(db);
    if (!transaction.exec(QStringLiteral("BEGIN"))) {
        error = transaction.lastError();
        outcome = Outcome::Unavailable;
    }
    for (size_t i = 0; i < count && outcome == Outcome::Written; ++i)
        outcome = applyShared(db, pending_[i], &error);
    if (outcome == Outcome::Written) {
        if (transaction.exec(QStringLiteral("COMMIT")))
            return Outcome::Written;
        error = transaction.lastError();
        outcome = Outcome::Unavailable;
    }
    transaction.exec(QStringLiteral("ROLLBACK"));
    *whyNot = error.text();
    return outcome;
}

LogDatabase::Outcome LogDatabase::applyShared(QSqlDatabase& db, const PendingWrite& write,
                                              QSqlError* error) {
    const bool audit = write.kind == PendingWrite::Kind::Audit;
    const QList<LogField> columns = knownColumns(write.fields, audit ? auditColumn : jobColumn);
    QString sql;
    QList<QVariant> values;
    if (audit) {
        if (columns.isEmpty())
            return Outcome::Written;
        sql = QStringLiteral("INSERT INTO SWR_Audit (%1) VALUES (?%2)")
                  .arg(quotedNames(columns), QStringLiteral(", ?").repeated(columns.size() - 1));
    } else {
        // The row is made when missing and, for a write of fields, its columns set:
        // one statement, so that a row another station makes at the same moment is
        // the same row.
        QStringList updates;
        for (const LogField& field : columns)
            if (field.column != kServer)
                updates << QStringLiteral("\"%1\" = EXCLUDED.\"%1\"").arg(field.column);
        if (updates.isEmpty() && write.kind == PendingWrite::Kind::Fields)
            return Outcome::Written;
        sql = QStringLiteral("INSERT INTO SWR_Log (\"TransactionID\", %1) VALUES (?%2)")
                  .arg(quotedNames(columns), QStringLiteral(", ?").repeated(columns.size())) +
              kOnConflict +
              (write.kind == PendingWrite::Kind::NewRow
                   ? QStringLiteral("NOTHING")
                   : QStringLiteral("UPDATE SET ") + updates.join(QStringLiteral(", ")));
        values << write.transactionId;
    }
    for (const LogField& field : columns)
        values << storedValue(field.value);
    QSqlQuery& statement = prepared(db, sql);
    for (int i = 0; i < values.size(); ++i)
        statement.bindValue(i, values.at(i));
    if (statement.exec())
        return Outcome::Written;
    *error = statement.lastError();
    switch (SharedLog::failureOf(*error)) {
    case SharedLog::Failure::NoSchema:
        return Outcome::Damaged;
    case SharedLog::Failure::ReadOnly:
        return Outcome::ReadOnly;
    case SharedLog::Failure::Refused:
        return Outcome::Failed;
    case SharedLog::Failure::Unavailable:
        break;
    }
    return Outcome::Unavailable;
}

bool LogDatabase::resetShared() {
    const LogContext context = context_();
    QString whyNot;
    const std::optional<SharedLog::Address> address =
        SharedLog::addressOf(context.logPath, &whyNot);
    const QString archive = QStringLiteral("swr_archive_") +
                            clock_.now().toLocalTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    if (address &&
        prompter_.message(
            QStringLiteral("Warning"),
            QStringLiteral("The job and audit logs in %1 are shared by every station that uses "
                           "it. They will be moved to the archive schema %2 on that server, and "
                           "new, empty logs made.\n\nReset the shared log?")
                .arg(address->description(), archive),
            Prompter::Icon::Critical, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return false;
    bool done = false;
    if (address) {
        CloseLogDatabase();
        QSqlDatabase db = databaseFor(QStringLiteral("QPSQL"));
        done = SharedLog::open(db, *address, int(kMostConnectMs), &whyNot) &&
               SharedLog::archiveAndRenew(db, programFolder_, archive, &whyNot);
        db.close();
        // Rows waiting for the old log go with it; the reload logs the current jobs
        // anew, after the new log's own rows.
        if (done) {
            pending_.clear();
            if (context.audit) {
                const QList<PendingWrite> first = newLogRows(context);
                pending_.insert(pending_.end(), first.begin(), first.end());
            }
        }
    }
    if (!done)
        prompter_.message(QStringLiteral("Spoolwright"),
                          QStringLiteral("The shared log could not be reset: %1\nNothing was "
                                         "changed.")
                              .arg(whyNot),
                          Prompter::Icon::Critical, Prompter::Buttons::Ok);
    return done;
}
