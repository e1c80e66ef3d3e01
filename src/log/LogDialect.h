#pragma once

#include <QSqlDatabase>
#include <QString>

// Where the local log (SQLite) and the shared log (PostgreSQL) must be read with
// different SQL to give the same figures; the views of both schemas spell the same
// rules out themselves. Both logs order their rows by rowid.
class LogDialect {
public:
    explicit LogDialect(const QSqlDatabase& db);

    // A cell's leading whole number: "12 pages" is 12, text without digits 0, and an
    // empty cell stays NULL (so that it adds nothing).
    QString integer(const QString& expression) const;
    // The "yyyy-MM-dd" day of a "yyyy-MM-dd HH:mm:ss" cell; NULL for other text.
    QString day(const QString& expression) const;
    // The value for comparing and grouping without regard to ASCII case.
    QString caseBlind(const QString& expression) const;

private:
    bool shared_;
};

// A read of the whole log (the statistics, a report, the export) may take longer than
// the second a log operation waits for: on a shared log it may take a minute while
// this lives. The local log's reads have no such limit.
class WholeLogRead {
public:
    explicit WholeLogRead(const QSqlDatabase& db);
    ~WholeLogRead();
    WholeLogRead(const WholeLogRead&) = delete;
    WholeLogRead& operator=(const WholeLogRead&) = delete;

private:
    QSqlDatabase db_;
};
