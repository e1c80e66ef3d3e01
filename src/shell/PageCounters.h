#pragma once

#include <QString>

class FrmMain;

// The page counters: pages released and deleted this session (held by the window)
// and since the last reset (the "Log Counters" section of swr.ini, read and written
// back at every raise so that two copies of the program add up).

inline constexpr const char* kPrintedCounter = "PrintedCounter";
inline constexpr const char* kDeletedCounter = "DeletedCounter";

// The running total stored under `key`; text that is no number counts as 0.
qint64 ReadPageCounter(const FrmMain& form, const QString& key);

// A released job's pages: the session's printed pages and PrintedCounter.
void CountPrintedPages(FrmMain& form, qint64 pages);
// A deleted job's pages: the session's deleted pages and DeletedCounter.
void CountDeletedPages(FrmMain& form, qint64 pages);

// Sets both session counters and both running totals to 0.
void ResetPageCounters(FrmMain& form);
