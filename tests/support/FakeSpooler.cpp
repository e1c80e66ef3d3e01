#include "support/FakeSpooler.h"

#include "platform/JobText.h"

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
    if (!reachable)
        return SpoolerResult::Unreachable;
    return refuse;
}

SpoolerResult FakeSpooler::pauseJob(const QString&, int jobId) {
    const SpoolerResult result = act("pauseJob");
    if (result == SpoolerResult::Success)
        for (SpoolerJob& job : jobs_)
            if (job.JobId == jobId)
                job.StatusMask = 1;
    return result;
}

SpoolerResult FakeSpooler::resumeJob(const QString&, int jobId) {
    const SpoolerResult result = act("resumeJob");
    if (result == SpoolerResult::Success)
        for (SpoolerJob& job : jobs_)
            if (job.JobId == jobId)
                job.StatusMask = 0;
    return result;
}

SpoolerResult FakeSpooler::deleteJob(const QString&, int jobId) {
    const SpoolerResult result = act("deleteJob");
    if (result == SpoolerResult::Success)
        jobs_.removeIf([jobId](const SpoolerJob& job) { return job.JobId == jobId; });
    return result;
}

SpoolerResult FakeSpooler::setJobPriority(const QString&, int jobId, int priority) {
    const SpoolerResult result = act("setJobPriority");
    if (result == SpoolerResult::Success)
        for (SpoolerJob& job : jobs_)
            if (job.JobId == jobId)
                job.Priority = priority;
    return result;
}

SpoolerResult FakeSpooler::pauseQueue(const QString& name) {
    const SpoolerResult result = act("pauseQueue");
    if (result == SpoolerResult::Success)
        for (SpoolerQueue& q : queues_)
            if (q.Name == name)
                q.Status |= 0x1;
    return result;
}

SpoolerResult FakeSpooler::resumeQueue(const QString& name) {
    const SpoolerResult result = act("resumeQueue");
    if (result == SpoolerResult::Success)
        for (SpoolerQueue& q : queues_)
            if (q.Name == name)
                q.Status &= ~0x1u;
    return result;
}

SpoolerResult FakeSpooler::purgeQueue(const QString& name) {
    const SpoolerResult result = act("purgeQueue");
    if (result == SpoolerResult::Success)
        jobs_.removeIf([&name](const SpoolerJob& job) {
            return job.Name.section(QLatin1Char(','), 0, 0) == name;
        });
    return result;
}

SpoolerResult FakeSpooler::printTestPage(const QString&) {
    return act("printTestPage");
}

QList<SpoolerPrinter> FakeSpooler::printers() {
    ++calls["printers"];
    QList<SpoolerPrinter> result;
    if (reachable)
        for (const SpoolerQueue& q : queues_)
            result << SpoolerPrinter{q.Name,        q.Name, (q.Status & 0x1) ? 8 : 3,
                                     q.Description, true,   QStringLiteral("file:///dev/null"),
                                     q.Location};
    return result;
}

QString FakeSpooler::printerWebPage(const QString& queue) const {
    return QStringLiteral("http://%1/printers/%2").arg(server_, queue);
}

void FakeSpooler::addQueue(const SpoolerQueue& queue) {
    queues_ << queue;
}

SpoolerJob& FakeSpooler::addJob(const QString& queue, int jobId, const QString& document,
                                const QString& owner, int statusMask) {
    SpoolerJob job;
    job.JobId = jobId;
    job.Name = queue + QStringLiteral(", ") + QString::number(jobId);
    job.Document = document;
    job.Owner = owner;
    job.HostPrintQueue = QStringLiteral("desk7");
    job.TotalPages = 1;
    job.Priority = 50;
    job.Size = 2048;
    job.TimeSubmitted = QDateTime(QDate(2026, 12, 5), QTime(9, 0, 0)).addSecs(jobId);
    job.StatusMask = statusMask;
    jobs_ << job;
    return jobs_.last();
}
