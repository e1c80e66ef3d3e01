#include "platform/JobText.h"

#include "platform/DateText.h"
#include "platform/PrintSpooler.h"

namespace {
// The queue part of a job name "printer, id"; the id never holds ", ", so the last
// one separates them even where a printer name holds one.
QString printerOf(const QString& jobName) {
    const int separator = jobName.lastIndexOf(QStringLiteral(", "));
    return separator < 0 ? jobName : jobName.left(separator);
}
} // namespace

QStringList JobFields(const SpoolerJob& job) {
    return {QString::number(job.StatusMask),
            job.Document,
            job.HostPrintQueue,
            job.Owner,
            printerOf(job.Name),
            QString::number(job.TotalPages),
            QString::number(job.PagesPrinted),
            QString::number(job.Priority),
            SizeText(job.Size),
            DateText::format(job.TimeSubmitted),
            QString::number(job.JobId),
            job.Name};
}
