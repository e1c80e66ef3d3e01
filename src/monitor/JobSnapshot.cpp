#include "monitor/JobSnapshot.h"

#include "platform/MonitorProtocol.h"

#include <QSet>
#include <algorithm>

namespace {

bool sameJob(const SpoolerJob& a, const SpoolerJob& b) {
    return a.TimeSubmitted == b.TimeSubmitted;
}

} // namespace

JobSnapshot::JobSnapshot(const QList<SpoolerJob>& jobs) {
    for (const SpoolerJob& job : jobs) {
        if (!jobs_.contains(job.Name))
            names_ << job.Name;
        jobs_.insert(job.Name, job);
        namesById_.insert(job.JobId, job.Name);
        highestId_ = std::max(highestId_, job.JobId);
    }
}

QList<JobSnapshot::Change> JobSnapshot::changesTo(const JobSnapshot& later) const {
    QList<Change> changes;
    QSet<QString> seen; // a name taken out and put back is listed twice
    for (const QString& name : names_) {
        const auto held = jobs_.constFind(name);
        if (held == jobs_.constEnd() || seen.contains(name))
            continue;
        seen.insert(name);
        const auto now = later.jobs_.constFind(name);
        if (now == later.jobs_.constEnd() || !sameJob(held.value(), now.value()))
            changes << Change{MonitorProtocol::deletedAction, held.value()};
    }
    seen.clear();
    for (const QString& name : later.names_) {
        const auto held = later.jobs_.constFind(name);
        if (held == later.jobs_.constEnd() || seen.contains(name))
            continue;
        seen.insert(name);
        const SpoolerJob& now = held.value();
        const auto before = jobs_.constFind(name);
        if (before == jobs_.constEnd() || !sameJob(before.value(), now))
            changes << Change{MonitorProtocol::newAction, now};
        else if (before.value() != now)
            changes << Change{MonitorProtocol::modifiedAction, now};
    }
    return changes;
}

const SpoolerJob* JobSnapshot::find(int jobId) const {
    const auto name = namesById_.constFind(jobId);
    if (name == namesById_.constEnd())
        return nullptr;
    const auto job = jobs_.constFind(name.value());
    return job == jobs_.constEnd() ? nullptr : &job.value();
}

QList<JobSnapshot::Change> JobSnapshot::put(const SpoolerJob& job) {
    QList<Change> changes;
    const SpoolerJob* before = find(job.JobId);
    if (before && before->Name == job.Name && sameJob(*before, job)) {
        if (*before != job)
            changes << Change{MonitorProtocol::modifiedAction, job};
    } else {
        // Another job under this id, or the same job in another queue: as a
        // comparison of two lists would see it, one job left and one came.
        if (before)
            changes << remove(job.JobId);
        if (const auto named = jobs_.constFind(job.Name); named != jobs_.constEnd())
            changes << remove(named->JobId);
        changes << Change{MonitorProtocol::newAction, job};
        names_ << job.Name;
    }
    jobs_.insert(job.Name, job);
    namesById_.insert(job.JobId, job.Name);
    highestId_ = std::max(highestId_, job.JobId);
    return changes;
}

QList<JobSnapshot::Change> JobSnapshot::remove(int jobId) {
    const auto name = namesById_.constFind(jobId);
    if (name == namesById_.constEnd())
        return {};
    QList<Change> changes;
    const auto job = jobs_.constFind(name.value());
    if (job != jobs_.constEnd()) {
        changes << Change{MonitorProtocol::deletedAction, job.value()};
        jobs_.erase(job);
    }
    namesById_.erase(name);
    if (names_.size() > 2 * jobs_.size() + 64)
        compact();
    return changes;
}

void JobSnapshot::compact() {
    QStringList kept;
    kept.reserve(jobs_.size());
    QSet<QString> seen;
    for (const QString& name : std::as_const(names_))
        if (jobs_.contains(name) && !seen.contains(name)) {
            seen.insert(name);
            kept << name;
        }
    names_ = kept;
}
