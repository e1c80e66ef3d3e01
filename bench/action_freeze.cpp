// How long the window's thread leaves an event waiting while an operator's action
// waits for an answer that does not come: a connection at start-up, Enter in the
// server box (Refresh Printer Queues) and Reload Jobs on a server that takes the
// connection and never answers, a first connection to an address whose connection
// never completes, and a live report whose jobs came from computers whose names
// never come. An event is due every 20 ms; the longest delay is printed for each
// action as the program runs it, beside the same requests made on the window's
// thread, as they were before (the baseline).
//
// Usage: action_freeze [computers of the report, default 20]

#include "BenchWindow.h"
#include "app/Startup.h"
#include "form/FrmMain.h"
#include "platform/GuardedSpooler.h"
#include "session/JobRetrieval.h"
#include "session/ServerConnection.h"
#include "shell/AwaitedAnswers.h"
#include "shell/Reports.h"
#include "support/FakeSpooler.h"
#include "support/LoopbackPeers.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

namespace {

constexpr int kEventEveryMs = 20;
// How long a name look-up was waited for on the window's thread, one after another.
constexpr auto kOldLookupLimit = std::chrono::seconds(3);

// The longest wait of an event due every 20 ms from `start` until `done`, and a
// moment after, so that a start that held the window is seen.
qint64 longestWaitMs(const std::function<void()>& start, const std::function<bool()>& done) {
    const StallProbe delay(kEventEveryMs);
    start();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < 5 * kEventEveryMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return delay.longestMs();
}

struct Figures {
    qint64 now = 0;
    qint64 before = 0;
};

// One action in a new window made ready by `prepare`: as the program runs it, until
// its answer is applied, and as the baseline `before`, in a window of its own.
Figures measure(const std::function<void(FrmMain&)>& prepare,
                const std::function<void(FrmMain&)>& now,
                const std::function<void(FrmMain&)>& before) {
    Figures figures;
    {
        BenchWindow window("action_freeze");
        FrmMain& form = window.form();
        prepare(form);
        figures.now = longestWaitMs([&form, &now] { now(form); },
                                    [&form] { return AwaitedAnswers::count(form) == 0; });
    }
    BenchWindow window("action_freeze");
    FrmMain& form = window.form();
    prepare(form);
    figures.before = longestWaitMs([&form, &before] { before(form); }, [] { return true; });
    return figures;
}

// Connecting as before: every job, then the queue list, on the window's thread.
void connectOnWindowThread(FrmMain& form) {
    const QString server = form.CurrentPrinter->currentText();
    ConnectWmi(form, server);
    RetrieveJobs(form, server, QString());
    form.spoolerFor(server)->queueNames();
}

Figures startUp(const QString& server) {
    return measure(
        [server](FrmMain& form) {
            form.Settings.Server = server;
            form.CurrentPrinter->setEditText(server);
        },
        [](FrmMain& form) { ReconnectLastQueue(form); }, connectOnWindowThread);
}

Figures enter(const QString& server) {
    return measure([server](FrmMain& form) { form.CurrentPrinter->setEditText(server); },
                   [](FrmMain& form) { CurrentPrinter_KeyDown(form, 13, 0); },
                   connectOnWindowThread);
}

Figures reload(const QString& server) {
    return measure([server](FrmMain& form) { ConnectWmi(form, server); }, cmdRefreshJobs_Click,
                   [server](FrmMain& form) { RetrieveJobs(form, server, QString()); });
}

// A server report over one job from each of `computers` computers, none of whose
// names ever comes.
Figures report(int computers, const QString& folder) {
    std::promise<void> never;
    const std::shared_future<void> silent = never.get_future().share();
    const auto noAnswer = [silent](const QString&) {
        silent.wait();
        return QString();
    };
    const auto makeServer = [computers](const QString& name) -> std::unique_ptr<PrintSpooler> {
        auto server = std::make_unique<FakeSpooler>(name);
        SpoolerPrinter printer;
        printer.Name = printer.ShareName = QStringLiteral("Laser");
        printer.Shared = true;
        server->printerList = {printer};
        for (int id = 1; id <= computers; ++id)
            server
                ->addJob(QStringLiteral("Laser"), id, QStringLiteral("doc"), QStringLiteral("ann"))
                .HostPrintQueue = QStringLiteral("192.0.2.%1").arg(id);
        return server;
    };
    Figures figures;
    BenchWindow window("action_freeze", makeServer, Prompter::Answer::No, {}, noAnswer);
    FrmMain& form = window.form();
    form.Settings.ReportPath = folder;
    bool written = false;
    figures.now = longestWaitMs(
        [&form, &written] {
            ServerReport(form, QStringLiteral("printhost"), true, false,
                         [&written](bool) { written = true; });
        },
        [&written] { return written; });
    // As before: each computer's name waited for in turn, each at most the limit.
    figures.before = longestWaitMs(
        [&form, noAnswer] {
            for (const SpoolerJob& job : form.spoolerFor(QStringLiteral("printhost"))->jobs()) {
                std::packaged_task<QString()> lookUp(
                    [noAnswer, job] { return noAnswer(job.HostPrintQueue); });
                std::future<QString> name = lookUp.get_future();
                std::thread(std::move(lookUp)).detach();
                name.wait_for(kOldLookupLimit);
            }
        },
        [] { return true; });
    never.set_value();
    return figures;
}

void print(const char* action, const Figures& figures) {
    std::printf("  %-44s %7lld ms   baseline, on the window's thread: %7lld ms\n", action,
                static_cast<long long>(figures.now), static_cast<long long>(figures.before));
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir work;
    useBenchFolders(work.path());
    QApplication app(argc, argv);
    const int computers = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
    const auto address = [](const LoopbackPeer& peer) {
        return QStringLiteral("127.0.0.1:%1").arg(peer.port());
    };

    // A server of its own for each, so that none finds another's silence remembered.
    SilentLoopbackServer atStart, onEnter, onReload;
    FullLoopbackServer blackHoled;
    std::printf("action_freeze: the longest wait of an event due every %d ms while an action "
                "waits (at most 250)\n",
                kEventEveryMs);
    print("start-up, server silent:", startUp(address(atStart)));
    print("start-up, connection never completes:", startUp(address(blackHoled)));
    print("Refresh Printer Queues (Enter), server silent:", enter(address(onEnter)));
    print("Reload Jobs, server silent:", reload(address(onReload)));
    print(qPrintable(QStringLiteral("server report, %1 computers' names silent:").arg(computers)),
          report(computers, work.path()));
    return 0;
}
