#pragma once

#include "platform/CupsConnection.h"
#include "platform/CupsRecords.h"
#include "platform/PrintSpooler.h"
#include "platform/SpoolerCredentials.h"

#include <QHash>
#include <QPair>
#include <memory>
#include <variant>
#include <vector>

// A job as the server's record of it describes it, with the pages it is taken to have.
SpoolerJob spoolerJobOf(const CupsJobRecord& record, qint64 totalPages);

// The print spooler of a CUPS server, spoken to over IPP through one
// CupsConnection.
//
// Pages: CUPS counts a job's pages only as it prints them, so for a job whose
// submitter did not declare job-impressions the spooler reads the job's
// documents (CUPS-Get-Document) and counts their pages itself, once per job for
// the life of this object, which is one run: the count is remembered by job id
// and creation time, so a number the server gives again to a new job is not
// mistaken for the old one. Listing jobs either counts them on the way (the
// default) or leaves them kPagesNotCounted for countPages() to count later, one
// job at a time; a job larger than kMostCountedBytes is never fetched.
class CupsSpooler : public PrintSpooler {
public:
    // `prompt` asks the operator for credentials when the server wants them;
    // without one such requests are refused as AccessDenied.
    explicit CupsSpooler(const QString& serverName, const SpoolerTimeouts& timeouts = {},
                         CredentialsPrompt prompt = CredentialsPrompt());

    QString serverName() const override { return serverName_; }
    QStringList queueNames() override;
    std::optional<SpoolerQueue> queue(const QString& name) override;
    QList<SpoolerJob> jobs() override;
    QList<SpoolerJob> queueJobs(const QString& queue) override;
    SpoolerResult pauseJob(const QString& queue, int jobId) override;
    SpoolerResult resumeJob(const QString& queue, int jobId) override;
    SpoolerResult deleteJob(const QString& queue, int jobId) override;
    SpoolerResult setJobPriority(const QString& queue, int jobId, int priority) override;
    SpoolerResult pauseQueue(const QString& queue) override;
    SpoolerResult resumeQueue(const QString& queue) override;
    SpoolerResult purgeQueue(const QString& queue) override;
    SpoolerResult deleteJobs(const QString& queue, const QList<int>& jobIds,
                             qsizetype& deleted) override;
    SpoolerResult printTestPage(const QString& queue) override;
    QList<SpoolerPrinter> printers() override;
    QString printerWebPage(const QString& queue) const override;
    std::optional<SpoolerCredentials> credentials() const override;

    // One job, read with one Get-Job-Attributes, made as jobs() makes it; nothing
    // when the server knows no such job or the job has finished (completed,
    // cancelled or aborted), so that only a failure leaves lastResult() unsuccessful.
    std::optional<SpoolerJob> unfinishedJob(int jobId);
    // At most `limit` unfinished jobs from the job numbered firstJobId on, in
    // one Get-Jobs, made as jobs() makes them. A server that orders its jobs
    // otherwise may answer with others as well: the caller picks what it asked for.
    QList<SpoolerJob> unfinishedJobsFrom(int firstJobId, int limit);

    // How the last call ended, so that an empty answer from an unreachable
    // server can be told from a server without queues.
    QList<SpoolerAttribute> printerAttributes(const QString& queue) override;
    std::optional<QString> jobHoldUntilDefault(const QString& queue) override;
    SpoolerResult setJobHoldUntilDefault(const QString& queue, const QString& value) override;
    SpoolerResult moveJob(const QString& queue, int jobId, const QString& toQueue) override;
    SpoolerResult makeMovedJobsQueue(const QString& model, const QString& name) override;
    SpoolerResult lastResult() const override { return lastResult_; }
    QString lastMessage() const override { return lastMessage_; }

    // Counts one job's pages (see above); what came of it is remembered like a
    // count. Leaves lastResult() as it was: counting runs beside the listings.
    JobPageCount countPages(const SpoolerJob& job) override;
    // Several jobs' documents are read at once, each over a connection of its own:
    // the server sends a document only a little at each pass of its loop, so one
    // connection carries far less than the server could send.
    QList<JobPageCount> countPages(const QList<SpoolerJob>& jobs) override;

    // Whether listing jobs counts the pages of those that declare none by reading
    // their documents; without, such jobs come with kPagesNotCounted.
    void setCountsPages(bool counts) { countsPages_ = counts; }

    // The requests sent so far, and the documents read to count pages, for tests
    // that prove what a call costs.
    int requestsSent() const { return connection_.requestsSent(); }
    int documentsRead() const { return documentsRead_; }
    qint64 documentBytesRead() const { return documentBytesRead_; }

private:
    QList<SpoolerJob> jobsAt(const QString& uri, bool wholeServer);
    SpoolerJob jobOf(const CupsJobRecord& record);
    using JobKey = QPair<int, qint64>; // job id, time-at-creation
    qint64 totalPagesOf(const CupsJobRecord& record);
    // What counting needs of a job: how many documents (< 0: as many as the
    // server has) and how large they are.
    struct Reading {
        JobKey key;
        int documents = -1;
        qint64 kOctets = 0;
    };
    // The count remembered for the job, if any; else how to read it.
    std::variant<JobPageCount, Reading> countingOf(const SpoolerJob& job) const;
    JobPageCount count(const Reading& reading);
    void remember(const Reading& reading, const JobPageCount& counted, int documents, qint64 bytes);
    SpoolerResult perform(IppPtr request, const char* resource);
    SpoolerResult cancelJobs(const QString& queue, const QList<int>& jobIds);

    // What the last listings said of a job that counting needs to know.
    struct ListedJob {
        int documents = 0;
        qint64 kOctets = 0;
    };
    QString serverName_;
    CupsConnection connection_;
    SpoolerResult lastResult_ = SpoolerResult::Success;
    QString lastMessage_; // of the last job or printer operation
    QHash<JobKey, JobPageCount> countedPages_;
    QHash<JobKey, ListedJob> listed_;
    // The connections that read documents side by side, made when first needed,
    // each used by one thread at a time.
    std::vector<std::unique_ptr<CupsConnection>> readers_;
    SpoolerTimeouts timeouts_;
    int documentsRead_ = 0;
    qint64 documentBytesRead_ = 0;
    bool countsPages_ = true;
};
