#pragma once

#include "platform/SpoolerCredentials.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// How long any call to a print server may wait. Shared by every request, so an
// unreachable or silent server never holds the window longer than this.
struct SpoolerTimeouts {
    int connectMs = 3000; // opening the connection
    int requestMs = 5000; // a server that stops answering during a request is left after this
};

// How a call to a print server ended, in the terms the program reports to the
// operator. AccessDenied covers every refusal for lack of rights, including a
// password the operator would not give.
enum class SpoolerResult {
    Success,
    NotFound,     // no such queue or job
    AccessDenied, // forbidden, not authorized, not authenticated
    Unreachable,  // no connection, or no answer within the timeouts
    Failed,       // any other refusal or error
};

// The TotalPages of a job whose pages nobody has counted yet: its Pages cell stays
// empty and its log row gets no Pages until they are counted.
inline constexpr qint64 kPagesNotCounted = -1;

// The most document bytes fetched to count one job's pages: a larger job would hold
// up the counting of every job behind it for longer than its pages are worth.
inline constexpr qint64 kMostCountedBytes = 64LL * 1024 * 1024;

// One print job as the Windows spooler would describe it (Win32_PrintJob), so the
// program's job rules read the same whatever spooler answers.
struct SpoolerJob {
    int JobId = 0;
    QString Name; // "printer, id"
    QString Document;
    QString Owner;
    QString HostPrintQueue; // the submitting computer
    qint64 TotalPages = 0;  // kPagesNotCounted until somebody counted them
    qint64 PagesPrinted = 0;
    int Priority = 0;
    qint64 Size = 0; // bytes
    QDateTime TimeSubmitted;
    int StatusMask = 0; // Windows job status bits: 0 queued, 1 paused, 16 printing, ...
    // Until when the server holds the job ("indefinite", a time of day, ...); empty
    // where the spooler does not say (the job monitor's events do not). Only the
    // tool tip of a held job reads it: jobs are the same job whatever it says.
    QString holdUntil;
    // Why the server holds the job or keeps it waiting (job-state-reasons:
    // "job-hold-until-specified", "printer-stopped", ...); read like holdUntil.
    QStringList stateReasons;

    bool operator==(const SpoolerJob& other) const {
        return JobId == other.JobId && Name == other.Name && Document == other.Document &&
               Owner == other.Owner && HostPrintQueue == other.HostPrintQueue &&
               TotalPages == other.TotalPages && PagesPrinted == other.PagesPrinted &&
               Priority == other.Priority && Size == other.Size &&
               TimeSubmitted == other.TimeSubmitted && StatusMask == other.StatusMask;
    }
    bool operator!=(const SpoolerJob& other) const { return !(*this == other); }
};

// What counting one job's pages came to.
struct JobPageCount {
    enum class Outcome {
        Counted,     // pages holds the count
        TooLarge,    // its documents are larger than kMostCountedBytes: not fetched
        Unavailable, // the server would not give a document, or cannot count here
        Gone,        // the job is no longer on the server
        NotYet,      // no answer in time, or its documents have not all arrived: ask again
    };
    Outcome outcome = Outcome::Unavailable;
    qint64 pages = kPagesNotCounted;
};

// A print queue as the directory provider describes it (its print-queue object).
struct SpoolerQueue {
    QString Name;
    QString Description; // printer-info
    QString PrinterPath; // the queue's address, ipp://server:port/printers/NAME
    QString Location;
    QString Model;
    quint32 Status = 0; // Windows queue status bits: 0x1 paused, 0x2 error, 0x80 offline, ...
    // What the server does with a job that asks nothing of its own ("no-hold",
    // "indefinite", ...); empty where the spooler does not say.
    QString holdUntilDefault = {};
    // printer-state-reasons as the server gives them ("media-jam-error", ...); empty
    // where the spooler does not say.
    QStringList stateReasons = {};
};

// A printer as the live reports describe it (Win32_Printer).
struct SpoolerPrinter {
    QString Name;
    QString ShareName;
    int ExtendedPrinterStatus = 0; // 3 idle, 4 printing, 7 offline, 8 paused, 9 error
    QString Comment;
    bool Shared = false;
    QString PortName; // the device address
    QString Location;
};

// One attribute of a printer as the server gives it: its name and its value(s) as
// text, for showing the operator what the server knows of a printer.
struct SpoolerAttribute {
    QString name;
    QString value;
};

// One print server, seen in the terms the program's features use: queues and jobs
// with the names and status numbers of the Windows spooler. One instance per
// server name. Every call is bounded by the timeouts above; a failing call
// reports failure to its caller and never throws.
class PrintSpooler {
public:
    virtual ~PrintSpooler() = default;

    // The server box text this spooler was made for ("host" or "host:port").
    virtual QString serverName() const = 0;

    // The names of the server's print queues, in the order the server returns them.
    // Empty when the server cannot be reached or answers with an error.
    virtual QStringList queueNames() = 0;

    // The queue's properties and status; nothing when the queue cannot be read.
    virtual std::optional<SpoolerQueue> queue(const QString& name) = 0;

    // Every job of the server that has not finished, in the server's order, read in
    // one request. Empty when the server cannot be reached.
    virtual QList<SpoolerJob> jobs() = 0;

    // The jobs of one queue (its PrintJobs collection), in the server's order.
    virtual QList<SpoolerJob> queueJobs(const QString& queue) = 0;

    // Job actions, by queue name and job number.
    virtual SpoolerResult pauseJob(const QString& queue, int jobId) = 0;  // hold
    virtual SpoolerResult resumeJob(const QString& queue, int jobId) = 0; // release
    virtual SpoolerResult deleteJob(const QString& queue, int jobId) = 0; // cancel
    virtual SpoolerResult setJobPriority(const QString& queue, int jobId, int priority) = 0;

    // Queue actions.
    virtual SpoolerResult pauseQueue(const QString& queue) = 0;
    virtual SpoolerResult resumeQueue(const QString& queue) = 0;
    virtual SpoolerResult purgeQueue(const QString& queue) = 0; // every job removed
    // Deletes exactly these jobs of the queue, so that a job that came after they
    // were listed stays; a job among them that has left the queue meanwhile is no
    // reason to keep the others. `deleted` says how many of them, from the first,
    // are gone: all on success, those before the failure otherwise.
    virtual SpoolerResult deleteJobs(const QString& queue, const QList<int>& jobIds,
                                     qsizetype& deleted) = 0;
    virtual SpoolerResult printTestPage(const QString& queue) = 0;

    // Every printer of the server, for the live reports.
    virtual QList<SpoolerPrinter> printers() = 0;

    // The address of the queue's page in the server's web interface.
    virtual QString printerWebPage(const QString& queue) const = 0;

    // Counts the pages of a job listed without them (kPagesNotCounted), by its
    // number and submission time, reading its documents when it must. A spooler
    // that cannot read documents counts none.
    virtual JobPageCount countPages(const SpoolerJob& job) {
        (void)job;
        return {};
    }
    // The same for several jobs, in their order; a spooler that can read several
    // documents at once does, so that the count takes no longer than the largest.
    virtual QList<JobPageCount> countPages(const QList<SpoolerJob>& jobs) {
        QList<JobPageCount> counts;
        for (const SpoolerJob& job : jobs)
            counts << countPages(job);
        return counts;
    }

    // Every attribute the server gives of one printer, in its order; empty when the
    // printer cannot be read.
    virtual QList<SpoolerAttribute> printerAttributes(const QString& queue) {
        (void)queue;
        return {};
    }

    // What the server does with a job that arrives in the queue asking nothing of
    // its own: "no-hold" prints it, "indefinite" holds it until released. Nothing
    // when it cannot be read.
    virtual std::optional<QString> jobHoldUntilDefault(const QString& queue) {
        (void)queue;
        return std::nullopt;
    }
    virtual SpoolerResult setJobHoldUntilDefault(const QString& queue, const QString& value) {
        (void)queue;
        (void)value;
        return SpoolerResult::Failed;
    }

    // Moves a job to another queue of the same server as it stands: a held job stays
    // held, a released one prints there as soon as that queue can.
    virtual SpoolerResult moveJob(const QString& queue, int jobId, const QString& toQueue) {
        (void)queue;
        (void)jobId;
        (void)toQueue;
        return SpoolerResult::Failed;
    }
    // Makes the queue `name`, or sets it up again, to print to the device of `model`
    // with its driver: running, not shared and refusing every job sent to it, so that
    // only jobs moved into it print through it.
    virtual SpoolerResult makeMovedJobsQueue(const QString& model, const QString& name) {
        (void)model;
        (void)name;
        return SpoolerResult::Failed;
    }

    // How the last call to the server ended; tells an empty list from a failed one.
    virtual SpoolerResult lastResult() const = 0;
    // The server's own words on how the last call ended ("Not authorized", ...);
    // empty when it said nothing or was not reached.
    virtual QString lastMessage() const { return QString(); }

    // The user name and password the operator gave this server during the run, if
    // any, so that the job monitor can use them too.
    virtual std::optional<SpoolerCredentials> credentials() const { return std::nullopt; }
};
