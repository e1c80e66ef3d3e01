#include "monitor/JobDetail.h"

#include "platform/DateText.h"
#include "platform/JobText.h"
#include "platform/PrintSpooler.h"

namespace JobDetail {

namespace {

// The queue part of a job name "printer, id"; the id never holds ", ", so the
// last one separates them even if a printer name held one.
QString printerOf(const QString& jobName) {
    const int separator = jobName.lastIndexOf(QStringLiteral(", "));
    return separator < 0 ? jobName : jobName.left(separator);
}

bool breaksALine(QChar c) {
    return c == QLatin1Char('|') || c.category() == QChar::Other_Control ||
           c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph;
}

} // namespace

QString safe(QString text) {
    for (QChar& c : text)
        if (breaksALine(c))
            c = QLatin1Char(' ');
    return text;
}

QStringList fieldsOf(const SpoolerJob& job) {
    QStringList fields{QString::number(job.StatusMask),
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
    for (QString& field : fields)
        field = safe(field);
    return fields;
}

QString join(const QStringList& fields) {
    return fields.join(QLatin1Char('|'));
}

} // namespace JobDetail
