// How long the window's thread leaves an event waiting while the watched server
// stops answering: an event is due every 20 ms, and the longest delay is printed,
// once with the poll as it runs (its requests on a worker) and once with the same
// refresh made on the window's thread each tick, as it was before (the baseline).
//
// Usage: poll_freeze [seconds per way, default 60]

#include "BenchWindow.h"
#include "form/FrmMain.h"
#include "sandbox/SandboxPrintServer.h"
#include "session/QueuePoll.h"
#include "session/QueueSelection.h"
#include "session/ServerConnection.h"
#include "session/StatusRedraw.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <cstdio>

namespace {

constexpr int kEventEveryMs = 20;
constexpr int kTickEveryMs = 1000;

// The longest wait of an event due every 20 ms while `seconds` pass with the server
// stopped. `onWindowThread`: each tick refreshes the view on the window's thread.
double longestWaitMs(const QString& server, pid_t serverPid, int seconds, bool onWindowThread) {
    BenchWindow window("poll_freeze");
    FrmMain& form = window.form();
    form.Settings.PollNorm = QString::number(kTickEveryMs);
    form.CurrentPrinter->setCurrentText(server);
    FindPrintQueues_Click(form);
    form.CurrentPrintQueue->setCurrentIndex(form.CurrentPrintQueue->findText("Office-Laser"));
    CurrentPrintQueue_Click(form);

    QTimer oldTick;
    if (onWindowThread) {
        form.Timer2->stop();
        form.Timer2->disconnect();
        QObject::connect(&oldTick, &QTimer::timeout, &form, [&form] {
            CurrentPrintQueue_Click(form);
            form.Timer2->stop();
        });
        oldTick.start(kTickEveryMs);
    } else {
        form.Timer2->setInterval(kTickEveryMs);
        form.Timer2->start();
    }

    ::kill(serverPid, SIGSTOP);
    StallProbe probe(kEventEveryMs);
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QApplication::exec();
    probe.stop();
    ::kill(serverPid, SIGCONT);
    oldTick.stop();
    form.Timer2->stop();
    return static_cast<double>(probe.longestMs());
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir work;
    useBenchFolders(work.path());
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 60;

    SandboxPrintServer sandbox(work.filePath(QStringLiteral("print-server")));
    if (!sandbox.start() || sandbox.pid() <= 0) {
        std::fprintf(stderr, "poll_freeze: no sandbox print server: %s\n",
                     qPrintable(sandbox.error()));
        return 2;
    }
    const pid_t pid = static_cast<pid_t>(sandbox.pid());
    const double worker = longestWaitMs(sandbox.address(), pid, seconds, false);
    const double windowThread = longestWaitMs(sandbox.address(), pid, seconds, true);
    std::printf("poll_freeze: the watched server stopped for %d s, a tick every %d ms, an "
                "event due every %d ms\n",
                seconds, kTickEveryMs, kEventEveryMs);
    std::printf("  longest wait, poll requests on a worker:            %7.0f ms (at most 250)\n",
                worker);
    std::printf("  baseline, the same refresh on the window's thread:  %7.0f ms\n", windowThread);
    return 0;
}
