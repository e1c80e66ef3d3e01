#pragma once

#include <QList>

struct SpoolerJob;
class FrmMain;
class GuardedSpooler;

// The pages of jobs the spooler lists without them (kPagesNotCounted): counted once
// per job and run, on the window's page worker, never while the window waits. A
// job shows at once with its Pages cell empty; its rows and its log row get the
// count when it comes. A job whose log row already holds Pages takes them from
// there and its documents are never fetched.

// Gives the jobs listed without pages the count had earlier in this run.
void FillCountedPages(FrmMain& form, QList<SpoolerJob>& jobs);
// Has the pages counted of those jobs that still have none and were not asked for
// before, by `spooler`, the spooler that listed them. Call it once the jobs are
// shown and logged.
void CountMissingPages(FrmMain& form, GuardedSpooler* spooler, const QList<SpoolerJob>& jobs);
