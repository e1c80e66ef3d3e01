#pragma once

#include "platform/PrintSpooler.h"

#include <QList>
#include <QString>
#include <optional>

class FrmMain;
class GuardedSpooler;

// Reading every job of the connected server at once into the server-wide grid.

// Makes sure the queue session's WmiServices is the spooler of this server (made
// once per name).
void ConnectWmi(FrmMain& form, const QString& server);
// The actions that wait for a server's every job off the window's thread
// (AwaitedAnswers): the reload button's, and a connection's.
inline constexpr char kReadingJobs[] = "Reload Jobs";
inline constexpr char kFindingQueues[] = "Find Queues";

// One pass over every job of the server WmiServices speaks to: fills SearchList,
// gives each job not yet logged its log row, then brings JobList up to date for
// the queue in the queue box. A server that does not answer leaves the grids as
// they were; the next pass that reaches it reads the jobs anew.
void RetrieveJobs(FrmMain& form, const QString& server, const QString& queue);
// The parts of a pass: its status texts as it begins, the request, which may run
// off the window's thread, and showing what it read (nothing: the server did not
// answer).
void beginRetrieval(FrmMain& form);
std::optional<QList<SpoolerJob>> readAllJobs(GuardedSpooler& spooler);
struct ReadJobs {
    std::optional<QList<SpoolerJob>> jobs;
    qint64 elapsedMs = 0;
};
ReadJobs readAllJobsTimed(GuardedSpooler& spooler);
void showAllJobs(FrmMain& form, const std::optional<QList<SpoolerJob>>& jobs, qint64 elapsedMs,
                 const QString& queue);
// Brings JobList up to date with the SearchList jobs of one queue.
void FilterQueueJobs(FrmMain& form, const QString& queue);
// The queue control panel's reload button: a full pass, asked off the window's
// thread; pressed again while it or a connection waits, it sends nothing.
void cmdRefreshJobs_Click(FrmMain& form);
