#pragma once

#include "platform/PrintSpooler.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The unfinished jobs of a server at one moment, keyed by job name ("printer, id"). Comparing two
// of them gives the job events that lead from one to the other, whatever the server said or failed
// to say in between; a single job's news is applied to it in place, at a cost that does not
// depend on how many jobs it holds.
class JobSnapshot {
public:
    struct Change {
        QString action; // "New", "Modified" or "Deleted"
        SpoolerJob job;
    };

    JobSnapshot() = default;
    explicit JobSnapshot(const QList<SpoolerJob>& jobs);

    // What happened between this snapshot and `later`: first the jobs that left
    // (with the fields they had last), then, in the server's order, the jobs that
    // came and the jobs whose fields changed. A name that now belongs to a job
    // submitted at another time is another job (a server that lost its state
    // numbers its jobs from 1 again): the old one left and a new one came.
    QList<Change> changesTo(const JobSnapshot& later) const;

    // The job with this id, if the snapshot holds it.
    const SpoolerJob* find(int jobId) const;

    // Takes in the job as it is now, and says what that changed, as changesTo
    // would: nothing, New, Modified, or Deleted of an earlier job of the same
    // id followed by New.
    QList<Change> put(const SpoolerJob& job);

    // Takes out the job with this id: Deleted with the fields it had last, or
    // nothing when the snapshot did not hold it.
    QList<Change> remove(int jobId);

    int size() const { return static_cast<int>(jobs_.size()); }

    // The highest job id the snapshot ever held: jobs numbered above it came later.
    int highestId() const { return highestId_; }

private:
    void compact();

    // The server's order; a name taken out stays here until the list is
    // compacted, so that taking a job out costs no search.
    QStringList names_;
    QHash<QString, SpoolerJob> jobs_;
    QHash<int, QString> namesById_;
    int highestId_ = 0;
};
