// What the fast poll costs while a released job prints under AutoQueue: 5,000 held
// jobs wait in another queue of the server and 50 in the watched one, whose
// released job cannot finish (its printer does not answer, and the queue retries).
//
//   tick           one fast-poll tick of the window, from its start to its answer
//                  shown (median)
//   bare Get-Jobs  one Get-Jobs of the watched queue alone, through the program's
//                  own spooler, nothing done with the answer (the baseline)
//   lpstat -o      another client's listing of the whole server, process start
//                  included (median), without and then during the fast poll
//
// Targets: a tick at most 1.5 times the bare Get-Jobs; the other client slowed by
// at most 10%.
//
// Usage: fast_poll [ticks, default 200]

#include "BenchWindow.h"
#include "HeldJobs.h"
#include "form/FrmMain.h"
#include "form/SettingsRecord.h"
#include "form/ShapeColour.h"
#include "platform/CupsSpooler.h"
#include "platform/GuardedSpooler.h"
#include "sandbox/CupsTools.h"
#include "sandbox/SandboxPrintServer.h"
#include "session/QueuePoll.h"
#include "session/QueueSelection.h"
#include "session/QueueSession.h"
#include "session/ServerConnection.h"
#include "session/StatusRedraw.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

bool check(bool ok, const QString& what) {
    if (!ok)
        std::fprintf(stderr, "fast_poll: %s\n", qPrintable(what));
    return ok;
}

// A port nobody listens on: the watched queue's printer.
int closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// How long `lpstat -o` of the whole server takes, the window's events running
// meanwhile (so that its poll ticks as it would).
double lpstatMs(const QString& lpstat, const QString& address) {
    QProcess process;
    QElapsedTimer took;
    took.start();
    process.start(lpstat, {QStringLiteral("-h"), address, QStringLiteral("-o")});
    // The window's events may take the process's end first: ask its state.
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(1);
        QCoreApplication::processEvents();
    }
    return static_cast<double>(took.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir work;
    useBenchFolders(work.path());
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 200;

    SandboxPrintServer sandbox(work.filePath(QStringLiteral("print-server")));
    if (!check(sandbox.start(), QStringLiteral("no sandbox print server: ") + sandbox.error()))
        return 2;
    const QString address = sandbox.address();
    const QString lpadmin = findCupsTool(QStringLiteral("lpadmin"));
    const QString lpstat = findCupsTool(QStringLiteral("lpstat"));
    const ToolRun busy = runTool(
        lpadmin, {"-h", address, "-p", "Busy", "-E", "-v", "file:///dev/null", "-m", "raw"});
    const ToolRun watched =
        runTool(lpadmin, {"-h", address, "-p", "Watched", "-E", "-v",
                          QStringLiteral("socket://127.0.0.1:%1").arg(closedPort()), "-m", "raw",
                          "-o", "printer-error-policy=retry-current-job"});
    if (!check(busy.ok && watched.ok, busy.error + watched.error))
        return 2;
    const QString document = work.filePath(QStringLiteral("page.txt"));
    {
        QFile page(document);
        if (!page.open(QIODevice::WriteOnly) || page.write("Quarterly figures\n") < 0)
            return 2;
    }
    std::printf("fast_poll: filling the server...\n");
    std::fflush(stdout);
    QString failed = submitHeldJobs(address, QStringLiteral("Busy"), document, 5000);
    if (failed.isEmpty())
        failed = submitHeldJobs(address, QStringLiteral("Watched"), document, 50);
    if (!check(failed.isEmpty(), failed))
        return 2;

    BenchWindow window("fast_poll");
    FrmMain& form = window.form();
    form.CurrentPrinter->setCurrentText(address);
    FindPrintQueues_Click(form);
    form.CurrentPrintQueue->setCurrentIndex(form.CurrentPrintQueue->findText("Watched"));
    CurrentPrintQueue_Click(form);
    form.chkAutoQueue->setChecked(true);
    form.Timer2->stop();
    form.Timer2->disconnect();

    // Releases the first job of the watched queue, as Resume Job does under AutoQueue.
    CupsSpooler spooler(address, SpoolerTimeouts{});
    const QList<SpoolerJob> jobs = spooler.queueJobs(QStringLiteral("Watched"));
    if (!check(jobs.size() == 50,
               QStringLiteral("the watched queue holds %1 jobs").arg(jobs.size())))
        return 2;
    spooler.resumeJob(QStringLiteral("Watched"), jobs.first().JobId);
    QueueSession::of(form).setLastReleasedJob(QString::number(jobs.first().JobId));
    spooler.resumeQueue(QStringLiteral("Watched"));

    const auto tick = [&form] {
        Timer2_Timer(form);
        while (QueuePoll::of(form).inFlight())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    };
    // Each measured request gets the server idle for one poll interval before it,
    // as the fast poll leaves it between ticks: what the server still does after
    // one request is not charged to the next.
    const auto pause = [] {
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < kPollAQactiveDefaultMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
    };
    tick(); // the first reads every job of the server
    QList<double> tickMs, bareMs;
    for (int i = 0; i < ticks; ++i) {
        pause();
        QElapsedTimer took;
        took.start();
        tick();
        tickMs << static_cast<double>(took.nsecsElapsed()) / 1e6;
        if (!check(ShapeColour::of(form.ActiveUpdate) == ShapeColour::red,
                   QStringLiteral("the tick did not find the released job printing")))
            return 2;
        pause();
        took.restart();
        spooler.queueJobs(QStringLiteral("Watched"));
        bareMs << static_cast<double>(took.nsecsElapsed()) / 1e6;
    }

    // Another client's listing, without and during the fast poll (its timer at
    // 10 ms, ticking whenever the window's events run).
    QList<double> alone, polled;
    QObject::connect(form.Timer2, &QTimer::timeout, &form, [&form] { Timer2_Timer(form); });
    const auto listAlone = [&] {
        form.Timer2->stop();
        while (QueuePoll::of(form).inFlight())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        alone << lpstatMs(lpstat, address);
    };
    const auto listPolled = [&] {
        form.Timer2->setInterval(kPollAQactiveDefaultMs);
        form.Timer2->start();
        polled << lpstatMs(lpstat, address);
    };
    // The order changes every round, so that a server growing slower or faster
    // over the run favours neither.
    for (int round = 0; round < 10; ++round) {
        if (round % 2 == 0) {
            listAlone();
            listPolled();
        } else {
            listPolled();
            listAlone();
        }
    }
    form.Timer2->stop();
    while (QueuePoll::of(form).inFlight())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);

    const double tickMedian = median(tickMs), bare = median(bareMs);
    const double lpstatAlone = median(alone), lpstatPolled = median(polled);
    std::printf("fast_poll: 5,000 held jobs in another queue, 50 in the watched one, %d ticks\n",
                ticks);
    std::printf("  fast-poll tick:               %8.2f ms (%.2f x the bare request; at most 1.5)\n",
                tickMedian, tickMedian / bare);
    std::printf("  bare Get-Jobs, watched queue: %8.2f ms\n", bare);
    std::printf("  lpstat -o, no poll:           %8.1f ms\n", lpstatAlone);
    std::printf("  lpstat -o, during fast poll:  %8.1f ms (%+.1f%%; at most +10%%)\n", lpstatPolled,
                100.0 * (lpstatPolled / lpstatAlone - 1));
    return tickMedian <= 1.5 * bare && lpstatPolled <= 1.1 * lpstatAlone ? 0 : 1;
}
