#include "session/JobLog.h"

#include "app/FrmMain.h"
#include "log/LogDatabase.h"
#include "session/JobRow.h"

#include <QComboBox>

void LogNewJobs(FrmMain& f, const QList<QStringList>& searchRows) {
    QList<LogRow> rows;
    for (const QStringList& row : searchRows) {
        QList<LogField> fields{{QStringLiteral("Server"), f.CurrentPrinter->currentText()},
                               {QStringLiteral("Queue"), row[SearchColumn::Printer]},
                               {QStringLiteral("Description"), row[SearchColumn::Description]},
                               {QStringLiteral("Computer"), row[SearchColumn::Computer]},
                               {QStringLiteral("User"), row[SearchColumn::User]},
                               {QStringLiteral("Name"), row[SearchColumn::ID]},
                               {QStringLiteral("Time Submitted"), row[SearchColumn::Submitted]},
                               {QStringLiteral("Priority"), row[SearchColumn::Priority]}};
        const QString status = row[SearchColumn::Status];
        if (status != QLatin1String("Printing") && status != QLatin1String("Printed")) {
            fields.append({QStringLiteral("Pages"), row[SearchColumn::Pages]});
            fields.append({QStringLiteral("Size"), row[SearchColumn::Size]});
        }
        rows.append({TransactionID(row[SearchColumn::ID], row[SearchColumn::Submitted]), fields});
    }
    f.Log().LogNewRows(rows);
}
