#include "session/QueueSession.h"

namespace {

// A bound on the jobs remembered as gone, far above what a listing in flight can
// hold against them.
constexpr int kMostJobsGone = 100000;

} // namespace

void QueueSession::connectJobs(const QString& server, GuardedSpooler* spooler) {
    wmiServer_ = server;
    wmiServices_ = spooler;
}

void QueueSession::markGone(const QString& jobName) {
    if (jobsGone_.size() >= kMostJobsGone)
        jobsGone_.clear(); // the oldest listing in flight is long answered
    jobsGone_.insert(jobName);
}

void QueueSession::noteHoldDefault(GuardedSpooler* server, const QString& queue,
                                   const QString& before) {
    holdDefaultServer_ = server;
    holdDefaultQueue_ = queue;
    holdDefaultBefore_ = before;
}

bool QueueSession::firstIn(QString& marker, const QString& minute) {
    if (marker == minute)
        return false;
    marker = minute;
    return true;
}
