#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

class QSqlError;

// The shared log: a LogPath that is a PostgreSQL connection URI
// ("postgresql://host[:port]/dbname?user=...&sslmode=...") names a log on a database
// server that every release station of a site writes to; any other LogPath is the
// folder of the local log. The password is never part of the settings: libpq takes it
// from PGPASSWORD or ~/.pgpass.
namespace SharedLog {

// The longest any statement or lock on the shared log waits, as any operation of the
// local log waits for it.
inline constexpr int kStatementLimitMs = 1000;

// The schema file, in the program folder beside the template of the local log.
inline constexpr const char* kSchemaFile = "swr-postgresql.sql";

// Whether the LogPath names a shared log rather than a folder.
bool isSharedLogPath(const QString& logPath);

// Where a shared log is, as the URI gives it.
struct Address {
    QString host; // empty: libpq's default (the local socket)
    int port = -1;
    QString database;
    QString user;
    QStringList options; // further libpq key='value' pairs (sslmode, ...)
    // "database spoolwright on dbhost:5432", for messages.
    QString description() const;
};

// The address in the URI; nothing, and why not, when it is no usable URI (one that
// holds a password is refused: the password would end up in swr.ini).
std::optional<Address> addressOf(const QString& uri, QString* whyNot);

// Opens db (a QPSQL connection) on the address, waiting at most about timeoutMs for
// the server to answer; every statement on it waits at most one second. False, with
// the reason, when the server cannot be had.
bool open(QSqlDatabase& db, const Address& address, int timeoutMs, QString* whyNot);

// Whether the server at the address can be used: it connects, waiting at most about
// timeoutMs, and disconnects. False, with the reason, when it cannot.
bool reach(const Address& address, int timeoutMs, QString* whyNot);

// The schema's statements, from the file beside the program; empty when it cannot be
// read.
QStringList schemaStatements(const QString& programFolder);

// Makes the tables, views and functions of the log when they are absent, in one
// transaction that waits for any other station doing the same. created tells whether
// this call made the tables. False, with the reason, when it could not.
bool makeSchema(QSqlDatabase& db, const QString& programFolder, bool* created, QString* whyNot);

// Moves the log's tables and views into the new schema archiveSchema and makes fresh
// ones, in one transaction: all of it or nothing.
bool archiveAndRenew(QSqlDatabase& db, const QString& programFolder, const QString& archiveSchema,
                     QString* whyNot);

// What a failed statement means for the rows it wrote.
enum class Failure {
    Unavailable, // the server is down, slow or busy: the rows wait
    NoSchema,    // a table or column is missing: the schema is made again, the rows wait
    ReadOnly,    // the role may not write
    Refused,     // the rows themselves were refused
};
Failure failureOf(const QSqlError& error);

} // namespace SharedLog
