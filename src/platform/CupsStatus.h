#pragma once

#include <QStringList>

struct SpoolerJob;

// How CUPS states read in the Windows spooler's numbers, in one place so that
// every call and the job monitor agree.

// A job's StatusMask from its job-state: pending 0, held 1, processing 16,
// processing-stopped 1, canceled 256, aborted 2, completed 128.
int jobStatusMask(int jobState);

// A queue's Status bits from printer-state and printer-state-reasons. Reasons
// match with or without their -report, -warning or -error suffix.
quint32 queueStatusBits(int printerState, const QStringList& reasons);

// Win32_Printer's ExtendedPrinterStatus: offline 7 before error 9 before
// stopped 8 before processing 4; idle 3.
int extendedPrinterStatus(int printerState, const QStringList& reasons);

// Named checks of those numbers, so that no procedure tests bits itself.
// The job is paused: held on the server, or stopped.
bool isHeld(const SpoolerJob& job);
// The job waits for its turn: neither held nor printing nor done.
bool isQueued(const SpoolerJob& job);
// The queue's Status says it is paused (stopped): it starts no job.
bool queuePaused(quint32 status);
// A queue's Status with its paused bit set or cleared.
quint32 withQueuePaused(quint32 status, bool paused);
