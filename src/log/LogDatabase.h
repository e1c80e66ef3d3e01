#pragma once

#include "log/LogFileIdentity.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>

class Clock;
class Environment;
class Prompter;

// What the log needs to know of the program at the moment of an operation. Read
// afresh for every operation, because the operator may change the settings (and the
// window its server and queue) at any time.
struct LogContext {
    QString logPath;        // the LogPath setting: the folder of swr.db
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
// Failures are silent: a log that cannot be written leaves logging, reports and
// statistics empty, and nothing is shown, except where the reset says otherwise.
class LogDatabase {
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
    // writing a new log's first audit rows) and that connection() is open on it.
    // False when it cannot be opened.
    bool OpenLogDatabase();
    // Releases the file: nothing of it stays open until the next operation.
    void CloseLogDatabase();

    // Appends an audit row (time, action, description, operator and computer) when
    // the Audit setting is on.
    void WriteAudit(const QString& action, const QString& description);

    // Sets one column of the job row with this key, creating the row when there is
    // none. Empty text is stored as NULL.
    void SetLogField(const QString& transactionId, const QString& column, const QString& value);
    // Sets several columns of one job row in one transaction, as SetLogField would one
    // after the other.
    void SetLogFields(const QString& transactionId, const QList<LogField>& fields);

    // Gives every job the log has no row for yet its row, and leaves the others
    // alone: one transaction for them all.
    void LogNewRows(const QList<LogRow>& rows);

    // Whether the job log holds a row with this key; false when it cannot be read.
    bool LogRowExists(const QString& transactionId);

    // The settings dialog's log reset: offers an archive copy, then deletes swr.db.
    // True when the file is gone and the job view should be reloaded (which logs the
    // current jobs into a new log); false after a failure, which has been shown.
    bool ResetLogDatabase();

    // The file of the log: LogPath + "/swr.db".
    QString filePath() const;
    // The open connection, for reports and statistics to read with their own queries
    // after OpenLogDatabase().
    QSqlDatabase connection() const;

    // The archive file name for a reset at this local time, for example
    // "2024-March-5-95-swr.db" at five past nine on 5 March 2024.
    static QString archiveName(const QDateTime& when);

private:
    bool connectionIsCurrent(const QString& path) const;
    bool createFromTemplate(const QString& path) const;
    bool connect(const QString& path);
    void writeNewLogRows(const LogContext& context);
    bool setField(QSqlDatabase& db, const QString& transactionId, const QString& column,
                  const QString& value);
    bool setFieldsAtOnce(QSqlDatabase& db, const QString& transactionId,
                         const QList<LogField>& fields);

    ContextSource context_;
    QString programFolder_;
    const Environment& environment_;
    const Clock& clock_;
    Prompter& prompter_;

    QString connectionName_;
    QString openPath_;             // the path the connection was opened on
    LogFileIdentity openIdentity_; // and the file that stood there then
};
