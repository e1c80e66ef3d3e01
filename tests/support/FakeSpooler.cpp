#include "support/FakeSpooler.h"

#include "platform/JobText.h"

SpoolerJob SampleJob(const QString& queue, int jobId, const QString& document, const QString& owner,
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
    ++calls["queueNames"];
    QStringList names;
    if (reachable)
        for (const SpoolerQueue& q : queues_)
            names << q.Name;
    return names;
}

std::optional<SpoolerQueue> FakeSpooler::queue(const QString& name) {
    ++calls["queue"];
    if (stall)
        stall();
    if (reachable)
        for (const SpoolerQueue& q : queues_)
            if (q.Name == name)
                return q;
    return std::nullopt;
}

QList<SpoolerJob> FakeSpooler::jobs() {
    ++calls["jobs"];
    return reachable ? jobs_ : QList<SpoolerJob>();
}

QList<SpoolerJob> FakeSpooler::queueJobs(const QString& queue) {
    ++calls["queueJobs"];
    QList<SpoolerJob> result;
    if (reachable)
        for (const SpoolerJob& job : jobs_)
            if (PrinterOfJobName(job.Name) == queue)
                result << job;
    return result;
}

SpoolerResult FakeSpooler::act(const char* call) {
    ++calls[call];
    return reachable ? SpoolerResult::Success : SpoolerResult::Unreachable;
}

SpoolerResult FakeSpooler::setJobStatus(const char* call, int jobId, int statusMask) {
    const SpoolerResult result = act(call);
    if (result == SpoolerResult::Success)
        for (SpoolerJob& job : jobs_)
            if (job.JobId == jobId)
                job.StatusMask = statusMask;
    return result;
}

SpoolerResult FakeSpooler::pauseJob(const QString&, int jobId) {
    return setJobStatus("pauseJob", jobId, 1);
}

SpoolerResult FakeSpooler::resumeJob(const QString&, int jobId) {
    return setJobStatus("resumeJob", jobId, 0);
}

SpoolerResult FakeSpooler::deleteJob(const QString&, int jobId) {
    const SpoolerResult result = act("deleteJob");
    if (result == SpoolerResult::Success)
        jobs_.removeIf([jobId](const SpoolerJob& job) { return job.JobId == jobId; });
    return result;
}

SpoolerResult FakeSpooler::setQueuePaused(const char* call, const QString& name, bool paused) {
    const SpoolerResult result = act(call);
    if (result == SpoolerResult::Success)
        for (SpoolerQueue& q : queues_)
            if (q.Name == name)
                q.Status = paused ? (q.Status | 0x1u) : (q.Status & ~0x1u);
    return result;
}

SpoolerResult FakeSpooler::pauseQueue(const QString& name) {
    return setQueuePaused("pauseQueue", name, true);
}

SpoolerResult FakeSpooler::resumeQueue(const QString& name) {
    return setQueuePaused("resumeQueue", name, false);
}
