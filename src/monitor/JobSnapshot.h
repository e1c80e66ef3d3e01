#pragma once

#include "platform/PrintSpooler.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The unfinished jobs of a server at one moment, keyed by job name ("printer, id"). Comparing two
// of them gives the job events that lead from one to the other, whatever the server said or failed
// to say in between.
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

    int size() const { return static_cast<int>(names_.size()); }

private:
    QStringList names_; // the server's order
    QHash<QString, SpoolerJob> jobs_;
};
