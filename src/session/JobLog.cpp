#include "session/JobLog.h"

#include "form/FrmMain.h"
#include "log/JobLogRow.h"
#include "log/LogDatabase.h"
#include "platform/PrintSpooler.h"
#include "session/QueueSession.h"

void logNewJobs(FrmMain& f, const QList<SpoolerJob>& jobs) {
    QList<LogRow> rows;
    rows.reserve(jobs.size());
    const QString& server = QueueSession::of(f).WmiServer();
    for (const SpoolerJob& job : jobs)
        rows.append(jobLogRow(job, server));
    f.log().logNewRows(rows);
}
