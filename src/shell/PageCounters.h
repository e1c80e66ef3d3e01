#pragma once

#include "form/WindowPart.h"

#include <QString>

// The page counters: pages released and deleted this session (held by the window)
// and since the last reset (the "Log Counters" section of swr.ini, read and written
// back at every raise so that two copies of the program add up).

inline constexpr const char* kPrintedCounter = "PrintedCounter";
inline constexpr const char* kDeletedCounter = "DeletedCounter";

// The pages released and deleted since the program started.
class SessionPages : public WindowPart {
public:
    using WindowPart::WindowPart;
    static SessionPages& of(FrmMain& form) { return windowPart<SessionPages>(form); }
    static const SessionPages& of(const FrmMain& form) { return windowPart<SessionPages>(form); }

    qint64 SessionPrintedPages() const { return printed_; }
    qint64 SessionDeletedPages() const { return deleted_; }
    void addPrinted(qint64 pages) { printed_ += pages; }
    void addDeleted(qint64 pages) { deleted_ += pages; }
    void reset() { printed_ = deleted_ = 0; }

private:
    qint64 printed_ = 0;
    qint64 deleted_ = 0;
};

// The running total stored under `key`; text that is no number counts as 0.
qint64 readPageCounter(const FrmMain& form, const QString& key);

// A released job's pages: the session's printed pages and PrintedCounter.
void countPrintedPages(FrmMain& form, qint64 pages);
// A deleted job's pages: the session's deleted pages and DeletedCounter.
void countDeletedPages(FrmMain& form, qint64 pages);

// Sets both session counters and both running totals to 0.
void resetPageCounters(FrmMain& form);
