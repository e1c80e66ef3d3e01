#pragma once

#include <QStringList>

class FrmMain;

// Gives jobs seen for the first time their rows in the job log, keyed by their
// TransactionID; jobs the log already knows are left alone. The rows are SearchList
// rows. A job already printing keeps pages and size out of the log: they are
// written when the job is released.
void LogNewJobs(FrmMain& form, const QList<QStringList>& searchRows);
