#include "log/LogDialect.h"

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
