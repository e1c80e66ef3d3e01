#include "platform/CupsRecords.h"

#include <QUrl>
#include <cstring>

namespace {

bool named(ipp_attribute_t* attr, const char* name) {
    return std::strcmp(ippGetName(attr), name) == 0;
}

QString text(ipp_attribute_t* attr, int index = 0) {
    return QString::fromUtf8(ippGetString(attr, index, nullptr));
}

QStringList texts(ipp_attribute_t* attr) {
    QStringList values;
    for (int i = 0; i < ippGetCount(attr); ++i)
        values << text(attr, i);
    return values;
}

// An integer or enum value; a no-value or unknown attribute (a job not yet
// processed has time-at-processing no-value) counts as absent.
std::optional<qint64> number(ipp_attribute_t* attr) {
    const ipp_tag_t tag = ippGetValueTag(attr);
    if (tag != IPP_TAG_INTEGER && tag != IPP_TAG_ENUM)
        return std::nullopt;
    return ippGetInteger(attr, 0);
}

void read(CupsJobRecord& job, ipp_attribute_t* attr) {
    const qint64 value = number(attr).value_or(0);
    if (named(attr, "job-id"))
        job.id = static_cast<int>(value);
    else if (named(attr, "job-name"))
        job.name = text(attr);
    else if (named(attr, "job-originating-user-name"))
        job.user = text(attr);
    else if (named(attr, "job-originating-host-name"))
        job.host = text(attr);
    else if (named(attr, "job-printer-uri"))
        job.printerUri = text(attr);
    else if (named(attr, "job-state"))
        job.state = static_cast<int>(value);
    else if (named(attr, "job-hold-until"))
        job.holdUntil = text(attr);
    else if (named(attr, "job-state-reasons"))
        job.stateReasons = texts(attr);
    else if (named(attr, "job-priority"))
        job.priority = static_cast<int>(value);
    else if (named(attr, "job-k-octets"))
        job.kOctets = value;
    else if (named(attr, "time-at-creation"))
        job.timeAtCreation = value;
    else if (named(attr, "job-impressions"))
        job.impressions = number(attr);
    else if (named(attr, "job-impressions-completed"))
        job.impressionsCompleted = value;
    else if (named(attr, "number-of-documents"))
        job.documents = static_cast<int>(value);
}

void read(CupsPrinterRecord& printer, ipp_attribute_t* attr) {
    if (named(attr, "printer-name"))
        printer.name = text(attr);
    else if (named(attr, "printer-info"))
        printer.info = text(attr);
    else if (named(attr, "printer-location"))
        printer.location = text(attr);
    else if (named(attr, "printer-make-and-model"))
        printer.makeAndModel = text(attr);
    else if (named(attr, "printer-uri-supported"))
        printer.uriSupported = texts(attr);
    else if (named(attr, "device-uri"))
        printer.deviceUri = text(attr);
    else if (named(attr, "job-hold-until-default"))
        printer.holdUntilDefault = text(attr);
    else if (named(attr, "printer-state"))
        printer.state = static_cast<int>(number(attr).value_or(0));
    else if (named(attr, "printer-state-reasons"))
        printer.stateReasons = texts(attr);
    else if (named(attr, "printer-is-shared"))
        printer.shared = ippGetValueTag(attr) == IPP_TAG_BOOLEAN && ippGetBoolean(attr, 0);
}

void read(CupsEventRecord& event, ipp_attribute_t* attr) {
    if (named(attr, "notify-sequence-number"))
        event.sequence = static_cast<int>(number(attr).value_or(0));
    else if (named(attr, "notify-subscribed-event"))
        event.event = text(attr);
    else if (named(attr, "notify-job-id"))
        event.jobId = static_cast<int>(number(attr).value_or(0));
    else if (named(attr, "job-state"))
        event.jobState = static_cast<int>(number(attr).value_or(0));
    else if (named(attr, "job-impressions-completed"))
        event.impressionsCompleted = number(attr);
}

// One record per run of attributes in `group`; a separator (an attribute of no
// group) or another group ends a run.
template <typename Record> QList<Record> recordsOf(ipp_t* response, ipp_tag_t group) {
    QList<Record> records;
    if (!response)
        return records;
    ipp_attribute_t* attr = ippFirstAttribute(response);
    while (attr) {
        while (attr && ippGetGroupTag(attr) != group)
            attr = ippNextAttribute(response);
        if (!attr)
            break;
        Record record;
        for (; attr && ippGetGroupTag(attr) == group; attr = ippNextAttribute(response))
            if (ippGetName(attr))
                read(record, attr);
        records << record;
    }
    return records;
}

} // namespace

QString CupsJobRecord::printerName() const {
    return QUrl::fromPercentEncoding(
        printerUri.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty).toUtf8());
}

QList<CupsJobRecord> jobRecordsOf(ipp_t* response) {
    return recordsOf<CupsJobRecord>(response, IPP_TAG_JOB);
}

CupsNotificationsRecord notificationsRecordOf(ipp_t* response) {
    CupsNotificationsRecord notifications;
    notifications.events = recordsOf<CupsEventRecord>(response, IPP_TAG_EVENT_NOTIFICATION);
    if (ipp_attribute_t* interval =
            response ? ippFindAttribute(response, "notify-get-interval", IPP_TAG_INTEGER) : nullptr)
        notifications.getIntervalSeconds = ippGetInteger(interval, 0);
    return notifications;
}

QList<CupsPrinterRecord> printerRecordsOf(ipp_t* response) {
    return recordsOf<CupsPrinterRecord>(response, IPP_TAG_PRINTER);
}

CupsDocumentRecord documentRecordOf(ipp_t* response) {
    CupsDocumentRecord document;
    if (ipp_attribute_t* format =
            response ? ippFindAttribute(response, "document-format", IPP_TAG_MIMETYPE) : nullptr)
        document.format = text(format);
    return document;
}
