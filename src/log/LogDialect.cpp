#include "log/LogDialect.h"

#include "log/SharedLog.h"

#include <QSqlQuery>

// The shared log's functions are made with its schema (resources/swr-postgresql.sql).
LogDialect::LogDialect(const QSqlDatabase& db)
    : shared_(db.driverName() == QLatin1String("QPSQL")) {}

QString LogDialect::integer(const QString& expression) const {
    return shared_ ? QStringLiteral("swr_int(%1)").arg(expression)
                   : QStringLiteral("CAST(%1 AS INTEGER)").arg(expression);
}

QString LogDialect::day(const QString& expression) const {
    return shared_ ? QStringLiteral("swr_day(%1)").arg(expression)
                   : QStringLiteral("date(%1)").arg(expression);
}

QString LogDialect::caseBlind(const QString& expression) const {
    return shared_ ? QStringLiteral("swr_nocase(%1)").arg(expression)
                   : expression + QStringLiteral(" COLLATE NOCASE");
}

WholeLogRead::WholeLogRead(const QSqlDatabase& db) {
    if (db.driverName() != QLatin1String("QPSQL") || !db.isOpen())
        return;
    db_ = db;
    QSqlQuery(db_).exec(QStringLiteral("SET statement_timeout = 60000"));
}

WholeLogRead::~WholeLogRead() {
    // Back to the limit of every other operation.
    if (db_.isOpen())
        QSqlQuery(db_).exec(
            QStringLiteral("SET statement_timeout = %1").arg(SharedLog::kStatementLimitMs));
}
