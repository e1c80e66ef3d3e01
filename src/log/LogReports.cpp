#include "log/LogReports.h"

#include "log/LogDatabase.h"

#include <QSqlQuery>
#include <QSqlRecord>

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

// Appends one row per source row: the values as stored, escaped; NULL as an empty cell.
void appendRows(QString& page, LogDatabase& log, const LogReportKind& kind) {
    if (!log.OpenLogDatabase())
        return;
    QStringList columns;
    for (const QString& field : kind.fields)
        columns << quoted(field);
    QSqlQuery query(log.connection());
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')) +
                   QStringLiteral(" FROM ") + quoted(kind.source))) {
        const int count = int(kind.fields.size());
        while (query.next()) {
            page += QLatin1String("<tr>");
            for (int i = 0; i < count; ++i) {
                page += QLatin1String("<td>");
                ReportPage::appendEscaped(page, query.value(i).toString());
                page += QLatin1String("</td>");
            }
            page += QLatin1String("</tr>");
        }
    }
    query.finish();
    log.CloseLogDatabase();
}

} // namespace

const QList<LogReportKind>& LogReportKinds() {
    static const QList<LogReportKind> kinds = makeKinds();
    return kinds;
}

const LogReportKind* LogReportFor(const QString& menuEntry) {
    for (const LogReportKind& kind : LogReportKinds())
        if (kind.menuEntry == menuEntry)
            return &kind;
    return nullptr;
}

QString LogReportPage(LogDatabase& log, const LogReportKind& kind,
                      const ReportPage::Settings& settings) {
    QString page =
        ReportPage::head(QString(), true, settings,
                         QStringLiteral("<h2><u>") + kind.title + QStringLiteral("</u></h2>"));
    page +=
        QStringLiteral("<p>") +
        ReportPage::tableStart(kind.caption, int(kind.headers.size()), QStringLiteral("#C0FFC0")) +
        ReportPage::headerRow(kind.headers);
    appendRows(page, log, kind);
    page += QStringLiteral("</table>") + QLatin1String(ReportPage::kEnd);
    return page;
}
