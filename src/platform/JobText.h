#pragma once

#include <QString>
#include <QStringList>

struct SpoolerJob;

// How a job's size is written wherever it is shown or stored: whole kilobytes, the
// remainder dropped, then "KB" ("0KB" below 1,024 bytes).
inline QString SizeText(qint64 bytes) {
    return QString::number(bytes / 1024) + QStringLiteral("KB");
}

// The twelve texts of a job, as the job monitor reports them and the job grids show
// them: status mask, document, host, owner, printer, pages, pages printed, priority,
// size text, submission time, job number, job name. The grids and the monitor use
// the same texts, so both give a job the same log key.
QStringList JobFields(const SpoolerJob& job);
