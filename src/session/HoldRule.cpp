#include "session/HoldRule.h"

#include "platform/CupsStatus.h"
#include "platform/PrintSpooler.h"

bool holdsUnderAutoQueue(const SpoolerJob& job, const QString& lastReleasedJob) {
    return !isHeld(job) && QString::number(job.JobId) != lastReleasedJob;
}
