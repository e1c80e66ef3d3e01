#pragma once

#include "log/ReportPage.h"

#include <QList>
#include <QString>
#include <QStringList>

class LogDatabase;

// One of the HTML reports made from the log: the menu entry that asks for it, the
// audit row it leaves, its file in the report folder and what its page shows.
struct LogReportKind {
    QString menuEntry;        // "mnuLogFullReportHTML"
    QString auditDescription; // "Log Full Report"
    QString fileName;         // "SWR_LogFullReport.html"
    QString title;            // the page's h2 text
    QString source;           // the table or view read
    QString caption;          // the caption cell over the columns
    QStringList headers;      // the header cells
    QStringList fields;       // the source's columns, one per header cell
};

// The nine log reports, in the order of the Reports menu.
const QList<LogReportKind>& logReportKinds();
// The report a menu entry asks for; null for any other name.
const LogReportKind* logReportFor(const QString& menuEntry);

// The whole page of a report as UTF-8, read from the log in one pass. A log that cannot
// be read gives the frame, caption and header rows alone.
QByteArray logReportPage(LogDatabase& log, const LogReportKind& kind,
                         const ReportPage::Settings& settings);
