#pragma once

#include "log/LogFileIdentity.h"
#include "platform/SafeFile.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class Clock;
class Environment;
class Prompter;
class QSqlError;

// What the log needs to know of the program at the moment of an operation. Read
// afresh for every operation, because the operator may change the settings (and the
// window its server and queue) at any time.
struct LogContext {
    QString logPath;        // the LogPath setting: the folder of swr.db or a shared log's URI
    bool audit = false;     // the Audit setting: whether audit rows are written
    QString server;         // the server box's text, for a new log's first rows
    QString queue;          // the queue box's text, likewise
    bool autoQueue = false; // whether AutoQueue is on, likewise
};

// One column of a job's log row and the text to store in it.
struct LogField {
    QString column;
    QString value;
};

// A job's row of the log: its key and the columns to fill.
struct LogRow {
    QString transactionId;
    QList<LogField> fields;
};

// The per-user log database swr.db: the job log SWR_Log, keyed by TransactionID,
// and the audit trail SWR_Audit. These operations are the only way into it.
//
// The file stays the operator's: between operations no transaction or lock is held
// and every change is on disk, so another program may read, copy, replace or delete
// the file at any time. The connection is kept for the next operation only while the
// file at LogPath is still the one it opened; a file that was deleted is made again
// from the template (with the rows of a new log) and a replaced one is reopened.
//
// The window never waits for the log for more than one second in one operation, and
// while rows wait it does not wait at all. A row that cannot be written because
// another program holds the log (or the disk is full) waits in memory, in order, and
// is written by the next operation or by flushPending(), before anything newer; the
// backlog observer hears how many wait.
//
// A log that is not a log (empty, truncated, corrupt, not a database, without the two
// tables or without a column of the template's tables) is moved aside as
// "swr.db.damaged-<yyyyMMdd-HHmmss>" and a new one is made from the template; a log
// that cannot be written is left alone. The operator is told of each once. Other
// failures are silent: a log that cannot be had at all (no folder, no template) leaves
// logging, reports and statistics empty.
//
// A LogPath that is a PostgreSQL URI names a shared log instead (log/SharedLog.h): the
// same tables and views on a database server, made on first use, written by every
// station of a site. There a job's row is its server and TransactionID together, made
// by an insert that does nothing when the row exists, so that two stations never make
// two rows of one job; the server of a write that names none is the server box's. A
// server that is down or slow makes rows wait in memory exactly as a busy local log
// does; rows still waiting at the end are kept in the settings folder.
class LogDatabase {
    class Operation; // one public operation, from its start to its end

public:
    using ContextSource = std::function<LogContext()>;

    // programFolder holds the template swr.db; USERNAME and COMPUTERNAME come from the
    // environment, the time of audit rows and archive names from the clock.
    LogDatabase(ContextSource context, QString programFolder, const Environment& environment,
                const Clock& clock, Prompter& prompter);
    ~LogDatabase();
    LogDatabase(const LogDatabase&) = delete;
    LogDatabase& operator=(const LogDatabase&) = delete;

    // Makes sure the file exists (copying the template when it does not, and then
    // writing a new log's first audit rows), that connection() is open on it, and
    // writes the rows that wait. False when it cannot be opened.
    bool OpenLogDatabase();
    // Releases the file: nothing of it stays open until the next operation.
    void CloseLogDatabase();

    // Appends an audit row (time, action, description, operator and computer) when
    // the Audit setting is on.
    void WriteAudit(const QString& action, const QString& description);
    // Appends one audit row per description, in one transaction.
    void writeAudits(const QString& action, const QStringList& descriptions);

    // Sets one column of the job row with this key, creating the row when there is
    // none. Empty text is stored as NULL.
    void SetLogField(const QString& transactionId, const QString& column, const QString& value);
    // Sets several columns of one job row in one transaction, as SetLogField would one
    // after the other.
    void setLogFields(const QString& transactionId, const QList<LogField>& fields);

    // Gives every job the log has no row for yet its row, and leaves the others
    // alone: one transaction for them all.
    void logNewRows(const QList<LogRow>& rows);

    // Sets columns of several job rows in one transaction, as setLogFields would row
    // after row.
    void setLogFieldsOfRows(const QList<LogRow>& rows);

    // logNewRows, then setLogFieldsOfRows, in one transaction.
    void logNewRowsAndFields(const QList<LogRow>& newRows, const QList<LogRow>& fieldRows);

    // Holds back the writes of the operations made while it lives and writes them
    // all, in order, in one transaction when it ends: one wait for the log and one
    // sync for an action that writes rows of several kinds.
    class WriteTogether {
    public:
        explicit WriteTogether(LogDatabase& log);
        ~WriteTogether();
        WriteTogether(const WriteTogether&) = delete;
        WriteTogether& operator=(const WriteTogether&) = delete;

    private:
        LogDatabase& log_;
        std::unique_ptr<Operation> operation_;
    };

    // The text one column holds in the job rows with these keys, for the rows where it
    // is not empty; empty when the log cannot be read.
    QHash<QString, QString> logFieldOfRows(const QStringList& transactionIds,
                                           const QString& column);

    // Whether the job log holds a row with this key; false when it cannot be read.
    bool LogRowExists(const QString& transactionId);

    // The settings dialog's log reset: offers an archive copy, then deletes swr.db. A
    // shared log is archived whole on its server, after the operator confirmed it.
    // True when the file is gone and the job view should be reloaded (which logs the
    // current jobs into a new log); false after a failure, which has been shown.
    bool ResetLogDatabase();

    // Tries, without waiting for the log, to write the rows that wait; returns at once
    // when none do. The window calls it from its timer.
    void flushPending();
    // How many rows wait to be written (audit rows and job rows alike).
    int pendingCount() const { return int(pending_.size()); }
    // Called with the number of waiting rows whenever it changes, and with 0 once the
    // last of them is written; the window shows backlogText() of it in its status bar.
    void setBacklogObserver(std::function<void(int waiting)> observer);
    // "Log busy, 3 rows waiting"; empty for none.
    static QString backlogText(int waiting);
    // At most this many rows wait; rows beyond are not logged.
    static constexpr int kMostWaiting = 100000;

    // A row waiting to be written.
    struct PendingWrite {
        enum class Kind { Audit, Fields, NewRow };
        Kind kind;
        QString transactionId;
        QList<LogField> fields; // for Audit, the columns of SWR_Audit
    };

    // Keeps the rows still waiting in a file beside the log, for the next start to
    // write: the program calls it as it ends. The next operation of a later run
    // (of any copy of the program) takes every such file, once, before its own rows;
    // a file that cannot be read is moved aside and the operator told. Rows that
    // cannot be kept (a full disk) are shown to the operator, every one.
    void keepWaitingRows();

    // The file of the log: LogPath + "/swr.db"; empty for a shared log.
    QString filePath() const;
    // Whether LogPath names a shared log on a database server.
    bool isShared() const;
    // The open connection, for reports and statistics to read with their own queries
    // after OpenLogDatabase().
    QSqlDatabase connection() const;

    // The archive file name for a reset at this local time, for example
    // "2024-March-5-95-swr.db" at five past nine on 5 March 2024.
    static QString archiveName(const QDateTime& when);

private:
    // One row to write: an audit row, columns of a job row (made when missing), or a
    // job row to make only when the log has none for its key.
    // How a statement ended, for what to do with the rows.
    enum class Outcome { Written, Unavailable, Damaged, ReadOnly, Failed };
    // Whether the log can be written now.
    enum class Access { Open, Unavailable, None };
    static Outcome outcomeOf(const QSqlError& error);

    void enqueue(QList<PendingWrite> writes);
    void takeKeptRows();
    Access openWritingBacklog();
    void writeBacklog();
    Outcome writeAllWaiting();
    Outcome apply(QSqlDatabase& db, const PendingWrite& write);
    Outcome insertAudit(QSqlDatabase& db, const QList<LogField>& columns);
    Outcome setField(QSqlDatabase& db, const QString& transactionId, const QString& column,
                     const QString& value);
    Outcome setFields(QSqlDatabase& db, const QString& transactionId,
                      const QList<LogField>& fields);
    Outcome setFieldsAtOnce(QSqlDatabase& db, const QString& transactionId,
                            const QList<LogField>& fields);
    Outcome findRow(QSqlDatabase& db, const QString& transactionId, std::optional<qint64>* rowid);

    Access open();
    bool connectionIsCurrent(const QString& path) const;
    bool templateExists() const;
    SafeFile::Created createFromTemplate(const QString& path) const;
    bool connect(const QString& path);
    Outcome check();
    Outcome checkColumns(QSqlDatabase& db);
    bool moveAside(const QString& path, QString* kept) const;
    QList<PendingWrite> newLogRows(const LogContext& context) const;
    QSqlQuery& prepared(QSqlDatabase& db, const QString& sql);
    void limitWait(QSqlDatabase& db) const;
    void tell(const QString& text);
    void finishOperation();
    QSqlDatabase databaseFor(const QString& driver);
    QString keptRowsFile() const;

    // The shared log (LogDatabaseShared.cpp).
    Access openShared(const LogContext& context);
    void holdOffServer();
    void writeSharedBacklog();
    Outcome writeShared(size_t count, QString* whyNot);
    Outcome applyShared(QSqlDatabase& db, const PendingWrite& write, QSqlError* error);
    void addServerTo(QList<PendingWrite>& writes) const;
    bool resetShared();

    ContextSource context_;
    QString programFolder_;
    const Environment& environment_;
    const Clock& clock_;
    Prompter& prompter_;

    QString connectionName_;
    // The statements of the transaction being written (of the connection, for a
    // shared log), by their text.
    QHash<QString, QSqlQuery> statements_;
    // The rowids the transaction being written found or made, by key.
    QHash<QString, std::optional<qint64>> rowids_;
    QString openPath_;             // the path the connection was opened on
    LogFileIdentity openIdentity_; // and the file that stood there then

    std::deque<PendingWrite> pending_; // rows not written yet, oldest first
    bool keptRowsTaken_ = false;       // an earlier run's kept rows were looked for
    std::function<void(int)> backlogObserver_;
    int toldWaiting_ = 0;        // the count the observer heard last
    int operationDepth_ = 0;     // public operations running (one calls another)
    int heldBack_ = 0;           // WriteTogether scopes open: writes wait for the last
    QDeadlineTimer waitLimit_;   // when the running operation stops waiting for the log
    QStringList notices_;        // messages for the operator once the operation ends
    QSet<QString> told_;         // messages shown since the log was last written
    QDeadlineTimer nextConnect_; // a shared log's server is not tried again before
    int failedConnects_ = 0;     // since it was last reached
};
