#pragma once

#include <QList>
#include <QString>

class FrmMain;
struct SpoolerJob;

// The Jobs menu: each command acts on the job selected in JobList, in the queue and
// on the server the window shows; with several jobs selected, on each of them in one
// pass (SelectedJobActions.h). Every command writes its status line and audit row
// first; a job that has left the queue since the grid was drawn is left alone (the
// status bar says so and the view is refreshed), and a job the server refuses to
// change is neither logged nor counted (the status bar gives the server's reason).

void MenuPauseJob(FrmMain& form);
// Releases the job, once the operator agreed to release to a printer that needs
// attention (ReleaseQuestion.h): its log row gets Resumed and Printed Pages, its pages are
// counted as printed, and it becomes the last released job. Under AutoQueue the
// queue stays paused: the job prints through its release queue (ReleaseQueue.h).
void MenuResumeJob(FrmMain& form);
// Asks first; a deleted job's log row gets Deleted and Deleted Pages.
void MenuRemove(FrmMain& form);
// What a deletion writes into the job's log row and counts, once the server deleted it.
void logJobDeleted(FrmMain& form, const SpoolerJob& job);
void MenuPriority(FrmMain& form);
// Stores the operator's comment in the job's log row.
void mnuLogComment(FrmMain& form);
// Kept in the menu, hidden; it does nothing.
void mnuJobProperties(FrmMain& form);

// Resume Job and Delete Job on the one job selectedJob() gives, however many rows are
// selected: the double-click and the job action dialog act on one job.
void resumeSelectedJob(FrmMain& form);
void removeSelectedJob(FrmMain& form);

// The job selected in JobList: the current row when it is selected, else the first
// selected row; null when none is.
const SpoolerJob* selectedJob(FrmMain& form);

// Resume Job on one job of the grid: what MenuResumeJob does to the selected one.
// Resume All, AutoRelease and the user exceptions release jobs through here. True
// when the server released it. `queued`: the queue's jobs as just listed by a caller
// that releases many, so that each release does not list the queue again.
bool resumeJob(FrmMain& form, const SpoolerJob& job, const QList<SpoolerJob>* queued = nullptr);
// resumeJob without its status line and audit row, for a release the program makes
// by itself, which is audited only when the server accepted it.
bool releaseJob(FrmMain& form, const SpoolerJob& job, const QList<SpoolerJob>* queued = nullptr);
