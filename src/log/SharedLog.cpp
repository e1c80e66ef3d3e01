#include "log/SharedLog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTimeZone>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>
#include <atomic>

namespace SharedLog {

namespace {

// Any number: it keeps two stations from making or archiving the schema at once.
constexpr qint64 kSchemaLock = 0x5357524c4f47; // "SWRLOG"

const QStringList kViews{"LogTodayReport",      "LogPrinterReport",     "LogUserReport",
                         "LogDailyJobsReport",  "LogMonthlyJobsReport", "LogSpoolwrightsReport",
                         "LogAuditTodayReport", "LogAuditActionsReport"};

// A value in libpq's key='value' form. Qt's driver joins the options with blanks in
// place of semicolons, so a value cannot hold one.
QString option(const QString& key, QString value) {
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return key + QStringLiteral("='") + value + QLatin1Char('\'');
}

// The server reads the log's dates as this station's local time ("today" of the
// reports); a zone name it would not know is left out rather than failing the
// connection.
QString timeZoneSetting() {
    const QString zone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_+/-]+$"));
    return plain.match(zone).hasMatch() ? QStringLiteral(" -c TimeZone=") + zone : QString();
}

bool run(QSqlQuery& query, const QString& sql, QString* whyNot) {
    if (query.exec(sql))
        return true;
    *whyNot = query.lastError().text();
    return false;
}

// Runs the statements in one transaction under the schema lock; rolls back on failure.
// The lock is taken before the transaction begins, so that the transaction sees what
// another station made while this one waited for it.
template <typename Steps> bool inSchemaTransaction(QSqlDatabase& db, QString* whyNot, Steps steps) {
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("SELECT pg_advisory_lock(%1)").arg(kSchemaLock), whyNot))
        return false;
    bool done = run(query, QStringLiteral("BEGIN"), whyNot);
    done = done && steps(query) && run(query, QStringLiteral("COMMIT"), whyNot);
    if (!done)
        query.exec(QStringLiteral("ROLLBACK"));
    query.exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kSchemaLock));
    return done;
}

bool tablesExist(QSqlQuery& query, bool* exist, QString* whyNot) {
    if (!run(query,
             QStringLiteral("SELECT to_regclass('swr_log') IS NOT NULL AND "
                            "to_regclass('swr_audit') IS NOT NULL"),
             whyNot))
        return false;
    *exist = query.next() && query.value(0).toBool();
    query.finish();
    return true;
}

bool runSchema(QSqlQuery& query, const QStringList& statements, QString* whyNot) {
    for (const QString& statement : statements)
        if (!run(query, statement, whyNot))
            return false;
    return true;
}

} // namespace

bool isSharedLogPath(const QString& logPath) {
    const QString path = logPath.trimmed();
    return path.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           path.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString Address::description() const {
    QString where = host.isEmpty() ? QStringLiteral("this computer") : host;
    if (port > 0)
        where += QLatin1Char(':') + QString::number(port);
    return QStringLiteral("database %1 on %2").arg(database, where);
}

std::optional<Address> addressOf(const QString& uri, QString* whyNot) {
    auto fail = [whyNot](const QString& why) {
        if (whyNot)
            *whyNot = why;
        return std::nullopt;
    };
    if (!isSharedLogPath(uri))
        return fail(QStringLiteral("The log path is no postgresql:// address."));
    const QUrl url(uri.trimmed(), QUrl::StrictMode);
    if (!url.isValid())
        return fail(QStringLiteral("The log path is no valid address: %1").arg(url.errorString()));
    if (!url.password().isEmpty())
        return fail(QStringLiteral("The log path holds a password. Give it in ~/.pgpass or in "
                                   "PGPASSWORD instead: the settings are no place for it."));
    Address address;
    address.host = url.host();
    address.port = url.port(-1);
    address.database = url.path().mid(1);
    address.user = url.userName();
    if (address.database.isEmpty() || address.database.contains(QLatin1Char('/')))
        return fail(QStringLiteral("The log path names no database: "
                                   "postgresql://host[:port]/database"));
    static const QRegularExpression key(QStringLiteral("^[a-z_]+$"));
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (name == QLatin1String("password"))
            return fail(QStringLiteral("The log path holds a password. Give it in ~/.pgpass or "
                                       "in PGPASSWORD instead: the settings are no place for it."));
        if (!key.match(name).hasMatch() || value.contains(QLatin1Char(';')))
            return fail(QStringLiteral("The log path's setting %1 cannot be used.").arg(name));
        if (name == QLatin1String("user"))
            address.user = value;
        else if (name == QLatin1String("host"))
            address.host = value;
        else if (name == QLatin1String("port"))
            address.port = value.toInt();
        else if (name == QLatin1String("dbname"))
            address.database = value;
        else
            address.options << option(name, value);
    }
    return address;
}

bool open(QSqlDatabase& db, const Address& address, int timeoutMs, QString* whyNot) {
    const bool overNetwork = !address.host.isEmpty() && !address.host.startsWith(QLatin1Char('/'));
    // libpq waits at least two seconds for a server that does not answer: a server
    // that cannot be reached is found out here, within the operation's wait.
    if (overNetwork) {
        QTcpSocket probe;
        probe.connectToHost(address.host, quint16(address.port > 0 ? address.port : 5432));
        if (!probe.waitForConnected(timeoutMs)) {
            *whyNot = QStringLiteral("The log server %1 does not answer: %2")
                          .arg(address.description(), probe.errorString());
            return false;
        }
        probe.abort();
    }
    db.setHostName(address.host);
    db.setPort(address.port);
    db.setDatabaseName(address.database);
    db.setUserName(address.user);
    db.setPassword(QString());
    QStringList options = address.options;
    options << QStringLiteral("connect_timeout=2")
            << option(QStringLiteral("options"),
                      QStringLiteral("-c statement_timeout=%1 -c lock_timeout=%1")
                              .arg(kStatementLimitMs) +
                          timeZoneSetting());
    if (overNetwork)
        options << QStringLiteral("tcp_user_timeout=%1").arg(kStatementLimitMs);
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (db.open())
        return true;
    *whyNot = QStringLiteral("The log server %1 cannot be used: %2")
                  .arg(address.description(), db.lastError().text());
    return false;
}

bool reach(const Address& address, int timeoutMs, QString* whyNot) {
    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("spoolwright-log-check-%1").arg(++serial);
    bool reached = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        reached = open(db, address, timeoutMs, whyNot);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return reached;
}

QStringList schemaStatements(const QString& programFolder) {
    QFile file(QDir(programFolder).filePath(QLatin1String(kSchemaFile)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList statements;
    QString statement;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--")))
            continue;
        statement += line + QLatin1Char('\n');
        if (trimmed.endsWith(QLatin1Char(';'))) {
            statements << statement.trimmed().chopped(1);
            statement.clear();
        }
    }
    return statements;
}

bool makeSchema(QSqlDatabase& db, const QString& programFolder, bool* created, QString* whyNot) {
    *created = false;
    QSqlQuery query(db);
    bool exist = false;
    if (!tablesExist(query, &exist, whyNot))
        return false;
    if (exist)
        return true;
    const QStringList statements = schemaStatements(programFolder);
    if (statements.isEmpty()) {
        *whyNot = QStringLiteral("The schema file %1 cannot be read.")
                      .arg(QDir(programFolder).filePath(QLatin1String(kSchemaFile)));
        return false;
    }
    // Another station may have made it while this one waited for the lock.
    return inSchemaTransaction(db, whyNot, [&](QSqlQuery& step) {
        if (!tablesExist(step, &exist, whyNot))
            return false;
        *created = !exist;
        return exist || runSchema(step, statements, whyNot);
    });
}

bool archiveAndRenew(QSqlDatabase& db, const QString& programFolder, const QString& archiveSchema,
                     QString* whyNot) {
    const QStringList statements = schemaStatements(programFolder);
    if (statements.isEmpty()) {
        *whyNot = QStringLiteral("The schema file %1 cannot be read.")
                      .arg(QDir(programFolder).filePath(QLatin1String(kSchemaFile)));
        return false;
    }
    const QString archive = QLatin1Char('"') + archiveSchema + QLatin1Char('"');
    return inSchemaTransaction(db, whyNot, [&](QSqlQuery& step) {
        QStringList moves{QStringLiteral("CREATE SCHEMA ") + archive,
                          QStringLiteral("ALTER TABLE SWR_Log SET SCHEMA ") + archive,
                          QStringLiteral("ALTER TABLE SWR_Audit SET SCHEMA ") + archive};
        for (const QString& view : kViews)
            moves << QStringLiteral("ALTER VIEW IF EXISTS %1 SET SCHEMA %2").arg(view, archive);
        return runSchema(step, moves, whyNot) && runSchema(step, statements, whyNot);
    });
}

Failure failureOf(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    if (code == QLatin1String("42P01") || code == QLatin1String("42703") ||
        code == QLatin1String("42883") || code == QLatin1String("42P10"))
        return Failure::NoSchema;
    if (code == QLatin1String("42501") || code == QLatin1String("25006"))
        return Failure::ReadOnly;
    // Class 22 (data) and 23 (constraints) are about the rows; the rest is about the
    // server: the connection, a timeout, a lock, resources, a shutdown.
    if (code.startsWith(QLatin1String("22")) || code.startsWith(QLatin1String("23")))
        return Failure::Refused;
    return Failure::Unavailable;
}

} // namespace SharedLog
