#pragma once

#include "platform/PrintSpooler.h"

#include <QColor>
#include <QList>
#include <QString>
#include <optional>

class FrmMain;
class GuardedSpooler;

// What a refresh of the job view reads from the server.
struct QueueView {
    bool allJobsRead = false; // a full pass was made (the view was stale)
    std::optional<QList<SpoolerJob>> allJobs;
    qint64 allJobsMs = 0;
    std::optional<SpoolerQueue> queue; // the queue's properties and status
    QList<int> held;                   // the jobs the hold rule held
};

// What a refresh asks for: the queue, a full pass when the jobs shown are stale, and
// under AutoQueue the holding of the queue's new jobs (every job not paused and not
// the one just released).
struct QueueViewRequest {
    QString queue;
    bool readAllJobs = false;
    bool holdNewJobs = false;
    QString lastReleasedJob;
    // What the same tick read of the queue already, so that it is not asked twice.
    std::optional<SpoolerQueue> queueRead;
    std::optional<QList<SpoolerJob>> jobsRead;
};

// The job-view refresh: brings the job grid, the queue's properties and coloured
// status up to date for the queue in the queue box, holds new jobs under AutoQueue
// and restarts the poll.
void CurrentPrintQueue_Click(FrmMain& form);
// The refresh in two halves, for the poll: the requests (safe off the window's
// thread), and showing their answer on the window.
QueueView readQueueView(GuardedSpooler* server, GuardedSpooler* jobsServer,
                        const QueueViewRequest& request);
void showQueueView(FrmMain& form, const QueueView& view);
// The colour a queue status text gives its box: each word found overrides the one
// before ("OK", "Printing", "Waiting" green; "Paused", "Busy" orange; "Error",
// "Offline" red). Invalid when no word is found, so the box keeps its colour.
QColor queueStatusColour(const QString& statusText);
