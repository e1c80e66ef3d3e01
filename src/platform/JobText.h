#pragma once

#include <QString>
#include <QStringList>

struct SpoolerJob;

// The twelve texts of a job, in the order the server-wide grid shows them. The job
// grid of one queue shows the same texts without Printer.
namespace SearchColumn {
enum : int {
    Status,
    Description,
    Computer,
    User,
    Printer,
    Pages,
    Printed,
    Priority,
    Size,
    Submitted,
    ID,
    Name,
    Count
};
}

// How a job's size is written wherever it is shown or stored: whole kilobytes, the
// remainder dropped, then "KB" ("0KB" below 1,024 bytes).
inline QString sizeText(qint64 bytes) {
    return QString::number(bytes / 1024) + QStringLiteral("KB");
}

// The queue of a job name "printer, id". The id never holds ", ", so the last one
// separates them even where a printer name holds one.
QString printerOfJobName(const QString& jobName);
// The name of a printer's job: "printer, id".
QString jobNameOf(const QString& printer, int jobId);

// The job log key: job number, "-", submission time text.
QString TransactionID(const QString& jobId, const QString& submitted);
QString TransactionID(const SpoolerJob& job);

// The text with every character that cannot stand in a grid cell or a log field
// (the old field separator "|", tabs, line breaks and other control characters)
// replaced by a blank.
QString cleanJobText(QString text);

// The twelve texts of a job (see SearchColumn): status word, document, host, owner,
// printer, pages, pages printed, priority, size text, submission time, job number
// and job name. The one place that makes them, for the grids and the log alike, so
// a job logs the same whichever path saw it first.
QStringList jobTexts(const SpoolerJob& job);
