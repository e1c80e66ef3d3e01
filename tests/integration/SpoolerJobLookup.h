#pragma once

#include "platform/PrintSpooler.h"

#include <QList>
#include <optional>
#include <ostream>

// The job of that number in a listing, if it is there.
inline std::optional<SpoolerJob> jobNumbered(const QList<SpoolerJob>& jobs, int jobId) {
    for (const SpoolerJob& job : jobs)
        if (job.JobId == jobId)
            return job;
    return std::nullopt;
}

// Failures show a job by its fields.
inline void PrintTo(const SpoolerJob& job, std::ostream* out) {
    *out << '{' << job.Name.toStdString() << " | " << job.Document.toStdString() << " | "
         << job.Owner.toStdString() << " | " << job.HostPrintQueue.toStdString() << " | pages "
         << job.TotalPages << '/' << job.PagesPrinted << " | priority " << job.Priority
         << " | size " << job.Size << " | " << job.TimeSubmitted.toString(Qt::ISODate).toStdString()
         << " | status " << job.StatusMask << '}';
}
