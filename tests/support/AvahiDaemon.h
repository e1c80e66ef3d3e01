#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

// The Avahi daemon the discovery tests publish on: the machine's own when one runs,
// else a private one the object starts (with a message bus of its own, listening on
// the loopback interface only, so nothing is announced beyond this computer) and
// stops again. Needs root for a private daemon; when it cannot start one, running()
// is false and the test fails.
class AvahiDaemon {
public:
    AvahiDaemon();
    ~AvahiDaemon();
    AvahiDaemon(const AvahiDaemon&) = delete;
    AvahiDaemon& operator=(const AvahiDaemon&) = delete;

    bool running() const { return running_; }
    QString failure() const { return failure_; }

    // Announces a service until the object goes; false when the daemon refused it.
    bool publish(const QString& name, const QString& type, int port, const QString& host);

private:
    bool startPrivate();
    QProcess* start(const QString& program, const QStringList& arguments);

    QTemporaryDir folder_;
    std::vector<std::unique_ptr<QProcess>> processes_; // stopped in reverse order
    std::optional<QByteArray> savedBus_;
    bool ownBus_ = false;
    bool running_ = false;
    QString failure_;
};
