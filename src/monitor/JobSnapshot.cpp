#include "monitor/JobSnapshot.h"

namespace {

const QString kNew = QStringLiteral("New");
const QString kModified = QStringLiteral("Modified");
const QString kDeleted = QStringLiteral("Deleted");

} // namespace

JobSnapshot::JobSnapshot(const QList<SpoolerJob>& jobs) {
    for (const SpoolerJob& job : jobs) {
        if (!jobs_.contains(job.Name))
            names_ << job.Name;
        jobs_.insert(job.Name, job);
    }
}

QList<JobSnapshot::Change> JobSnapshot::changesTo(const JobSnapshot& later) const {
    QList<Change> changes;
    auto sameJob = [](const SpoolerJob& a, const SpoolerJob& b) {
        return a.TimeSubmitted == b.TimeSubmitted;
    };
    for (const QString& name : names_) {
        const auto now = later.jobs_.constFind(name);
        const SpoolerJob& before = jobs_[name];
        if (now == later.jobs_.constEnd() || !sameJob(before, now.value()))
            changes << Change{kDeleted, before};
    }
    for (const QString& name : later.names_) {
        const SpoolerJob& now = later.jobs_[name];
        const auto before = jobs_.constFind(name);
        if (before == jobs_.constEnd() || !sameJob(before.value(), now))
            changes << Change{kNew, now};
        else if (before.value() != now)
            changes << Change{kModified, now};
    }
    return changes;
}
