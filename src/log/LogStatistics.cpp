#include "log/LogStatistics.h"

#include "log/LogDatabase.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace {

// A page cell's leading whole number, as the program reads every count: SQLite's
// integer conversion takes the leading digits and gives 0 for text without any.
constexpr const char* kStatisticsQuery = R"(
SELECT COUNT(*),
       COALESCE(SUM(CAST("Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Deleted Pages" AS INTEGER)), 0),
       COALESCE(SUM(CASE WHEN COALESCE("Deleted Pages", '') = ''
                         THEN CAST("Printed Pages" AS INTEGER) END), 0),
       COUNT(DISTINCT NULLIF("Server", '') COLLATE NOCASE),
       COUNT(DISTINCT NULLIF("Queue", '') COLLATE NOCASE),
       COUNT(DISTINCT NULLIF("User", '') COLLATE NOCASE),
       MIN(date("Time Submitted")),
       MAX(date("Time Submitted"))
FROM SWR_Log)";

// Printed pages by the day of their release, deleted pages by the day of their
// deletion.
constexpr const char* kPerDayQuery = R"(
SELECT day, SUM(printed), SUM(deleted) FROM (
    SELECT COALESCE(date("Resumed"), date("Time Submitted")) AS day,
           CAST("Printed Pages" AS INTEGER) AS printed, 0 AS deleted
    FROM SWR_Log WHERE COALESCE("Deleted Pages", '') = '' AND "Printed Pages" IS NOT NULL
    UNION ALL
    SELECT COALESCE(date("Deleted"), date("Time Submitted")), 0, CAST("Deleted Pages" AS INTEGER)
    FROM SWR_Log WHERE COALESCE("Deleted Pages", '') <> '')
WHERE day BETWEEN ? AND ?
GROUP BY day)";

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
        QSqlQuery query(log.connection());
        query.setForwardOnly(true);
        if (query.exec(QString::fromLatin1(kStatisticsQuery)) && query.next()) {
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
        QSqlQuery query(log.connection());
        query.setForwardOnly(true);
        query.prepare(QString::fromLatin1(kPerDayQuery));
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
