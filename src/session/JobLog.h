#pragma once

#include <QStringList>

class FrmMain;

// Gives a job seen for the first time its row in the job log, keyed by its
// TransactionID; a job the log already knows is left alone. The row is a SearchList
// row. A job already printing keeps pages and size out of the log: they are
// written when the job is released.
void LogNewJob(FrmMain& form, const QStringList& searchRow);
