#include "monitor/JobDetail.h"

#include "platform/DateText.h"
#include "platform/JobText.h"
#include "platform/PrintSpooler.h"

namespace JobDetail {

namespace {

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
    QStringList fields = JobFields(job);
    for (QString& field : fields)
        field = safe(field);
    return fields;
}

QString join(const QStringList& fields) {
    return fields.join(QLatin1Char('|'));
}

} // namespace JobDetail
