#pragma once

#include <QList>

struct SpoolerJob;
class FrmMain;

// Gives jobs seen for the first time their rows in the job log, keyed by their
// TransactionID; jobs the log already knows are left alone. A job already printing
// keeps pages and size out of the log: they are written when the job is released.
void logNewJobs(FrmMain& form, const QList<SpoolerJob>& jobs);
