#pragma once

#include "platform/PrintSpooler.h"

#include <QList>
#include <optional>

// The job of that number in a listing, if it is there.
inline std::optional<SpoolerJob> jobNumbered(const QList<SpoolerJob>& jobs, int jobId) {
    for (const SpoolerJob& job : jobs)
        if (job.JobId == jobId)
            return job;
    return std::nullopt;
}
