#include "monitor/JobSnapshot.h"

#include "monitor/JobDetail.h"
#include "platform/PrintSpooler.h"

namespace {

const QString kNew = QStringLiteral("New");
const QString kModified = QStringLiteral("Modified");
const QString kDeleted = QStringLiteral("Deleted");

} // namespace

JobSnapshot::JobSnapshot(const QList<SpoolerJob>& jobs) {
    for (const SpoolerJob& job : jobs) {
        QStringList fields = JobDetail::fieldsOf(job);
        const QString name = fields.at(JobDetail::Name);
        if (!fields_.contains(name))
            names_ << name;
        fields_.insert(name, std::move(fields));
    }
}

QList<JobSnapshot::Change> JobSnapshot::changesTo(const JobSnapshot& later) const {
    QList<Change> changes;
    auto sameJob = [](const QStringList& a, const QStringList& b) {
        return a.at(JobDetail::Submitted) == b.at(JobDetail::Submitted);
    };
    for (const QString& name : names_) {
        const auto now = later.fields_.constFind(name);
        const QStringList before = fields_.value(name);
        if (now == later.fields_.constEnd() || !sameJob(before, now.value()))
            changes << Change{kDeleted, JobDetail::join(before)};
    }
    for (const QString& name : later.names_) {
        const QStringList now = later.fields_.value(name);
        const auto before = fields_.constFind(name);
        if (before == fields_.constEnd() || !sameJob(before.value(), now))
            changes << Change{kNew, JobDetail::join(now)};
        else if (before.value() != now)
            changes << Change{kModified, JobDetail::join(now)};
    }
    return changes;
}
