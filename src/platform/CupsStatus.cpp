#include "platform/CupsStatus.h"

#include "platform/PrintSpooler.h"
#include "platform/PrinterReasons.h"

#include <cups/ipp.h>

namespace {

// The job status bits of the Windows spooler this program reports.
enum JobStatus : int {
    JobQueued = 0,
    JobPaused = 1,
    JobError = 2,
    JobPrinted = 128,
    JobPrinting = 16,
    JobDeleted = 256,
};

// The queue Status bits of the Windows spooler this program reports.
enum QueueStatus : quint32 {
    Paused = 0x1,
    Error = 0x2,
    PaperJam = 0x8,
    PaperOut = 0x10,
    Offline = 0x80,
    OutputBinFull = 0x800,
    Processing = 0x400,
    TonerLow = 0x20000,
    NoToner = 0x40000,
    DoorOpen = 0x400000,
};

quint32 reasonBits(const QString& reason) {
    const QString base = withoutSeverity(reason);
    quint32 bits = reason.endsWith(QLatin1String("-error")) ? quint32(Error) : 0u;
    if (base == QLatin1String("media-jam"))
        bits |= PaperJam;
    else if (base == QLatin1String("media-empty") || base == QLatin1String("media-needed"))
        bits |= PaperOut;
    else if (base == QLatin1String("offline"))
        bits |= Offline;
    else if (base == QLatin1String("toner-low") || base == QLatin1String("marker-supply-low"))
        bits |= TonerLow;
    else if (base == QLatin1String("toner-empty") || base == QLatin1String("marker-supply-empty"))
        bits |= NoToner;
    else if (base == QLatin1String("door-open") || base == QLatin1String("cover-open"))
        bits |= DoorOpen;
    else if (base == QLatin1String("output-area-full"))
        bits |= OutputBinFull;
    return bits;
}

} // namespace

int jobStatusMask(int jobState) {
    switch (jobState) {
    case IPP_JSTATE_HELD:
    case IPP_JSTATE_STOPPED:
        return JobPaused;
    case IPP_JSTATE_PROCESSING:
        return JobPrinting;
    case IPP_JSTATE_CANCELED:
        return JobDeleted;
    case IPP_JSTATE_ABORTED:
        return JobError;
    case IPP_JSTATE_COMPLETED:
        return JobPrinted;
    default:
        return JobQueued; // pending
    }
}

quint32 queueStatusBits(int printerState, const QStringList& reasons) {
    quint32 bits = 0;
    if (printerState == IPP_PSTATE_STOPPED)
        bits |= Paused;
    else if (printerState == IPP_PSTATE_PROCESSING)
        bits |= Processing;
    for (const QString& reason : reasons)
        bits |= reasonBits(reason);
    return bits;
}

int extendedPrinterStatus(int printerState, const QStringList& reasons) {
    const quint32 bits = queueStatusBits(printerState, reasons);
    if (bits & Offline)
        return 7;
    if (bits & Error)
        return 9;
    if (printerState == IPP_PSTATE_STOPPED)
        return 8;
    if (printerState == IPP_PSTATE_PROCESSING)
        return 4;
    return 3;
}

bool isHeld(const SpoolerJob& job) {
    // The mask is one value, not a set of bits: a job is paused or something else.
    return job.StatusMask == JobPaused;
}

bool isQueued(const SpoolerJob& job) {
    return job.StatusMask == JobQueued;
}

bool queuePaused(quint32 status) {
    return (status & Paused) != 0;
}

quint32 withQueuePaused(quint32 status, bool paused) {
    return paused ? (status | Paused) : (status & ~quint32(Paused));
}
