#include "session/JobPages.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "platform/GuardedSpooler.h"
#include "platform/JobText.h"
#include "platform/PrintSpooler.h"
#include "session/JobMonitor.h"
#include "session/QueueSession.h"

#include <QElapsedTimer>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace {

struct CountedJob {
    SpoolerJob job;
    JobPageCount count;
};

// Counts reach the window in handfuls, so that the log writes many in one
// transaction while the first ones still show soon.
constexpr qint64 kHandfulMs = 200;
// The jobs handed to the spooler together, whose documents it may read at once;
// the spooler is the window's for no longer than the largest of them takes.
constexpr qsizetype kJobsAtOnce = 3;
// Jobs whose documents the server did not give in time (it was busy, or they had not
// all arrived) are asked for again as long as the grids show them: first after this,
// then after twice as long each time, up to the longest wait, so that a server that
// stays down, or a job whose documents never come, costs little.
constexpr int kAgainMs = 2000;
constexpr int kLongestAgainMs = 64000;

int againAfterMs(int tries) {
    int wait = kAgainMs;
    for (int i = 1; i < tries && wait < kLongestAgainMs; ++i)
        wait *= 2;
    return std::min(wait, kLongestAgainMs);
}

QString whyNotCounted(JobPageCount::Outcome outcome) {
    switch (outcome) {
    case JobPageCount::Outcome::TooLarge:
        return QStringLiteral("Pages not counted: the document is larger than %1 MB")
            .arg(kMostCountedBytes / (1024 * 1024));
    case JobPageCount::Outcome::Unavailable:
        return QStringLiteral("Pages not counted: the server did not give the document");
    case JobPageCount::Outcome::Counted:
    case JobPageCount::Outcome::Gone:
    case JobPageCount::Outcome::NotYet:
        break;
    }
    return QString();
}

// The grid's row of this very job while it still has no pages; none otherwise.
const SpoolerJob* shownUncounted(const JobGrid& grid, const SpoolerJob& job) {
    const SpoolerJob* shown = grid.job(job.Name);
    return shown && shown->TimeSubmitted == job.TimeSubmitted &&
                   shown->TotalPages == kPagesNotCounted
               ? shown
               : nullptr;
}

// Rewrites the job's rows in both grids with these pages, where they still show
// this very job without them; with kPagesNotCounted, fills them again for their
// tool tip.
void showPages(FrmMain& f, const SpoolerJob& job, qint64 pages) {
    for (JobGrid* grid : {&f.searchGrid(), &f.jobGrid()}) {
        const SpoolerJob* shown = shownUncounted(*grid, job);
        if (!shown)
            continue;
        SpoolerJob counted = *shown;
        counted.TotalPages = pages;
        grid->rewrite(counted);
    }
}

void countAgainLater(FrmMain& f, const QList<SpoolerJob>& jobs, int tries) {
    FrmMain* form = &f;
    QTimer::singleShot(againAfterMs(tries), &f, [form, jobs] {
        if (form->unloading)
            return;
        QList<SpoolerJob> shown;
        for (const SpoolerJob& job : jobs) {
            const SpoolerJob* still = shownUncounted(form->jobGrid(), job);
            if (!still)
                still = shownUncounted(form->searchGrid(), job);
            if (still)
                shown << *still;
        }
        countMissingPages(*form, countingSpooler(*form), shown);
    });
}

void applyCounts(FrmMain& f, const QList<CountedJob>& counts) {
    PageCounter& counter = PageCounter::of(f);
    QList<LogRow> rows;
    QList<SpoolerJob> again;
    int fewestTries = std::numeric_limits<int>::max();
    for (const CountedJob& counted : counts) {
        const QString id = TransactionID(counted.job);
        if (counted.count.outcome == JobPageCount::Outcome::Counted) {
            counter.noteCounted(id, counted.count.pages);
            showPages(f, counted.job, counted.count.pages);
            SpoolerJob job = counted.job;
            job.TotalPages = counted.count.pages;
            rows.append({id, {{QStringLiteral("Pages"), jobTexts(job)[SearchColumn::Pages]}}});
        } else if (counted.count.outcome == JobPageCount::Outcome::NotYet) {
            fewestTries = std::min(fewestTries, counter.askAgain(id));
            again << counted.job;
        } else if (const QString why = whyNotCounted(counted.count.outcome); !why.isEmpty()) {
            counter.noteNotCounted(id, why);
            showPages(f, counted.job, kPagesNotCounted);
        }
    }
    f.log().setLogFieldsOfRows(rows);
    if (!again.isEmpty())
        countAgainLater(f, again, fewestTries);
}

void countOnWorker(FrmMain& f, GuardedSpooler* spooler, const QList<SpoolerJob>& jobs) {
    FrmMain* form = &f;
    PageCounter& counter = PageCounter::of(f);
    std::shared_ptr<const std::atomic<bool>> stop = counter.stopFlag();
    counter.worker().start([form, spooler, jobs, stop] {
        const SpoolerPrompts::Off noDialogsHere;
        QList<CountedJob> handful;
        QElapsedTimer sinceSent;
        sinceSent.start();
        const auto send = [&] {
            if (handful.isEmpty())
                return;
            QMetaObject::invokeMethod(
                form, [form, handful] { applyCounts(*form, handful); }, Qt::QueuedConnection);
            handful.clear();
            sinceSent.restart();
        };
        for (qsizetype first = 0; first < jobs.size(); first += kJobsAtOnce) {
            if (stop->load())
                return;
            const QList<SpoolerJob> together = jobs.mid(first, kJobsAtOnce);
            const QList<JobPageCount> counts = spooler->countPages(together);
            for (qsizetype i = 0; i < together.size() && i < counts.size(); ++i)
                handful.append({together[i], counts[i]});
            if (sinceSent.elapsed() >= kHandfulMs)
                send();
        }
        send();
    });
}

} // namespace

PageCounter::PageCounter(FrmMain& form) : WindowPart(form) {
    worker_.setMaxThreadCount(1);
    const auto toolTipOf = [this](const SpoolerJob& job) {
        return job.TotalPages == kPagesNotCounted && !pagesNotCounted_.isEmpty()
                   ? pagesNotCounted_.value(TransactionID(job))
                   : QString();
    };
    form.jobGrid().setToolTipOf(toolTipOf);
    form.searchGrid().setToolTipOf(toolTipOf);
}

PageCounter::~PageCounter() {
    stop_->store(true);
    worker_.waitForDone();
    auto& form = *static_cast<FrmMain*>(parent());
    form.jobGrid().setToolTipOf({});
    form.searchGrid().setToolTipOf({});
}

qint64 PageCounter::countedPages(const QString& id) const {
    return countedPages_.value(id, kPagesNotCounted);
}

int PageCounter::askAgain(const QString& id) {
    pagesAsked_.remove(id);
    return ++tries_[id];
}

bool PageCounter::ask(const QString& id) {
    if (pagesAsked_.contains(id))
        return false;
    pagesAsked_.insert(id);
    return true;
}

void fillCountedPages(FrmMain& f, QList<SpoolerJob>& jobs) {
    const PageCounter& counter = PageCounter::of(f);
    if (counter.noneCounted())
        return;
    for (SpoolerJob& job : jobs)
        if (job.TotalPages == kPagesNotCounted)
            job.TotalPages = counter.countedPages(TransactionID(job));
}

void countMissingPages(FrmMain& f, GuardedSpooler* spooler, const QList<SpoolerJob>& jobs) {
    PageCounter& counter = PageCounter::of(f);
    QList<SpoolerJob> asked;
    QStringList ids;
    for (const SpoolerJob& job : jobs) {
        if (job.TotalPages != kPagesNotCounted)
            continue;
        const QString id = TransactionID(job);
        if (!counter.ask(id))
            continue;
        asked.append(job);
        ids.append(id);
    }
    if (asked.isEmpty())
        return;
    const QHash<QString, QString> logged = f.log().logFieldOfRows(ids, QStringLiteral("Pages"));
    QList<SpoolerJob> toCount;
    for (int i = 0; i < asked.size(); ++i) {
        bool ok = false;
        const qint64 pages = logged.value(ids.at(i)).toLongLong(&ok);
        if (ok && pages >= 0) {
            counter.noteCounted(ids.at(i), pages);
            showPages(f, asked.at(i), pages);
        } else {
            toCount.append(asked.at(i));
        }
    }
    if (!toCount.isEmpty() && spooler)
        countOnWorker(f, spooler, toCount);
}

GuardedSpooler* countingSpooler(FrmMain& f) {
    const QString& watched = MonitorLink::of(f).server();
    return watched.isEmpty() ? QueueSession::of(f).WmiServices() : f.spoolerFor(watched);
}
