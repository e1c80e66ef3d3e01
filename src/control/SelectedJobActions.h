#pragma once

#include <QList>

class FrmMain;
struct SpoolerJob;

// The Jobs menu on several jobs selected in JobList at once (JobActions.h for one).
// Each job gets the audit row, log fields and counters the command gives one job, in
// the order of the grid's rows, and a question is asked once for them all. The first
// job's request goes from the window's thread, where the server may ask for the
// operator's password, and the others from the poll's worker, one after the other,
// so that the window goes on answering however many jobs there are. The grid, kept
// up to date by the job monitor, says which jobs are there: the queue is listed (once)
// only to tell a job that has left it from one the server refused. Either is named in
// one line of the status bar, and the others go on. While one pass runs, another
// asks nothing.

void pauseSelectedJobs(FrmMain& form, const QList<SpoolerJob>& jobs);
void resumeSelectedJobs(FrmMain& form, const QList<SpoolerJob>& jobs);
// Asks "Are you sure you want to delete the N selected jobs?" first.
void removeSelectedJobs(FrmMain& form, const QList<SpoolerJob>& jobs);
void changeSelectedJobsPriority(FrmMain& form, const QList<SpoolerJob>& jobs);
void commentSelectedJobs(FrmMain& form, const QList<SpoolerJob>& jobs);

// Whether a pass over selected jobs waits for the server.
bool selectedJobsPassRunning(const FrmMain& form);
// Lets a pass still under way end and log what it did, for at most `waitMs`: the
// window calls it as it closes, before it stops taking answers.
void finishSelectedJobsPass(FrmMain& form, int waitMs);
