#pragma once

#include "form/WindowPart.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QThreadPool>
#include <atomic>
#include <memory>

struct SpoolerJob;
class GuardedSpooler;

// The pages of jobs the spooler lists without them (kPagesNotCounted): counted once
// per job and run, on the window's page worker, never while the window waits. A
// job shows at once with its Pages cell empty; its rows and its log row get the
// count when it comes. A job whose log row already holds Pages takes them from
// there and its documents are never fetched.

// What the window knows of the pages of such jobs in this run, keyed by
// TransactionID, and the worker that counts them.
class PageCounter : public WindowPart {
public:
    explicit PageCounter(FrmMain& form);
    ~PageCounter() override;
    static PageCounter& of(FrmMain& form) { return windowPart<PageCounter>(form); }

    // The pages had for a job, from the server or the log; kPagesNotCounted before.
    qint64 countedPages(const QString& id) const;
    bool noneCounted() const { return countedPages_.isEmpty(); }
    void noteCounted(const QString& id, qint64 pages) { countedPages_.insert(id, pages); }
    // Why a job's pages stay uncounted (its rows' tool tip); nothing otherwise.
    QString whyNotCounted(const QString& id) const { return pagesNotCounted_.value(id); }
    void noteNotCounted(const QString& id, const QString& why) { pagesNotCounted_.insert(id, why); }
    // Each job is asked for once a run: false when it was asked for before.
    bool ask(const QString& id);
    // Lets a job be asked for again; says how many times it has been so far.
    int askAgain(const QString& id);

    // Counts run here, one job at a time, and stop at the next job once the
    // window goes.
    QThreadPool& worker() { return worker_; }
    std::shared_ptr<const std::atomic<bool>> stopFlag() const { return stop_; }

private:
    QSet<QString> pagesAsked_;
    QHash<QString, qint64> countedPages_;
    QHash<QString, QString> pagesNotCounted_;
    QHash<QString, int> tries_; // of the jobs the server gave no count yet
    QThreadPool worker_;
    std::shared_ptr<std::atomic<bool>> stop_ = std::make_shared<std::atomic<bool>>(false);
};

// Gives the jobs listed without pages the count had earlier in this run.
void fillCountedPages(FrmMain& form, QList<SpoolerJob>& jobs);
// Has the pages counted of those jobs that still have none and were not asked for
// before, by `spooler`, the spooler that listed them. Call it once the jobs are
// shown and logged.
void countMissingPages(FrmMain& form, GuardedSpooler* spooler, const QList<SpoolerJob>& jobs);
// The spooler that counts the pages of jobs the monitor tells of: the watched
// server's while the monitor watches one, else the one the jobs are read from.
GuardedSpooler* countingSpooler(FrmMain& form);
