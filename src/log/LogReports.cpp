#include "log/LogReports.h"

#include "log/LogDatabase.h"
#include "log/LogDialect.h"
#include "log/SqliteHandle.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <sqlite3.h>

namespace {

const QStringList kJobFields{
    "Time Submitted", "Server",        "Queue",    "Description",  "Computer", "User",
    "Name",           "Priority",      "Pages",    "Size",         "Deleted",  "Deleted Pages",
    "Resumed",        "Printed Pages", "SWR User", "SWR Computer", "Comments"};
// "Printed" stands over the time the job was released.
const QStringList kJobHeaders{
    "Time Submitted", "Server",        "Queue",    "Description",  "Computer", "User",
    "Name",           "Priority",      "Pages",    "Size",         "Deleted",  "Deleted Pages",
    "Printed",        "Printed Pages", "SWR User", "SWR Computer", "Comments"};
const QStringList kTotals{"Jobs", "Pages", "Deleted", "Printed"};

QList<LogReportKind> makeKinds() {
    return {
        {"mnuLogFullReportHTML", "Log Full Report", "SWR_LogFullReport.html", "Log Full Report",
         "SWR_Log", "Jobs", kJobHeaders, kJobFields},
        {"mnuLogRptToday", "Log Today Report", "SWR_LogTodayReport.html", "Log Today's Jobs",
         "LogTodayReport", "Jobs", kJobHeaders, kJobFields},
        {"mnuLogRptPrinter", "Log Printer", "SWR_LogPrinterReport.html", "Log Printer Report",
         "LogPrinterReport", "Printers", QStringList{"Server", "Queue"} + kTotals,
         QStringList{"Server", "Queue"} + kTotals},
        {"mnuLogRptUser", "Log User Report", "SWR_LogUserReport.html", "Log User Report",
         "LogUserReport", "Users", QStringList{"User"} + kTotals, QStringList{"User"} + kTotals},
        {"mnuLogRptDailyJobs", "Log Daily Jobs", "SWR_LogDailyJobsReport.html",
         "Log Daily Jobs Report", "LogDailyJobsReport", "Jobs",
         QStringList{"Year", "Month", "Day"} + kTotals,
         QStringList{"Year", "Month", "Day"} + kTotals},
        {"mnuLogRptMonthlyJobs", "Log Monthly Jobs", "SWR_LogMonthlyJobsReport.html",
         "Log Monthly Jobs Report", "LogMonthlyJobsReport", "Jobs",
         QStringList{"Year", "Month"} + kTotals, QStringList{"Year", "Month"} + kTotals},
        {"mnuLogRptSWR", "Log Spoolwright", "SWR_LogSpoolwrightReport.html",
         "Log Spoolwright Report", "LogSpoolwrightsReport", "Spoolwrights",
         QStringList{"SWR Computer", "SWR User"} + kTotals,
         QStringList{"SWR Computer", "SWR User"} + kTotals},
        {"mnuAuditRptToday", "Audit Today Report", "SWR_LogAuditTodayReport.html",
         "Today's Audit Log", "LogAuditTodayReport", "Jobs",
         QStringList{"Time", "SWR Computer", "SWR User", "Action Type", "Detail"},
         QStringList{"Time", "SWR Computer", "SWR User", "Action", "Description"}},
        {"mnuAuditRptActions", "Audit Actions Report", "SWR_LogAuditActionsReport.html",
         "Audit Actions", "LogAuditActionsReport", "Jobs",
         QStringList{"Action", "Description", "SWR User", "SWR Computer", "Count"},
         QStringList{"Action", "Description", "SWR User", "SWR Computer", "Count"}},
    };
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// The rows of a shared log, which come over the network: a QVariant per cell is
// nothing beside that.
void appendQueriedRows(QByteArray& page, const QSqlDatabase& db, const QString& sql) {
    const WholeLogRead reading(db);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        return;
    const int count = query.record().count();
    while (query.next()) {
        page += "<tr>";
        for (int i = 0; i < count; ++i) {
            page += "<td>";
            // A NULL number reads as 0 but is an empty cell, as in the local log.
            const QByteArray text =
                query.isNull(i) ? QByteArray() : query.value(i).toString().toUtf8();
            ReportPage::appendEscaped(page, text.constData(), int(text.size()));
            page += "</td>";
        }
        page += "</tr>";
    }
}

// Appends one row per source row: the values as stored, escaped; NULL as an empty cell.
void appendRows(QByteArray& page, LogDatabase& log, const LogReportKind& kind) {
    if (!log.OpenLogDatabase())
        return;
    QStringList columns;
    for (const QString& field : kind.fields)
        columns << quoted(field);
    // The sources are the log's own table and views, named as both kinds of log know
    // them (unquoted); the table's rows come in the order they were made.
    QString sqlText = QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')) +
                      QStringLiteral(" FROM ") + kind.source;
    if (kind.source == QLatin1String("SWR_Log"))
        sqlText += QStringLiteral(" ORDER BY rowid");
    // The local log's rows are read straight into the page: a full log holds a hundred
    // thousand rows, and a QVariant per cell would cost more than reading the file.
    sqlite3* db = sqliteHandle(log.connection());
    if (!db) {
        appendQueriedRows(page, log.connection(), sqlText);
        log.CloseLogDatabase();
        return;
    }
    const QByteArray sql = sqlText.toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) ==
        SQLITE_OK) {
        const int count = sqlite3_column_count(statement);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            page += "<tr>";
            for (int i = 0; i < count; ++i) {
                page += "<td>";
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
                if (text)
                    ReportPage::appendEscaped(page, text, sqlite3_column_bytes(statement, i));
                page += "</td>";
            }
            page += "</tr>";
        }
    }
    sqlite3_finalize(statement);
    log.CloseLogDatabase();
}

} // namespace

const QList<LogReportKind>& logReportKinds() {
    static const QList<LogReportKind> kinds = makeKinds();
    return kinds;
}

const LogReportKind* logReportFor(const QString& menuEntry) {
    for (const LogReportKind& kind : logReportKinds())
        if (kind.menuEntry == menuEntry)
            return &kind;
    return nullptr;
}

QByteArray logReportPage(LogDatabase& log, const LogReportKind& kind,
                         const ReportPage::Settings& settings) {
    const QString heading = QStringLiteral("<h2><u>") + kind.title + QStringLiteral("</u></h2>");
    QByteArray page =
        (ReportPage::head(QString(), true, settings, heading) + QStringLiteral("<p>") +
         ReportPage::tableStart(kind.caption, int(kind.headers.size()), QStringLiteral("#C0FFC0")) +
         ReportPage::headerRow(kind.headers))
            .toUtf8();
    appendRows(page, log, kind);
    page += "</table>";
    page += ReportPage::kEnd;
    return page;
}
