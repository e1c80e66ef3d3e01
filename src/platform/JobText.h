#pragma once

#include <QString>

// How a job's size is written wherever it is shown or stored: whole kilobytes, the
// remainder dropped, then "KB" ("0KB" below 1,024 bytes). The job grids and the job
// monitor use the same text, so both give a job the same log key.
inline QString SizeText(qint64 bytes) {
    return QString::number(bytes / 1024) + QStringLiteral("KB");
}
