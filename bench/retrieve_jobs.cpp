// Reading every job of a busy server: how long the job view's pass (RetrieveJobs)
// takes over a paused queue holding 1,000 and then 5,000 jobs, beside what the
// same listing costs without the window around it.
//
// The run starts a sandbox print server of its own (stopped at the end, also
// after a failure or Ctrl-C), adds a queue, pauses it and fills it with small
// text jobs of several owners over one kept connection. For each size it is
// measured under two server policies: the sandbox's own, whose job values are
// private, so that the server looks up the asker's account and groups for every
// job before it shows them, and one that shows job values to everyone, which
// spares it that. A listing of the whole server goes by the server's default
// policy, whatever the queues' own, so the run switches that one (and the
// queue's along with it) in the server's configuration.
//
//   second pass    the job view's pass again in the same window: nothing new to
//                  log, no page to count (the figure; median of several runs)
//   bare Get-Jobs  the program's own Get-Jobs of the whole server, through its
//                  own connection class, same attributes, nothing done with the
//                  answer (the baseline)
//   lpstat -o      the listing an operator would otherwise use, process start
//                  included (the other baseline)
//   first pass     a new window's first pass: every job gets its log row; its
//                  pages are counted after the pass, on the window's page worker
//                  (one CUPS-Get-Document per job), which the run waits for
//   pages from log what a full log costs: the first pass of a second new window
//                  over the same log, which takes every job's pages from the log
//                  and fetches nothing, less the second pass; logging is the first
//                  pass less that window's pass
//
// Target: the second pass takes at most twice the bare Get-Jobs.
//
// Usage: retrieve_jobs [--runs N] [--sizes N,N,...] [--each-run] [--server-tool PATH]
// Exits with 1 when a pass misses the target, 2 when the run could not be made.

#include "BenchWindow.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/CupsConnection.h"
#include "platform/CupsRecords.h"
#include "platform/CupsRequests.h"
#include "platform/CupsSpooler.h"
#include "platform/Environment.h"
#include "platform/GuardedSpooler.h"
#include "platform/Prompter.h"
#include "sandbox/CupsTools.h"
#include "sandbox/SandboxPrintServer.h"
#include "session/JobPages.h"
#include "session/JobRetrieval.h"
#include "session/QueueSession.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTreeWidget>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr double kTargetRatio = 2.0;
const QString kQueue = QStringLiteral("Busy-Office");
const QString kOpenPolicy = QStringLiteral("open");
const char* const kOwners[] = {"alice", "bob", "carol", "dave", "erin"};

// The bare Get-Jobs may take as long as a large listing needs; the window keeps
// the program's own timeouts.
const SpoolerTimeouts kListingTimeouts{3000, 60000};
constexpr int kConnectMs = 3000;
constexpr double kBenchRequestSeconds = 60;
// A timed request that fails is made again, at most this many times, and counted.
constexpr int kAttempts = 3;

// What the run adds to the sandbox server's configuration: a policy whose job
// values everyone may see, the rest as the sandbox's own. The server writes its
// state files a second after a change rather than half a minute later, so that
// writing thousands of job files does not land in the middle of a timed pass.
const char* const kRunConfig = R"(
DirtyCleanInterval 1
<Policy open>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
)";

volatile std::sig_atomic_t interrupted = 0;

void onSignal(int) {
    interrupted = 1;
}

void checkInterrupted() {
    if (interrupted)
        throw Failure{QStringLiteral("interrupted")};
}

double milliseconds(qint64 nanoseconds) {
    return nanoseconds / 1e6;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A CUPS tool; the run cannot be made without it.
QString cupsTool(const QString& name) {
    const QString path = findCupsTool(name);
    if (path.isEmpty())
        throw Failure{name + QStringLiteral(" is not installed")};
    return path;
}

// Runs a program to its end; anything but a clean exit in time ends the run.
ToolRun run(const QString& program, const QStringList& arguments) {
    ToolRun result = runTool(program, arguments);
    if (!result.ok)
        throw Failure{result.error};
    return result;
}

// Has the sandbox server read its configuration again: the one it started
// with, followed by `config`.
void configure(SandboxPrintServer& server, const QByteArray& config) {
    if (!server.reconfigure(config))
        throw Failure{server.error()};
}

// A plain libcups connection for the run's own requests (setting up, filling the
// queue, waiting for the server), kept open. It waits for the server in one
// stretch of up to a minute: the server pauses while it writes its state files,
// and these requests must not fail for that.
class BenchConnection {
public:
    explicit BenchConnection(const QString& address)
        : server_(CupsServerAddress::parse(address)), requests_(address, {}) {
        http_ = httpConnect2(server_.host.toUtf8().constData(), server_.port, nullptr, AF_UNSPEC,
                             HTTP_ENCRYPTION_IF_REQUESTED, 1, kConnectMs, nullptr);
        if (!http_)
            throw Failure{QStringLiteral("cannot connect to ") + address};
        httpSetTimeout(http_, kBenchRequestSeconds, nullptr, nullptr);
    }
    ~BenchConnection() { httpClose(http_); }
    BenchConnection(const BenchConnection&) = delete;
    BenchConnection& operator=(const BenchConnection&) = delete;

    // Builds the program's requests for this server; it never sends them itself.
    const CupsConnection& requests() const { return requests_; }

    // Sends the request (with the file at documentPath as its document, when
    // given); the answer, or none when the request failed.
    IppPtr send(IppPtr request, const char* resource, const char* documentPath = nullptr) {
        IppPtr answer(documentPath
                          ? cupsDoFileRequest(http_, request.release(), resource, documentPath)
                          : cupsDoRequest(http_, request.release(), resource));
        if (!answer || ippGetStatusCode(answer.get()) >= IPP_STATUS_ERROR_BAD_REQUEST)
            return nullptr;
        return answer;
    }

private:
    CupsServerAddress server_;
    CupsConnection requests_;
    http_t* http_ = nullptr;
};

QString lastError() {
    return QString::fromUtf8(cupsLastErrorString());
}

// Whether the server offers the policy `name` to its queues yet.
// While it reads its configuration again the server may not take a connection.
bool serverHasPolicy(const QString& address, const QString& name) {
    std::unique_ptr<BenchConnection> opened;
    try {
        opened = std::make_unique<BenchConnection>(address);
    } catch (const Failure&) {
        return false;
    }
    BenchConnection& connection = *opened;
    IppPtr request = connection.requests().newRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-op-policy-supported");
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "limit", 1);
    const IppPtr answer = connection.send(std::move(request), "/");
    ipp_attribute_t* policies =
        answer ? ippFindAttribute(answer.get(), "printer-op-policy-supported", IPP_TAG_ZERO)
               : nullptr;
    return policies && ippContainsString(policies, name.toUtf8().constData());
}

void waitForPolicy(const QString& address, const QString& name) {
    QElapsedTimer waited;
    waited.start();
    while (!serverHasPolicy(address, name)) {
        checkInterrupted();
        if (waited.elapsed() > 15000)
            throw Failure{QStringLiteral("the server did not take the policy ") + name};
        QThread::msleep(100);
    }
}

// The server writes its state files a second after a change, and answers
// nothing while it does: waits until it is past that and answers a small
// request at once, so that no timed request meets it.
void waitUntilSettled(const QString& address) {
    BenchConnection connection(address);
    QThread::msleep(1200);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        checkInterrupted();
        QElapsedTimer timer;
        timer.start();
        const bool answered =
            connection.send(queueNamesRequest(connection.requests()), "/") != nullptr;
        if (answered && timer.elapsed() < 20)
            return;
        if (waited.elapsed() > 60000)
            throw Failure{QStringLiteral("the server did not settle within a minute")};
        QThread::msleep(200);
    }
}

// Whether a listing of the whole server shows a job's owner to someone who is
// neither that owner nor an operator; nothing when the server does not answer.
// The server's default policy decides this for the whole server, whatever the
// policies of its queues.
std::optional<bool> listingShowsOwners(const QString& address) {
    std::unique_ptr<BenchConnection> opened;
    try {
        opened = std::make_unique<BenchConnection>(address);
    } catch (const Failure&) {
        return std::nullopt;
    }
    BenchConnection& connection = *opened;
    IppPtr request(ippNewRequest(IPP_OP_GET_JOBS));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 serverUri(connection.requests()).toUtf8().constData());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 "onlooker");
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "limit", 1);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "job-originating-user-name");
    const IppPtr answer = connection.send(std::move(request), "/");
    if (!answer)
        return std::nullopt;
    ipp_attribute_t* owner =
        ippFindAttribute(answer.get(), "job-originating-user-name", IPP_TAG_NAME);
    const char* name = owner ? ippGetString(owner, 0, nullptr) : nullptr;
    return name && std::any_of(std::begin(kOwners), std::end(kOwners),
                               [name](const char* known) { return std::strcmp(name, known) == 0; });
}

// Puts the server under `policy`: its default policy, which a listing of the
// whole server goes by, and the busy queue's, which reading a job's document
// goes by. Needs at least one job on the server, to see the change take effect.
void usePolicy(SandboxPrintServer& server, const QString& lpadmin, const QString& policy) {
    const bool open = policy == kOpenPolicy;
    configure(server,
              QByteArray(kRunConfig) +
                  (open ? QByteArray("DefaultPolicy ") + policy.toUtf8() + '\n' : QByteArray()));
    QElapsedTimer waited;
    waited.start();
    while (listingShowsOwners(server.address()) != std::optional<bool>(open)) {
        checkInterrupted();
        if (waited.elapsed() > 30000)
            throw Failure{QStringLiteral("the server did not take the policy ") + policy};
        QThread::msleep(100);
    }
    run(lpadmin, {QStringLiteral("-h"), server.address(), QStringLiteral("-p"), kQueue,
                  QStringLiteral("-o"), QStringLiteral("printer-op-policy=") + policy});
    waitUntilSettled(server.address());
}

// A raw queue printing nowhere, paused, so that every job stays listed.
void addPausedQueue(const QString& lpadmin, const QString& address) {
    run(lpadmin,
        {QStringLiteral("-h"), address, QStringLiteral("-p"), kQueue, QStringLiteral("-E"),
         QStringLiteral("-v"), QStringLiteral("file:///dev/null"), QStringLiteral("-m"),
         QStringLiteral("raw"), QStringLiteral("-D"), QStringLiteral("Busy office printer")});
    BenchConnection connection(address);
    if (!connection.send(printerRequest(connection.requests(), IPP_OP_PAUSE_PRINTER, kQueue),
                         "/admin/"))
        throw Failure{QStringLiteral("cannot pause %1: %2").arg(kQueue, lastError())};
    const IppPtr answer = connection.send(queueRequest(connection.requests(), kQueue), "/");
    const QList<CupsPrinterRecord> records =
        answer ? printerRecordsOf(answer.get()) : QList<CupsPrinterRecord>();
    if (records.isEmpty() || records.first().state != IPP_PSTATE_STOPPED)
        throw Failure{kQueue + QStringLiteral(" did not pause")};
}

// A one-page text document, the same for every job.
QString writeDocument(const QString& folder) {
    const QString path = QDir(folder).filePath(QStringLiteral("notes.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure{QStringLiteral("cannot write ") + path};
    for (int line = 1; line <= 30; ++line)
        file.write(QByteArray("Line ") + QByteArray::number(line) +
                   " of the meeting notes: actions, owners and dates.\n");
    return path;
}

// Submits jobs numbered from `first` up to `end` (not included) with Print-Job
// over one kept connection: pending, every fourth one held.
void submitJobs(const QString& address, const QString& document, int first, int end) {
    BenchConnection connection(address);
    const QByteArray uri = printerUri(connection.requests(), kQueue).toUtf8();
    const QByteArray resource = (QStringLiteral("/printers/") + kQueue).toUtf8();
    const QByteArray path = QFile::encodeName(document);
    for (int number = first; number < end; ++number) {
        checkInterrupted();
        IppPtr request(ippNewRequest(IPP_OP_PRINT_JOB));
        ipp_t* r = request.get();
        ippAddString(r, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
        ippAddString(r, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                     kOwners[number % std::size(kOwners)]);
        ippAddString(r, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                     ("Meeting notes " + QByteArray::number(number) + ".txt").constData());
        ippAddString(r, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                     "text/plain");
        if (number % 4 == 3)
            ippAddString(r, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-hold-until", nullptr, "indefinite");
        if (!connection.send(std::move(request), resource.constData(), path.constData()))
            throw Failure{QStringLiteral("job %1 was refused: %2").arg(number).arg(lastError())};
    }
}

// Timed requests that failed and were made again, with what went wrong: a
// figure is only taken from a request that succeeded, and every failure is told.
QStringList repeatedRequests;

template <typename Attempt> double timedWithRepeats(const QString& what, Attempt attempt) {
    for (int number = 1;; ++number) {
        try {
            return attempt();
        } catch (const Failure& failure) {
            if (number >= kAttempts || interrupted)
                throw;
            repeatedRequests << what + QStringLiteral(": ") + failure.what;
        }
    }
}

// The bare listing: the program's Get-Jobs of the whole server through the
// program's connection class, kept open as the window keeps its own, timed from
// sending to the answer as libcups returns it.
class BareListing {
public:
    explicit BareListing(const QString& address) : connection_(address, kListingTimeouts) {}

    double timeMs(int expectedJobs) {
        IppPtr request = jobsRequest(connection_, serverUri(connection_));
        QElapsedTimer timer;
        timer.start();
        const CupsReply reply = connection_.send(std::move(request), "/");
        const qint64 nanoseconds = timer.nsecsElapsed();
        if (reply.result != SpoolerResult::Success)
            throw Failure{QStringLiteral("failed: ") + reply.message};
        const int listed = jobRecordsOf(reply.response.get()).size();
        if (listed != expectedJobs)
            throw Failure{QStringLiteral("listed %1 jobs, not %2").arg(listed).arg(expectedJobs)};
        return milliseconds(nanoseconds);
    }

private:
    CupsConnection connection_;
};

double lpstatMs(const QString& lpstat, const QString& address, int expectedJobs) {
    const ToolRun result = run(lpstat, {QStringLiteral("-h"), address, QStringLiteral("-o")});
    const int listed = result.output.count('\n');
    if (listed != expectedJobs)
        throw Failure{
            QStringLiteral("lpstat -o listed %1 jobs, not %2").arg(listed).arg(expectedJobs)};
    return milliseconds(result.nanoseconds);
}

QString resultText(SpoolerResult result) {
    switch (result) {
    case SpoolerResult::Success:
        return QStringLiteral("the listing succeeded");
    case SpoolerResult::NotFound:
        return QStringLiteral("not found");
    case SpoolerResult::AccessDenied:
        return QStringLiteral("access denied");
    case SpoolerResult::Unreachable:
        return QStringLiteral("the server was unreachable");
    default:
        return QStringLiteral("the listing failed");
    }
}

// A main window connected to the server, its queue box on the busy queue and its
// log in `logFolder`, as the operator would have it after choosing them.
class JobView {
public:
    JobView(const QString& server, const QString& logFolder)
        : server_(server), window_(std::make_unique<BenchWindow>("retrieve_jobs")),
          form_(&window_->form()) {
        form_->Settings.LogPath = logFolder;
        form_->CurrentPrinter->setCurrentText(server);
        form_->CurrentPrintQueue->addItem(kQueue);
        form_->CurrentPrintQueue->setCurrentIndex(0);
        ConnectWmi(*form_, server);
    }

    // One pass, as the reload button makes it; checks that every job is listed.
    double passMs(int expectedJobs) {
        QElapsedTimer timer;
        timer.start();
        RetrieveJobs(*form_, server_, QString());
        const qint64 nanoseconds = timer.nsecsElapsed();
        const int listed = form_->SearchList->topLevelItemCount();
        const int inQueue = form_->JobList->topLevelItemCount();
        if (listed != expectedJobs || inQueue != expectedJobs) {
            const auto* spooler =
                dynamic_cast<const CupsSpooler*>(&QueueSession::of(*form_).WmiServices()->inner());
            throw Failure{QStringLiteral("the pass listed %1 jobs, %2 in the queue, not %3 (%4)")
                              .arg(listed)
                              .arg(inQueue)
                              .arg(expectedJobs)
                              .arg(spooler ? resultText(spooler->lastResult())
                                           : QStringLiteral("no spooler"))};
        }
        return milliseconds(nanoseconds);
    }

    // Waits until the page worker has counted and the window shows every job's pages.
    void waitForPages() {
        const bool counted = QTest::qWaitFor(
            [this] {
                if (PageCounter::of(*form_).worker().activeThreadCount() > 0)
                    return false;
                const QList<SpoolerJob> jobs = form_->searchGrid().jobs();
                return std::all_of(jobs.begin(), jobs.end(), [](const SpoolerJob& job) {
                    return job.TotalPages != kPagesNotCounted;
                });
            },
            1800000);
        if (!counted)
            throw Failure{QStringLiteral("the window did not count every job's pages")};
    }

    int documentsRead() const {
        const auto* spooler =
            dynamic_cast<const CupsSpooler*>(&QueueSession::of(*form_).WmiServices()->inner());
        return spooler ? spooler->documentsRead() : -1;
    }

    int loggedJobs() {
        if (!form_->log().OpenLogDatabase())
            return -1;
        QSqlQuery count(form_->log().connection());
        return count.exec(QStringLiteral("SELECT COUNT(*) FROM SWR_Log")) && count.next()
                   ? count.value(0).toInt()
                   : -1;
    }

private:
    QString server_;
    std::unique_ptr<BenchWindow> window_;
    FrmMain* form_;
};

QString newLogFolder(const QString& parent, const QString& name) {
    const QString folder = freshLogFolder(QDir(parent).filePath(name));
    if (folder.isEmpty())
        throw Failure{QStringLiteral("the template log swr.db was not found (build the project)")};
    return folder;
}

struct Figures {
    int jobs = 0;
    QString policy;
    double secondPassMs = 0;
    double bareMs = 0;
    double lpstatMs = 0;
    double firstPassMs = 0;
    double countingPassMs = 0; // a new window over a log that holds every job
    int firstDocuments = 0;
    int secondDocuments = 0;
    int countingDocuments = 0;

    double passOverBare() const { return secondPassMs / bareMs; }
    double passOverLpstat() const { return secondPassMs / lpstatMs; }
    double countingMs() const { return countingPassMs - secondPassMs; }
    double loggingMs() const { return firstPassMs - countingPassMs; }
    bool met() const { return passOverBare() <= kTargetRatio; }
};

Figures measure(const QString& address, const QString& lpstat, const QString& workFolder, int jobs,
                const QString& policy, int runs, bool eachRun) {
    Figures figures;
    figures.jobs = jobs;
    figures.policy = policy;
    const QString logFolder =
        newLogFolder(workFolder, QStringLiteral("log-%1-%2").arg(jobs).arg(policy));

    std::vector<double> passes, bare, listings;
    {
        JobView view(address, logFolder);
        const QString where = QStringLiteral(" (%1 jobs, %2 policy)").arg(jobs).arg(policy);
        figures.firstPassMs = timedWithRepeats(QStringLiteral("first pass") + where,
                                               [&] { return view.passMs(jobs); });
        // Counting goes on after the pass; the second passes are timed without it.
        view.waitForPages();
        figures.firstDocuments = view.documentsRead();
        const int logged = view.loggedJobs();
        if (logged != jobs)
            throw Failure{
                QStringLiteral("the first pass logged %1 jobs, not %2").arg(logged).arg(jobs)};

        // In rounds, each way in turn, so that all three meet the same server weather.
        BareListing listing(address);
        for (int run = 0; run < runs; ++run) {
            checkInterrupted();
            passes.push_back(timedWithRepeats(QStringLiteral("second pass") + where,
                                              [&] { return view.passMs(jobs); }));
            checkInterrupted();
            bare.push_back(timedWithRepeats(QStringLiteral("bare Get-Jobs") + where,
                                            [&] { return listing.timeMs(jobs); }));
            checkInterrupted();
            listings.push_back(lpstatMs(lpstat, address, jobs));
            if (eachRun)
                std::printf(
                    "    run %d: second pass %.1f ms, bare Get-Jobs %.1f ms, lpstat -o %.1f ms\n",
                    run + 1, passes.back(), bare.back(), listings.back());
        }
        figures.secondDocuments = view.documentsRead() - figures.firstDocuments;
        if (view.loggedJobs() != jobs)
            throw Failure{QStringLiteral("a second pass wrote to the log")};
    }
    figures.secondPassMs = median(passes);
    figures.bareMs = median(bare);
    figures.lpstatMs = median(listings);

    checkInterrupted();
    JobView counting(address, logFolder);
    figures.countingPassMs = timedWithRepeats(
        QStringLiteral("pass over a full log (%1 jobs, %2 policy)").arg(jobs).arg(policy),
        [&] { return counting.passMs(jobs); });
    counting.waitForPages();
    figures.countingDocuments = counting.documentsRead();
    if (counting.loggedJobs() != jobs)
        throw Failure{QStringLiteral("a pass over a full log wrote to it")};
    return figures;
}

void printTable(const std::vector<Figures>& rows, int runs) {
    std::printf(
        "\n  median of %d runs; first pass and pass over a full log once; ms = milliseconds\n",
        runs);
    std::printf("  %5s  %-8s %12s %14s %10s %10s %12s %11s %14s %9s %16s  %s\n", "N", "policy",
                "2nd pass ms", "bare GetJobs", "lpstat -o", "pass/bare", "pass/lpstat",
                "1st pass ms", "pages/log ms", "log ms", "docs read", "target (pass <= 2x bare)");
    for (const Figures& f : rows)
        std::printf(
            "  %5d  %-8s %12.1f %14.1f %10.1f %9.2fx %11.2fx %11.1f %14.1f %9.1f %16s  %s\n",
            f.jobs, qPrintable(f.policy), f.secondPassMs, f.bareMs, f.lpstatMs, f.passOverBare(),
            f.passOverLpstat(), f.firstPassMs, f.countingMs(), f.loggingMs(),
            qPrintable(QStringLiteral("%1/%2/%3")
                           .arg(f.firstDocuments)
                           .arg(f.secondDocuments)
                           .arg(f.countingDocuments)),
            f.met() ? "met" : "MISSED");
    std::printf(
        "\n  docs read: CUPS-Get-Document requests of the first pass and the counting after\n"
        "  it / of all second passes / of a new window over the full log\n");
    std::printf("  pages/log ms: a new window's first pass over a log that already holds every\n"
                "  job (%s) less the second pass; log ms: the first pass less that pass\n",
                "it takes their pages from it, logs nothing");
}

struct Options {
    int runs = 9;
    std::vector<int> sizes{1000, 5000};
    QString tool;
    bool eachRun = false; // print every run's figures, not the medians alone
};

Options parseOptions(const QStringList& arguments) {
    Options options;
    options.tool = SandboxPrintServer::defaultTool();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString value = arguments.value(i + 1);
        bool ok = true;
        if (argument == QLatin1String("--runs")) {
            options.runs = value.toInt(&ok);
            ok = ok && options.runs > 0;
            ++i;
        } else if (argument == QLatin1String("--sizes")) {
            options.sizes.clear();
            for (const QString& size : value.split(QLatin1Char(','))) {
                const int jobs = size.toInt(&ok);
                if (!ok || jobs <= 0 || (!options.sizes.empty() && jobs <= options.sizes.back())) {
                    ok = false;
                    break;
                }
                options.sizes.push_back(jobs);
            }
            ok = ok && !options.sizes.empty();
            ++i;
        } else if (argument == QLatin1String("--each-run")) {
            options.eachRun = true;
        } else if (argument == QLatin1String("--server-tool")) {
            options.tool = value;
            ok = !value.isEmpty();
            ++i;
        } else {
            ok = false;
        }
        if (!ok)
            throw Failure{QStringLiteral("usage: retrieve_jobs [--runs N] [--sizes N,N,... "
                                         "(growing)] [--each-run] [--server-tool PATH]")};
    }
    if (options.tool.isEmpty() || !QFileInfo(options.tool).isExecutable())
        throw Failure{QStringLiteral("the sandbox print server tool was not found: ") +
                      options.tool};
    return options;
}

int benchmark(const QStringList& arguments) {
    const Options options = parseOptions(arguments);
    const QString lpstat = cupsTool(QStringLiteral("lpstat"));
    const QString lpadmin = cupsTool(QStringLiteral("lpadmin"));

    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("retrieve_jobs-XXXXXX")));
    if (!work.isValid())
        throw Failure{QStringLiteral("cannot make a folder in ") + QDir::tempPath()};
    const QString appData = QDir(work.path()).filePath(QStringLiteral("appdata"));
    const QString temp = QDir(work.path()).filePath(QStringLiteral("temp"));
    QDir().mkpath(appData);
    QDir().mkpath(temp);
    qputenv("APPDATA", QFile::encodeName(appData));
    qputenv("TEMP", QFile::encodeName(temp));
    const QString document = writeDocument(work.path());

    QElapsedTimer total;
    total.start();
    // Stopped when the run ends, however it ends.
    SandboxPrintServer server(QDir(work.path()).filePath(QStringLiteral("server")), options.tool);
    if (!server.start())
        throw Failure{server.error()};
    const QString address = server.address();
    std::printf("retrieve_jobs: sandbox print server at %s, queue %s (paused)\n",
                qPrintable(address), qPrintable(kQueue));
    configure(server, kRunConfig);
    waitForPolicy(address, kOpenPolicy);
    addPausedQueue(lpadmin, address);
    QString policy = QStringLiteral("default");

    std::vector<Figures> rows;
    int submitted = 0;
    for (const int jobs : options.sizes) {
        QElapsedTimer filling;
        filling.start();
        submitJobs(address, document, submitted, jobs);
        const double fillMs = milliseconds(filling.nsecsElapsed());
        std::printf("  %d jobs submitted over one connection in %.0f ms (%.2f ms a job)\n",
                    jobs - submitted, fillMs, fillMs / (jobs - submitted));
        submitted = jobs;
        // The server writes its job files before anything is timed.
        waitUntilSettled(address);

        // The policy the server is under is measured first, then the other one.
        const QString other = policy == kOpenPolicy ? QStringLiteral("default") : kOpenPolicy;
        for (const QString& next : {policy, other}) {
            if (next != policy) {
                policy = next;
                usePolicy(server, lpadmin, policy);
            }
            rows.push_back(
                measure(address, lpstat, work.path(), jobs, policy, options.runs, options.eachRun));
            const Figures& f = rows.back();
            std::printf("  %d jobs, %s policy: second pass %.1f ms, bare Get-Jobs %.1f ms, "
                        "lpstat -o %.1f ms\n",
                        jobs, qPrintable(policy), f.secondPassMs, f.bareMs, f.lpstatMs);
            std::fflush(stdout);
        }
    }
    server.stop();

    std::stable_sort(rows.begin(), rows.end(), [](const Figures& a, const Figures& b) {
        return a.jobs != b.jobs ? a.jobs < b.jobs
                                : a.policy != kOpenPolicy && b.policy == kOpenPolicy;
    });
    printTable(rows, options.runs);
    if (!repeatedRequests.isEmpty()) {
        std::printf("\n  %lld timed requests failed and were made again:\n",
                    static_cast<long long>(repeatedRequests.size()));
        for (const QString& repeated : repeatedRequests)
            std::printf("    %s\n", qPrintable(repeated));
    }
    const bool allMet =
        std::all_of(rows.begin(), rows.end(), [](const Figures& f) { return f.met(); });
    std::printf(
        "\n  target: the second pass at most %.0fx the bare Get-Jobs: %s (run took %.0f s)\n",
        kTargetRatio, allMet ? "met" : "MISSED", total.elapsed() / 1000.0);
    return allMet ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    // The benchmark's own folders until it names others; no display needs none.
    QTemporaryDir folder;
    useBenchFolders(folder.path());
    QApplication app(argc, argv);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    try {
        return benchmark(app.arguments());
    } catch (const Failure& failure) {
        std::fflush(stdout);
        std::fprintf(stderr, "retrieve_jobs: %s\n", qPrintable(failure.what));
        return 2;
    }
}
