#include "log/LogStatistics.h"

#include "log/LogDatabase.h"
#include "log/LogDialect.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace {

// A page cell's leading whole number, as the program reads every count: SQLite's
// integer conversion takes the leading digits and gives 0 for text without any.
QString statisticsQuery(const LogDialect& sql) {
    const QString pages = sql.integer(QStringLiteral("\"Pages\""));
    const QString deleted = sql.integer(QStringLiteral("\"Deleted Pages\""));
    const QString printed = sql.integer(QStringLiteral("\"Printed Pages\""));
    auto distinct = [&sql](const char* column) {
        return sql.caseBlind(QStringLiteral("NULLIF(\"%1\", '')").arg(QLatin1String(column)));
    };
    const QString submitted = sql.day(QStringLiteral("\"Time Submitted\""));
    return QStringLiteral(R"(
SELECT COUNT(*),
       COALESCE(SUM(%1), 0),
       COALESCE(SUM(%2), 0),
       COALESCE(SUM(CASE WHEN COALESCE("Deleted Pages", '') = '' THEN %3 END), 0),
       COUNT(DISTINCT %4),
       COUNT(DISTINCT %5),
       COUNT(DISTINCT %6),
       MIN(%7),
       MAX(%7)
FROM SWR_Log)")
        .arg(pages, deleted, printed, distinct("Server"), distinct("Queue"), distinct("User"),
             submitted);
}

// Printed pages by the day of their release, deleted pages by the day of their
// deletion.
QString perDayQuery(const LogDialect& sql) {
    const QString submitted = sql.day(QStringLiteral("\"Time Submitted\""));
    return QStringLiteral(R"(
SELECT day, SUM(printed), SUM(deleted) FROM (
    SELECT COALESCE(%1, %2) AS day,
           %3 AS printed, 0 AS deleted
    FROM SWR_Log WHERE COALESCE("Deleted Pages", '') = '' AND "Printed Pages" IS NOT NULL
    UNION ALL
    SELECT COALESCE(%4, %2), 0, %5
    FROM SWR_Log WHERE COALESCE("Deleted Pages", '') <> '') AS pages
WHERE day BETWEEN ? AND ?
GROUP BY day)")
        .arg(sql.day(QStringLiteral("\"Resumed\"")), submitted,
             sql.integer(QStringLiteral("\"Printed Pages\"")),
             sql.day(QStringLiteral("\"Deleted\"")),
             sql.integer(QStringLiteral("\"Deleted Pages\"")));
}

QDateTime startOfDay(const QVariant& isoDate) {
    const QDate day = QDate::fromString(isoDate.toString(), Qt::ISODate);
    return day.isValid() ? QDateTime(day, QTime(0, 0)) : QDateTime();
}

} // namespace

LogStatistics ComputeLogStatistics(LogDatabase& log, const QDateTime& now) {
    LogStatistics s;
    s.firstDate = now;
    s.lastDate = now;
    if (!log.OpenLogDatabase())
        return s;
    {
        const WholeLogRead reading(log.connection());
        QSqlQuery query(log.connection());
        query.setForwardOnly(true);
        if (query.exec(statisticsQuery(LogDialect(log.connection()))) && query.next()) {
            s.jobs = query.value(0).toLongLong();
            s.pages = query.value(1).toLongLong();
            s.deletedPages = query.value(2).toLongLong();
            s.printedPages = query.value(3).toLongLong();
            s.servers = query.value(4).toLongLong();
            s.queues = query.value(5).toLongLong();
            s.users = query.value(6).toLongLong();
            const QDateTime first = startOfDay(query.value(7));
            const QDateTime last = startOfDay(query.value(8));
            if (first.isValid())
                s.firstDate = std::min(first, now);
            if (last.isValid())
                s.lastDate = std::max(last, now);
        }
    }
    const qint64 managed = s.deletedPages + s.printedPages;
    s.saving = managed == 0 ? 0.0 : 100.0 * double(s.deletedPages) / double(managed);
    return s;
}

QList<DayPages> pagesPerDay(LogDatabase& log, const QDate& lastDay, int days) {
    QList<DayPages> result;
    const QDate firstDay = lastDay.addDays(1 - days);
    for (QDate day = firstDay; day <= lastDay; day = day.addDays(1))
        result.append({day, 0, 0});
    if (result.isEmpty() || !log.OpenLogDatabase())
        return result;
    {
        const WholeLogRead reading(log.connection());
        QSqlQuery query(log.connection());
        query.setForwardOnly(true);
        query.prepare(perDayQuery(LogDialect(log.connection())));
        query.addBindValue(firstDay.toString(Qt::ISODate));
        query.addBindValue(lastDay.toString(Qt::ISODate));
        if (query.exec()) {
            while (query.next()) {
                const qint64 index =
                    firstDay.daysTo(QDate::fromString(query.value(0).toString(), Qt::ISODate));
                if (index < 0 || index >= result.size())
                    continue;
                result[index].printed = query.value(1).toLongLong();
                result[index].deleted = query.value(2).toLongLong();
            }
        }
    }
    return result;
}

PaperSaving paperSavingOf(qint64 pagesNotPrinted) {
    PaperSaving saving;
    saving.sheets = std::max<qint64>(0, pagesNotPrinted);
    saving.trees = double(saving.sheets) / PaperSaving::kSheetsPerTree;
    saving.kgCo2 = double(saving.sheets) * PaperSaving::kGramsCo2PerSheet / 1000.0;
    return saving;
}
