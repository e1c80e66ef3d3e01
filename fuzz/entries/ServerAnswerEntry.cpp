#include "FuzzEntries.h"
#include "Scratch.h"

#include "platform/CupsRecords.h"
#include "platform/CupsSpooler.h"
#include "platform/CupsStatus.h"
#include "platform/JobStatus.h"
#include "platform/JobText.h"
#include "platform/MonitorProtocol.h"

#include <cstring>
#include <memory>

namespace {

// Hands libcups the input's bytes as a connection would.
struct Reader {
    const QByteArray& bytes;
    qsizetype offset = 0;
};

ssize_t readBytes(void* context, ipp_uchar_t* buffer, size_t wanted) {
    auto* reader = static_cast<Reader*>(context);
    const qsizetype count =
        std::min(static_cast<qsizetype>(wanted), reader->bytes.size() - reader->offset);
    std::memcpy(buffer, reader->bytes.constData() + reader->offset, static_cast<size_t>(count));
    reader->offset += count;
    return count;
}

} // namespace

namespace FuzzEntries {

QString serverAnswer(const QByteArray& input) {
    const std::unique_ptr<ipp_t, decltype(&ippDelete)> answer(ippNew(), ippDelete);
    Reader reader{input};
    ipp_state_t state;
    do
        state = ippReadIO(&reader, readBytes, 1, nullptr, answer.get());
    while (state != IPP_STATE_DATA && state != IPP_STATE_ERROR);
    if (state != IPP_STATE_DATA)
        return QString(); // libcups refuses it: the connection reports a failure

    for (const CupsJobRecord& record : jobRecordsOf(answer.get())) {
        const SpoolerJob job = spoolerJobOf(record, record.impressions.value_or(kPagesNotCounted));
        const QStringList texts = jobTexts(job);
        if (texts.size() != SearchColumn::Count)
            return QStringLiteral("%1 texts for a job").arg(texts.size());
        for (const QString& text : texts)
            if (cleanJobText(text) != text)
                return QStringLiteral("a job text %1 holds what a cell cannot")
                    .arg(Scratch::sample(text));
        JobIconIndex(texts.at(SearchColumn::Status));
        // The monitor sends such a job to the program, which must read the same job.
        const auto sent = MonitorProtocol::jobFromFields(MonitorProtocol::jobFields(job));
        if (!job.Name.isEmpty() && (!sent || *sent != job))
            return QStringLiteral("the job %1 changes when the monitor sends it")
                .arg(Scratch::sample(job.Name));
    }
    for (const CupsPrinterRecord& printer : printerRecordsOf(answer.get())) {
        PrinterStatusText(queueStatusBits(printer.state, printer.stateReasons));
        ExtendedPrinterStatusText(extendedPrinterStatus(printer.state, printer.stateReasons));
    }
    notificationsRecordOf(answer.get());
    documentRecordOf(answer.get());
    return QString();
}

} // namespace FuzzEntries
