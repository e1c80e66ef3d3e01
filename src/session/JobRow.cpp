#include "session/JobRow.h"

#include "platform/DateText.h"
#include "platform/PrintSpooler.h"
#include "session/JobIcons.h"
#include "session/JobStatus.h"

#include <QTreeWidgetItem>

QStringList JobListHeaders() {
    return {QStringLiteral("Status"),   QStringLiteral("Description"), QStringLiteral("Computer"),
            QStringLiteral("User"),     QStringLiteral("Pages"),       QStringLiteral("Printed"),
            QStringLiteral("Priority"), QStringLiteral("Size"),        QStringLiteral("Submitted"),
            QStringLiteral("ID"),       QStringLiteral("Name")};
}

QStringList SearchListHeaders() {
    QStringList headers = JobListHeaders();
    headers.insert(SearchColumn::Printer, QStringLiteral("Printer"));
    return headers;
}

QString TransactionID(const QString& jobId, const QString& submitted) {
    return jobId + QLatin1Char('-') + submitted;
}

QString PrinterOfJobName(const QString& jobName) {
    return jobName.section(QLatin1Char(','), 0, 0);
}

QStringList SearchRowFromJob(const SpoolerJob& job) {
    QStringList row = SearchRowFromEventFields(JobFields(job));
    // A job read from the spooler is placed by its name up to the first comma, so a
    // printer whose name holds a comma shows its jobs under no queue.
    row[SearchColumn::Printer] = PrinterOfJobName(job.Name);
    return row;
}

QStringList SearchRowFromEventFields(const QStringList& fields) {
    QStringList row;
    for (int i = 0; i < SearchColumn::Count; ++i)
        row << fields.value(i);
    row[SearchColumn::Status] = JobStatusText(fields.value(0).toLongLong());
    return row;
}

QStringList JobRowFromSearchRow(const QStringList& searchRow) {
    QStringList row = searchRow;
    while (row.size() < SearchColumn::Count)
        row << QString();
    row.removeAt(SearchColumn::Printer);
    return row;
}

void FillJobRow(QTreeWidgetItem* item, const QStringList& texts) {
    for (int column = 0; column < texts.size(); ++column)
        item->setText(column, texts.at(column));
    item->setIcon(0, JobIcons::icon(JobIconIndex(texts.value(0))));
}

QStringList RowTexts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int column = 0; column < item->columnCount(); ++column)
        texts << item->text(column);
    return texts;
}
