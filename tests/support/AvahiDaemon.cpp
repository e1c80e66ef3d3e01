#include "support/AvahiDaemon.h"

#include "support/Files.h"

#include <QDeadlineTimer>
#include <QTest>

namespace {

bool daemonRuns() {
    QProcess check;
    check.start(QStringLiteral("avahi-daemon"), {QStringLiteral("--check")});
    return check.waitForFinished(10000) && check.exitStatus() == QProcess::NormalExit &&
           check.exitCode() == 0;
}

// Reads what the process says until it says `marker` or ends; all it said.
QByteArray waitForOutput(QProcess* process, const QByteArray& marker) {
    QByteArray said;
    if (process)
        (void)QTest::qWaitFor(
            [&] {
                said += process->readAll();
                return said.contains(marker) || process->state() == QProcess::NotRunning;
            },
            20000);
    return said;
}

} // namespace

AvahiDaemon::AvahiDaemon() {
    running_ = daemonRuns() || startPrivate();
}

AvahiDaemon::~AvahiDaemon() {
    for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(10000))
            (*it)->kill();
        (*it)->waitForFinished(5000);
    }
    if (ownBus_)
        savedBus_ ? qputenv("DBUS_SYSTEM_BUS_ADDRESS", *savedBus_)
                  : qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

QProcess* AvahiDaemon::start(const QString& program, const QStringList& arguments) {
    processes_.push_back(std::make_unique<QProcess>());
    QProcess* process = processes_.back().get();
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(program, arguments);
    return process->waitForStarted(10000) ? process : nullptr;
}

bool AvahiDaemon::startPrivate() {
    const QString bus = folder_.filePath(QStringLiteral("bus"));
    const QString busConfig = folder_.filePath(QStringLiteral("bus.conf"));
    const QString avahiConfig = folder_.filePath(QStringLiteral("avahi.conf"));
    writeFile(busConfig,
              "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
              "<busconfig><type>system</type><listen>unix:path=" +
                  bus.toUtf8() +
                  "</listen><auth>EXTERNAL</auth>"
                  "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
                  "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                  "<allow receive_sender=\"*\"/></policy></busconfig>\n");
    writeFile(avahiConfig, "[server]\nuse-ipv4=yes\nuse-ipv6=no\nallow-interfaces=lo\n"
                           "[wide-area]\nenable-wide-area=no\n"
                           "[publish]\npublish-hinfo=no\npublish-workstation=no\n"
                           "publish-addresses=no\n");
    if (!start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--config-file=") + busConfig, QStringLiteral("--nofork")})) {
        failure_ = QStringLiteral("dbus-daemon did not start");
        return false;
    }
    if (!QTest::qWaitFor([&] { return QFile::exists(bus); }, 10000)) {
        failure_ = QStringLiteral("the private message bus did not come up");
        return false;
    }
    if (qEnvironmentVariableIsSet("DBUS_SYSTEM_BUS_ADDRESS"))
        savedBus_ = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    ownBus_ = true;
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + bus.toUtf8());
    QProcess* avahi = start(QStringLiteral("avahi-daemon"),
                            {QStringLiteral("--no-drop-root"), QStringLiteral("--no-chroot"),
                             QStringLiteral("--no-rlimits"), QStringLiteral("-f"), avahiConfig});
    const QByteArray log = waitForOutput(avahi, "Server startup complete");
    const bool up = log.contains("Server startup complete");
    if (!up)
        failure_ = QStringLiteral("avahi-daemon did not start: ") + QString::fromUtf8(log);
    return up;
}

bool AvahiDaemon::publish(const QString& name, const QString& type, int port, const QString& host) {
    QProcess* publisher =
        start(QStringLiteral("avahi-publish"), {QStringLiteral("-s"), QStringLiteral("-H"), host,
                                                name, type, QString::number(port)});
    return waitForOutput(publisher, "Established").contains("Established");
}
