#include "session/HoldRule.h"

#include "platform/PrintSpooler.h"

bool HoldsUnderAutoQueue(const SpoolerJob& job, const QString& lastReleasedJob) {
    return job.StatusMask != 1 && QString::number(job.JobId) != lastReleasedJob;
}
