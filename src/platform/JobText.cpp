#include "platform/JobText.h"

#include "platform/DateText.h"
#include "platform/JobStatus.h"
#include "platform/PrintSpooler.h"

QString printerOfJobName(const QString& jobName) {
    const int separator = jobName.lastIndexOf(QStringLiteral(", "));
    return separator < 0 ? jobName : jobName.left(separator);
}

QString jobNameOf(const QString& printer, int jobId) {
    return printer + QStringLiteral(", ") + QString::number(jobId);
}

QString TransactionID(const QString& jobId, const QString& submitted) {
    return jobId + QLatin1Char('-') + submitted;
}

QString TransactionID(const SpoolerJob& job) {
    return TransactionID(QString::number(job.JobId), DateText::format(job.TimeSubmitted));
}

QString cleanJobText(QString text) {
    for (QChar& c : text)
        if (c == QLatin1Char('|') || c.category() == QChar::Other_Control ||
            c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    return text;
}

QStringList jobTexts(const SpoolerJob& job) {
    return {JobStatusText(job.StatusMask),
            cleanJobText(job.Document),
            cleanJobText(job.HostPrintQueue),
            cleanJobText(job.Owner),
            cleanJobText(printerOfJobName(job.Name)),
            job.TotalPages == kPagesNotCounted ? QString() : QString::number(job.TotalPages),
            QString::number(job.PagesPrinted),
            QString::number(job.Priority),
            sizeText(job.Size),
            DateText::format(job.TimeSubmitted),
            QString::number(job.JobId),
            cleanJobText(job.Name)};
}
