#include "platform/CupsSpooler.h"

#include "platform/CupsRequests.h"
#include "platform/CupsStatus.h"
#include "platform/JobText.h"
#include "platform/PageCount.h"

#include <QDir>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <future>

namespace {

constexpr qint64 maxCountedKOctets = kMostCountedBytes / 1024;

// The test page CUPS itself prints, from its data folder (CUPS_DATADIR moves
// it, as it moves it for CUPS's own programs).
QString testPagePath() {
    const QString dataDir = qEnvironmentVariable("CUPS_DATADIR", QStringLiteral("/usr/share/cups"));
    return QDir(dataDir).filePath(QStringLiteral("data/testprint"));
}

// A server without any printer answers client-error-not-found to a listing:
// that server is fine, it just has nothing to list.
SpoolerResult listingResult(const CupsReply& reply) {
    return reply.result == SpoolerResult::NotFound && reply.response ? SpoolerResult::Success
                                                                     : reply.result;
}

// What reading one job's documents came to: the count, and the documents asked
// for and bytes read.
struct DocumentsRead {
    JobPageCount count{JobPageCount::Outcome::Counted, 0};
    int documents = 0;
    qint64 bytes = 0;
};

// Reads the job's documents over `connection` and counts their pages; documents < 0:
// as many as the server has. Touches nothing but the connection, so that several
// jobs can be read at once, each over a connection of its own.
DocumentsRead readDocuments(CupsConnection& connection, int jobId, int documents, qint64 kOctets) {
    DocumentsRead read;
    JobPageCount& counted = read.count;
    if (kOctets > maxCountedKOctets)
        counted = {JobPageCount::Outcome::TooLarge, kPagesNotCounted};
    for (int number = 1; counted.outcome == JobPageCount::Outcome::Counted &&
                         (documents < 0 || number <= documents);
         ++number) {
        QByteArray document;
        const CupsReply reply =
            connection.receiveDocument(documentRequest(connection, jobId, number), "/", &document);
        ++read.documents;
        read.bytes += document.size();
        if (documents < 0 && number > 1 && reply.result == SpoolerResult::NotFound)
            break; // the last document was the one before
        // One document missing would make the total a wrong number: none is better.
        if (reply.result != SpoolerResult::Success) {
            const bool gone = number == 1 && reply.result == SpoolerResult::NotFound;
            counted = {gone ? JobPageCount::Outcome::Gone
                       : reply.result == SpoolerResult::Unreachable
                           ? JobPageCount::Outcome::NotYet
                           : JobPageCount::Outcome::Unavailable,
                       kPagesNotCounted};
            break;
        }
        counted.pages +=
            PageCount::documentPages(document, documentRecordOf(reply.response.get()).format);
        if (documents < 0 && document.size() > kMostCountedBytes)
            counted = {JobPageCount::Outcome::TooLarge, kPagesNotCounted};
    }
    return read;
}

} // namespace

CupsSpooler::CupsSpooler(const QString& serverName, const SpoolerTimeouts& timeouts,
                         CredentialsPrompt prompt)
    : serverName_(serverName), connection_(serverName, timeouts, QString(), std::move(prompt)),
      timeouts_(timeouts) {}

QStringList CupsSpooler::queueNames() {
    const CupsReply reply = connection_.send(queueNamesRequest(connection_), "/");
    lastResult_ = listingResult(reply);
    QStringList names;
    if (reply.result != SpoolerResult::Success)
        return names;
    for (const CupsPrinterRecord& printer : printerRecordsOf(reply.response.get()))
        if (!printer.name.isEmpty())
            names << printer.name;
    return names;
}

std::optional<SpoolerQueue> CupsSpooler::queue(const QString& name) {
    const CupsReply reply = connection_.send(queueRequest(connection_, name), "/");
    lastResult_ = reply.result;
    if (reply.result != SpoolerResult::Success)
        return std::nullopt;
    const QList<CupsPrinterRecord> records = printerRecordsOf(reply.response.get());
    if (records.isEmpty()) {
        lastResult_ = SpoolerResult::Failed;
        return std::nullopt;
    }
    const CupsPrinterRecord& printer = records.first();
    SpoolerQueue queue;
    queue.Name = printer.name.isEmpty() ? name : printer.name;
    queue.Description = printer.info;
    // The server names itself by its own host name, which need not reach it from
    // here: the path is built from the server as the operator named it.
    queue.PrinterPath = printerUri(connection_, queue.Name);
    queue.Location = printer.location;
    queue.Model = printer.makeAndModel;
    queue.Status = queueStatusBits(printer.state, printer.stateReasons);
    queue.holdUntilDefault = printer.holdUntilDefault;
    queue.stateReasons = printer.stateReasons;
    return queue;
}

QList<SpoolerJob> CupsSpooler::jobs() {
    return jobsAt(serverUri(connection_), true);
}

QList<SpoolerJob> CupsSpooler::queueJobs(const QString& queue) {
    return jobsAt(printerUri(connection_, queue), false);
}

QList<SpoolerJob> CupsSpooler::jobsAt(const QString& uri, bool wholeServer) {
    const CupsReply reply = connection_.send(jobsRequest(connection_, uri), "/");
    lastResult_ = reply.result;
    QList<SpoolerJob> jobs;
    if (reply.result != SpoolerResult::Success)
        return jobs;
    const QList<CupsJobRecord> records = jobRecordsOf(reply.response.get());
    for (const CupsJobRecord& record : records) {
        listed_.insert({record.id, record.timeAtCreation}, {record.documents, record.kOctets});
        jobs << jobOf(record);
    }
    if (wholeServer) {
        // Every unfinished job of the server was listed: a count for a job no
        // longer among them will not be asked for again.
        QSet<JobKey> listed;
        for (const CupsJobRecord& record : records)
            listed.insert({record.id, record.timeAtCreation});
        for (auto it = countedPages_.begin(); it != countedPages_.end();)
            it = listed.contains(it.key()) ? std::next(it) : countedPages_.erase(it);
        for (auto it = listed_.begin(); it != listed_.end();)
            it = listed.contains(it.key()) ? std::next(it) : listed_.erase(it);
    }
    return jobs;
}

std::optional<SpoolerJob> CupsSpooler::unfinishedJob(int jobId) {
    const CupsReply reply = connection_.send(jobAttributesRequest(connection_, jobId), "/");
    if (reply.result == SpoolerResult::NotFound && reply.response) {
        lastResult_ = SpoolerResult::Success; // gone already: an answer all the same
        return std::nullopt;
    }
    lastResult_ = reply.result;
    if (reply.result != SpoolerResult::Success)
        return std::nullopt;
    const QList<CupsJobRecord> records = jobRecordsOf(reply.response.get());
    if (records.isEmpty() || records.first().state >= IPP_JSTATE_CANCELED)
        return std::nullopt;
    return jobOf(records.first());
}

QList<SpoolerJob> CupsSpooler::unfinishedJobsFrom(int firstJobId, int limit) {
    const CupsReply reply = connection_.send(jobsFromRequest(connection_, firstJobId, limit), "/");
    lastResult_ = listingResult(reply);
    QList<SpoolerJob> jobs;
    if (reply.result != SpoolerResult::Success)
        return jobs;
    for (const CupsJobRecord& record : jobRecordsOf(reply.response.get()))
        jobs << jobOf(record);
    return jobs;
}

SpoolerJob spoolerJobOf(const CupsJobRecord& record, qint64 totalPages) {
    SpoolerJob job;
    job.JobId = record.id;
    job.Name = jobNameOf(record.printerName(), record.id);
    job.Document = record.name;
    job.Owner = record.user;
    job.HostPrintQueue = record.host;
    job.TotalPages = totalPages;
    job.PagesPrinted = record.impressionsCompleted;
    job.Priority = record.priority;
    job.Size = record.kOctets * 1024;
    job.TimeSubmitted = QDateTime::fromSecsSinceEpoch(record.timeAtCreation);
    job.StatusMask = jobStatusMask(record.state);
    job.holdUntil = record.holdUntil;
    job.stateReasons = record.stateReasons;
    return job;
}

SpoolerJob CupsSpooler::jobOf(const CupsJobRecord& record) {
    return spoolerJobOf(record, totalPagesOf(record));
}

qint64 CupsSpooler::totalPagesOf(const CupsJobRecord& record) {
    if (record.impressions && *record.impressions > 0)
        return *record.impressions;
    const JobKey key{record.id, record.timeAtCreation};
    const auto known = countedPages_.constFind(key);
    // Listing with counting reports a job that cannot be counted as 0 pages, as
    // it always did; without, such a job stays not counted.
    const qint64 notCounted = countsPages_ ? 0 : kPagesNotCounted;
    if (known != countedPages_.constEnd())
        return known->outcome == JobPageCount::Outcome::Counted ? known->pages : notCounted;
    if (!countsPages_)
        return kPagesNotCounted;
    // A job whose documents have not all arrived yet is counted once they have.
    if (record.documents < 1)
        return 0;
    const JobPageCount counted = count({key, record.documents, record.kOctets});
    return counted.outcome == JobPageCount::Outcome::Counted ? counted.pages : 0;
}

std::variant<JobPageCount, CupsSpooler::Reading>
CupsSpooler::countingOf(const SpoolerJob& job) const {
    const JobKey key{job.JobId, job.TimeSubmitted.toSecsSinceEpoch()};
    const auto known = countedPages_.constFind(key);
    if (known != countedPages_.constEnd())
        return *known;
    // A job this spooler has not listed (one the job monitor told of) is read
    // document by document until the server has no more.
    const auto listed = listed_.constFind(key);
    if (listed == listed_.constEnd())
        return Reading{key, -1, (job.Size + 1023) / 1024};
    if (listed->documents < 1)
        return JobPageCount{JobPageCount::Outcome::NotYet, kPagesNotCounted};
    return Reading{key, listed->documents, listed->kOctets};
}

JobPageCount CupsSpooler::countPages(const SpoolerJob& job) {
    const auto counting = countingOf(job);
    if (const auto* known = std::get_if<JobPageCount>(&counting))
        return *known;
    return count(std::get<Reading>(counting));
}

QList<JobPageCount> CupsSpooler::countPages(const QList<SpoolerJob>& jobs) {
    // Three at once: the server's single thread sends to each in turn, and more
    // would take more of its time from everybody else than they gain.
    constexpr size_t kReaders = 3;
    QList<JobPageCount> counts(jobs.size());
    std::vector<std::pair<qsizetype, Reading>> toRead;
    for (qsizetype i = 0; i < jobs.size(); ++i) {
        const auto counting = countingOf(jobs[i]);
        if (const auto* known = std::get_if<JobPageCount>(&counting))
            counts[i] = *known;
        else
            toRead.emplace_back(i, std::get<Reading>(counting));
    }
    if (toRead.size() == 1)
        counts[toRead.front().first] = count(toRead.front().second);
    if (toRead.size() <= 1)
        return counts;
    // The readers ask nobody for a password (they may run where no dialog can
    // open): they use the one the operator gave this spooler, if any.
    while (readers_.size() < kReaders)
        readers_.push_back(
            std::make_unique<CupsConnection>(serverName_, timeouts_, connection_.userName()));
    for (auto& reader : readers_)
        if (connection_.credentials())
            reader->useCredentials(*connection_.credentials());
    for (size_t first = 0; first < toRead.size(); first += kReaders) {
        std::vector<std::future<DocumentsRead>> reads;
        for (size_t n = first; n < std::min(first + kReaders, toRead.size()); ++n)
            reads.push_back(std::async(std::launch::async, readDocuments,
                                       std::ref(*readers_[n - first]), toRead[n].second.key.first,
                                       toRead[n].second.documents, toRead[n].second.kOctets));
        for (size_t n = first; n < first + reads.size(); ++n) {
            const DocumentsRead read = reads[n - first].get();
            remember(toRead[n].second, read.count, read.documents, read.bytes);
            counts[toRead[n].first] = read.count;
        }
    }
    return counts;
}

JobPageCount CupsSpooler::count(const Reading& reading) {
    const DocumentsRead read =
        readDocuments(connection_, reading.key.first, reading.documents, reading.kOctets);
    remember(reading, read.count, read.documents, read.bytes);
    return read.count;
}

void CupsSpooler::remember(const Reading& reading, const JobPageCount& counted, int documents,
                           qint64 bytes) {
    documentsRead_ += documents;
    documentBytesRead_ += bytes;
    // A server busy past the time limit is asked again the next time.
    if (counted.outcome != JobPageCount::Outcome::NotYet)
        countedPages_.insert(reading.key, counted);
}

SpoolerResult CupsSpooler::perform(IppPtr request, const char* resource) {
    const CupsReply reply = connection_.send(std::move(request), resource);
    lastResult_ = reply.result;
    lastMessage_ = reply.message;
    return lastResult_;
}

SpoolerResult CupsSpooler::pauseJob(const QString& queue, int jobId) {
    return perform(holdJobRequest(connection_, queue, jobId), "/jobs/");
}

SpoolerResult CupsSpooler::resumeJob(const QString& queue, int jobId) {
    return perform(jobRequest(connection_, IPP_OP_RELEASE_JOB, queue, jobId), "/jobs/");
}

SpoolerResult CupsSpooler::deleteJob(const QString& queue, int jobId) {
    return perform(jobRequest(connection_, IPP_OP_CANCEL_JOB, queue, jobId), "/jobs/");
}

SpoolerResult CupsSpooler::setJobPriority(const QString& queue, int jobId, int priority) {
    return perform(jobPriorityRequest(connection_, queue, jobId, priority), "/jobs/");
}

SpoolerResult CupsSpooler::pauseQueue(const QString& queue) {
    return perform(printerRequest(connection_, IPP_OP_PAUSE_PRINTER, queue), "/admin/");
}

SpoolerResult CupsSpooler::resumeQueue(const QString& queue) {
    return perform(printerRequest(connection_, IPP_OP_RESUME_PRINTER, queue), "/admin/");
}

SpoolerResult CupsSpooler::purgeQueue(const QString& queue) {
    // As `cancel -a` asks it: Purge-Jobs with purge-jobs false, so the jobs end as
    // cancelled and stay in the server's history. Purging them too would erase that
    // history and keep the server busy long after a big queue was answered.
    IppPtr request = printerRequest(connection_, IPP_OP_PURGE_JOBS, queue);
    ippAddBoolean(request.get(), IPP_TAG_OPERATION, "purge-jobs", 0);
    return perform(std::move(request), "/admin/");
}

// Cancel-Jobs with the jobs' numbers, a hundred a request: cupsd takes thousands
// in one, but a server with a long history can take seconds for a few hundred
// (cancel -a of 2,000 jobs took one such server half a minute), and a request
// may stay unanswered only so long, while every other client waits. The server
// refuses a whole request when one of its jobs is no longer in the queue, and
// cancels none of them: then the jobs still there are asked for again. A job that
// finished meanwhile is taken as it is.
SpoolerResult CupsSpooler::deleteJobs(const QString& queue, const QList<int>& jobIds,
                                      qsizetype& deleted) {
    constexpr qsizetype kJobsPerRequest = 100;
    for (deleted = 0; deleted < jobIds.size(); deleted += kJobsPerRequest)
        if (cancelJobs(queue, jobIds.mid(deleted, kJobsPerRequest)) != SpoolerResult::Success)
            return lastResult_;
    deleted = jobIds.size();
    return SpoolerResult::Success;
}

SpoolerResult CupsSpooler::cancelJobs(const QString& queue, const QList<int>& jobIds) {
    if (perform(cancelJobsRequest(connection_, queue, jobIds), "/admin/") !=
        SpoolerResult::NotFound)
        return lastResult_;
    const CupsReply listing =
        connection_.send(jobsRequest(connection_, printerUri(connection_, queue)), "/");
    if (listing.result != SpoolerResult::Success) {
        lastResult_ = listing.result;
        lastMessage_ = listing.message;
        return lastResult_;
    }
    QSet<int> waiting;
    for (const CupsJobRecord& record : jobRecordsOf(listing.response.get()))
        waiting.insert(record.id);
    QList<int> left;
    for (const int id : jobIds)
        if (waiting.contains(id))
            left << id;
    if (left.isEmpty()) {
        lastResult_ = SpoolerResult::Success;
        lastMessage_.clear();
        return lastResult_;
    }
    return perform(cancelJobsRequest(connection_, queue, left), "/admin/");
}

SpoolerResult CupsSpooler::printTestPage(const QString& queue) {
    const QByteArray resource = QStringLiteral("/printers/%1").arg(queue).toUtf8();
    const CupsReply reply = connection_.sendWithDocument(testPageRequest(connection_, queue),
                                                         resource.constData(), testPagePath());
    lastResult_ = reply.result;
    lastMessage_ = reply.message;
    return lastResult_;
}

QList<SpoolerAttribute> CupsSpooler::printerAttributes(const QString& queue) {
    const CupsReply reply = connection_.send(allPrinterAttributesRequest(connection_, queue), "/");
    lastResult_ = reply.result;
    lastMessage_ = reply.message;
    QList<SpoolerAttribute> attributes;
    if (reply.result != SpoolerResult::Success)
        return attributes;
    for (ipp_attribute_t* attribute = ippFirstAttribute(reply.response.get()); attribute;
         attribute = ippNextAttribute(reply.response.get())) {
        if (ippGetGroupTag(attribute) != IPP_TAG_PRINTER || !ippGetName(attribute))
            continue;
        char text[2048];
        ippAttributeString(attribute, text, sizeof text);
        attributes.append({QString::fromUtf8(ippGetName(attribute)), QString::fromUtf8(text)});
    }
    return attributes;
}

std::optional<QString> CupsSpooler::jobHoldUntilDefault(const QString& queue) {
    const CupsReply reply = connection_.send(holdDefaultRequest(connection_, queue), "/");
    lastResult_ = reply.result;
    lastMessage_ = reply.message;
    if (reply.result != SpoolerResult::Success)
        return std::nullopt;
    ipp_attribute_t* attribute =
        ippFindAttribute(reply.response.get(), "job-hold-until-default", IPP_TAG_ZERO);
    if (!attribute)
        return std::nullopt;
    const char* value = ippGetString(attribute, 0, nullptr);
    return value ? std::optional<QString>(QString::fromUtf8(value)) : std::nullopt;
}

SpoolerResult CupsSpooler::setJobHoldUntilDefault(const QString& queue, const QString& value) {
    return perform(setHoldDefaultRequest(connection_, queue, value), "/admin/");
}

SpoolerResult CupsSpooler::moveJob(const QString& queue, int jobId, const QString& toQueue) {
    return perform(moveJobRequest(connection_, queue, jobId, toQueue), "/jobs/");
}

SpoolerResult CupsSpooler::makeMovedJobsQueue(const QString& model, const QString& name) {
    CupsReply reply =
        connection_.send(printerAttributeRequest(connection_, model, "device-uri"), "/");
    ipp_attribute_t* device =
        reply.response ? ippFindAttribute(reply.response.get(), "device-uri", IPP_TAG_URI)
                       : nullptr;
    if (reply.result == SpoolerResult::Success && !device) {
        reply.result = SpoolerResult::AccessDenied;
        reply.message = QStringLiteral("The server does not show the device of %1").arg(model);
    }
    QByteArray driver;
    if (reply.result == SpoolerResult::Success) {
        const QString deviceUri = QString::fromUtf8(ippGetString(device, 0, nullptr));
        // A queue without a driver file (a raw queue) has none to give.
        const QByteArray resource = "/printers/" + QUrl::toPercentEncoding(model) + ".ppd";
        reply = connection_.receiveFile(resource.constData(), &driver);
        if (reply.result == SpoolerResult::NotFound)
            reply =
                connection_.send(movedJobsQueueRequest(connection_, name, deviceUri), "/admin/");
        else if (reply.result == SpoolerResult::Success)
            reply = connection_.sendWithDocument(
                movedJobsQueueRequest(connection_, name, deviceUri), "/admin/", driver);
    }
    lastResult_ = reply.result;
    lastMessage_ = reply.message;
    return lastResult_;
}

QList<SpoolerPrinter> CupsSpooler::printers() {
    const CupsReply reply = connection_.send(printersRequest(connection_), "/");
    lastResult_ = listingResult(reply);
    QList<SpoolerPrinter> printers;
    if (reply.result != SpoolerResult::Success)
        return printers;
    for (const CupsPrinterRecord& record : printerRecordsOf(reply.response.get())) {
        SpoolerPrinter printer;
        printer.Name = record.name;
        printer.ShareName = record.name;
        printer.ExtendedPrinterStatus = extendedPrinterStatus(record.state, record.stateReasons);
        printer.Comment = record.info;
        printer.Shared = record.shared;
        printer.PortName = record.deviceUri;
        printer.Location = record.location;
        printers << printer;
    }
    return printers;
}

QString CupsSpooler::printerWebPage(const QString& queue) const {
    const CupsServerAddress& address = connection_.address();
    if (!address.valid)
        return QString();
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(address.host);
    url.setPort(address.port);
    url.setPath(QStringLiteral("/printers/") + queue);
    return url.toString(QUrl::FullyEncoded);
}

std::optional<SpoolerCredentials> CupsSpooler::credentials() const {
    return connection_.credentials();
}
