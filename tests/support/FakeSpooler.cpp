#include "support/FakeSpooler.h"

#include "platform/CupsStatus.h"
#include "platform/JobText.h"

#include <algorithm>

SpoolerJob sampleJob(const QString& queue, int jobId, const QString& document, const QString& owner,
                     int statusMask) {
    SpoolerJob job;
    job.JobId = jobId;
    job.Name = queue + QStringLiteral(", ") + QString::number(jobId);
    job.Document = document;
    job.Owner = owner;
    job.HostPrintQueue = "desk7";
    job.TotalPages = 1;
    job.Priority = 50;
    job.Size = 2048;
    job.TimeSubmitted = QDateTime(QDate(2026, 12, 5), QTime(9, 0, 0)).addSecs(jobId);
    job.StatusMask = statusMask;
    return job;
}

QStringList FakeSpooler::queueNames() {
    QStringList names;
    for (const SpoolerQueue& q : queues_)
        names << q.Name;
    return act("queueNames") == SpoolerResult::Success ? names : QStringList();
}

std::optional<SpoolerQueue> FakeSpooler::queue(const QString& name) {
    ++calls["queue"];
    if (stall)
        stall();
    for (const SpoolerQueue& q : queues_)
        if (reachable && q.Name == name)
            return q;
    return std::nullopt;
}

QList<SpoolerJob> FakeSpooler::jobs() {
    if (stall)
        stall();
    return act("jobs") == SpoolerResult::Success ? jobs_ : QList<SpoolerJob>();
}

QList<SpoolerJob> FakeSpooler::queueJobs(const QString& queue) {
    QList<SpoolerJob> result;
    for (const SpoolerJob& job : jobs_)
        if (printerOfJobName(job.Name) == queue)
            result << job;
    return act("queueJobs") == SpoolerResult::Success ? result : QList<SpoolerJob>();
}

SpoolerResult FakeSpooler::act(const char* call) {
    ++calls[call];
    return reachable ? SpoolerResult::Success : SpoolerResult::Unreachable;
}

SpoolerResult FakeSpooler::setJobStatus(const char* call, int jobId, int statusMask) {
    const SpoolerResult result = act(call);
    for (SpoolerJob& job : jobs_)
        if (reachable && job.JobId == jobId)
            job.StatusMask = statusMask;
    return result;
}

SpoolerResult FakeSpooler::deleteJob(const QString&, int jobId) {
    const SpoolerResult result = act("deleteJob");
    jobs_.removeIf(
        [this, jobId](const SpoolerJob& job) { return reachable && job.JobId == jobId; });
    return result;
}

SpoolerResult FakeSpooler::deleteJobs(const QString& queue, const QList<int>& jobIds,
                                      qsizetype& deleted) {
    const SpoolerResult result = act("deleteJobs");
    deleted = reachable ? jobIds.size() : 0;
    jobs_.removeIf([&](const SpoolerJob& job) {
        return reachable && printerOfJobName(job.Name) == queue && jobIds.contains(job.JobId);
    });
    return result;
}

SpoolerResult FakeSpooler::setQueuePaused(const char* call, const QString& name, bool paused) {
    const SpoolerResult result = act(call);
    for (SpoolerQueue& q : queues_)
        if (reachable && q.Name == name)
            q.Status = withQueuePaused(q.Status, paused);
    return result;
}

SpoolerResult FakeSpooler::moveJob(const QString&, int jobId, const QString& toQueue) {
    const SpoolerResult result = act("moveJob");
    for (SpoolerJob& job : jobs_)
        if (reachable && job.JobId == jobId)
            job.Name = toQueue + QStringLiteral(", ") + QString::number(jobId);
    return result;
}

SpoolerResult FakeSpooler::makeMovedJobsQueue(const QString&, const QString& name) {
    const SpoolerResult result = act("makeMovedJobsQueue");
    const bool known = std::any_of(queues_.begin(), queues_.end(),
                                   [&name](const SpoolerQueue& q) { return q.Name == name; });
    if (reachable && !known) {
        SpoolerQueue made;
        made.Name = name;
        queues_ << made;
    }
    return result;
}
