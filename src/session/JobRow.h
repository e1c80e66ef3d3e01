#pragma once

#include "platform/JobText.h"

#include <QStringList>

struct SpoolerJob;
class QTreeWidgetItem;

// A job is shown as a row of text cells in two grids: JobList (the jobs of the
// selected queue, 11 columns) and SearchList (every job of the server, 12 columns,
// with Printer after User). A JobList row is a SearchList row without Printer.

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
namespace JobColumn {
enum : int {
    Status,
    Description,
    Computer,
    User,
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

QStringList JobListHeaders();
QStringList SearchListHeaders();

// The job log key: job number, "-", submission time text.
QString TransactionID(const QString& jobId, const QString& submitted);

// The queue name of a job name "printer, id": the text before its first comma.
QString PrinterOfJobName(const QString& jobName);

// The twelve SearchList texts of a job read from the spooler.
QStringList SearchRowFromJob(const SpoolerJob& job);

// The twelve SearchList texts of a job monitor event's detail fields (status mask,
// document, host, owner, printer, pages, printed, priority, size, submitted, id, name).
// Fewer than twelve fields give empty cells for the missing ones.
QStringList SearchRowFromEventFields(const QStringList& fields);

// The eleven JobList texts of a SearchList row.
QStringList JobRowFromSearchRow(const QStringList& searchRow);

// Writes row texts into a grid row and gives it the icon of its status text. Every
// path that adds or rewrites a row goes through here.
void FillJobRow(QTreeWidgetItem* item, const QStringList& texts);

// The texts of a grid row, as FillJobRow wrote them.
QStringList RowTexts(const QTreeWidgetItem* item);
