#include "session/JobLog.h"

#include "form/FrmMain.h"
#include "log/JobLogRow.h"
#include "log/LogDatabase.h"
#include "platform/PrintSpooler.h"

void LogNewJobs(FrmMain& f, const QList<SpoolerJob>& jobs) {
    QList<LogRow> rows;
    rows.reserve(jobs.size());
    for (const SpoolerJob& job : jobs)
        rows.append(jobLogRow(job, f.WmiServer));
    f.Log().LogNewRows(rows);
}
