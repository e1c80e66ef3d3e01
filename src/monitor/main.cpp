// SWRJobMonitor: watches the print jobs of one server for the program, which
// starts it beside itself and talks to it over its standard input and output
// (see CommandInput and EventOutput for the lines).

#include "monitor/CommandInput.h"
#include "monitor/EventOutput.h"
#include "monitor/JobWatcher.h"
#include "monitor/MonitorCredentials.h"
#include "monitor/TerminationSignal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <csignal>
#include <unistd.h>

int main(int argc, char** argv) {
    // A program that stops reading must not kill the monitor before it has
    // cancelled its subscription: a failed write says the same, more politely.
    std::signal(SIGPIPE, SIG_IGN);
    MonitorCredentials::answerNoneByDefault();

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("SWRJobMonitor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SPOOLWRIGHT_VERSION));

    JobWatcher::Timing timing;
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Watches the print jobs of a server for Spoolwright. Reads "
                       "\"WatchServer<TAB>server\" and \"StopWatching\" lines on standard "
                       "input; writes \"JobEvent<TAB>action<TAB>job fields\" and "
                       "\"ConnectEvent<TAB>text\" lines on standard output."));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption lease(
        QStringLiteral("lease-seconds"),
        QStringLiteral("Lease asked for the subscription (default %1).").arg(timing.leaseSeconds),
        QStringLiteral("seconds"));
    const QCommandLineOption relist(
        QStringLiteral("relist-seconds"),
        QStringLiteral("Shortest time between two reads of the whole job list made because "
                       "the server lost events; 0: no limit (default %1).")
            .arg(timing.relistMs / 1000),
        QStringLiteral("seconds"));
    options.addOptions({lease, relist});
    options.process(app);
    auto seconds = [&options](const QCommandLineOption& option, int least, int* value) {
        if (!options.isSet(option))
            return true;
        bool ok = false;
        const int number = options.value(option).toInt(&ok);
        if (!ok || number < least || number > 24 * 3600) {
            QTextStream(stderr) << "SWRJobMonitor: --" << option.names().first()
                                << " needs a whole number of seconds from " << least << Qt::endl;
            return false;
        }
        *value = number;
        return true;
    };
    int relistSeconds = timing.relistMs / 1000;
    if (!seconds(lease, 1, &timing.leaseSeconds) || !seconds(relist, 0, &relistSeconds))
        return 2;
    timing.relistMs = relistSeconds * 1000;

    EventOutput output(STDOUT_FILENO);
    CommandInput input(STDIN_FILENO);
    MonitorCredentials credentials;
    JobWatcher watcher(output, credentials.prompt(), timing);
    TerminationSignal termination;

    watcher.setReportGuard([&input] { return input.watchAboutToChange(); });
    QObject::connect(
        &input, &CommandInput::credentialsGiven, &watcher,
        [&credentials](const QString& server, const QString& user, const QString& password) {
            credentials.give(server, SpoolerCredentials{user, password});
        });
    QObject::connect(&input, &CommandInput::watchServer, &watcher, &JobWatcher::watchServer);
    QObject::connect(&input, &CommandInput::stopWatching, &watcher, &JobWatcher::stopWatching);

    // However the monitor is told to go, its subscription is cancelled first.
    auto finish = [&watcher] {
        watcher.stopWatching();
        QCoreApplication::quit();
    };
    QObject::connect(&input, &CommandInput::closed, &app, finish);
    QObject::connect(&termination, &TerminationSignal::received, &app, finish);
    // Queued: a write fails in the middle of a report, which must finish first.
    QObject::connect(&output, &EventOutput::broken, &app, finish, Qt::QueuedConnection);

    return QCoreApplication::exec();
}
