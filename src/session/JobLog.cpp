#include "session/JobLog.h"

#include "form/FrmMain.h"
#include "log/LogDatabase.h"
#include "platform/JobText.h"
#include "platform/PrintSpooler.h"
#include "session/QueueSession.h"

#include <QComboBox>

void LogNewJobs(FrmMain& f, const QList<SpoolerJob>& jobs) {
    f.Log().LogNewRows(NewJobRows(f, jobs));
}

QList<LogRow> NewJobRows(const FrmMain& f, const QList<SpoolerJob>& jobs) {
    QList<LogRow> rows;
    rows.reserve(jobs.size());
    const QString& server = QueueSession::of(f).WmiServer();
    for (const SpoolerJob& job : jobs) {
        const QStringList text = JobTexts(job);
        QList<LogField> fields{{QStringLiteral("Server"), server},
                               {QStringLiteral("Queue"), text[SearchColumn::Printer]},
                               {QStringLiteral("Description"), text[SearchColumn::Description]},
                               {QStringLiteral("Computer"), text[SearchColumn::Computer]},
                               {QStringLiteral("User"), text[SearchColumn::User]},
                               {QStringLiteral("Name"), text[SearchColumn::ID]},
                               {QStringLiteral("Time Submitted"), text[SearchColumn::Submitted]},
                               {QStringLiteral("Priority"), text[SearchColumn::Priority]}};
        const QString status = text[SearchColumn::Status];
        if (status != QLatin1String("Printing") && status != QLatin1String("Printed")) {
            if (job.TotalPages != kPagesNotCounted)
                fields.append({QStringLiteral("Pages"), text[SearchColumn::Pages]});
            fields.append({QStringLiteral("Size"), text[SearchColumn::Size]});
        }
        rows.append({TransactionID(text[SearchColumn::ID], text[SearchColumn::Submitted]), fields});
    }
    return rows;
}
