#pragma once

#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// A session bus of the test's own (a dbus-daemon it starts) with a desktop
// notification service on it that records every notification it is sent. Point the
// program at it with DBUS_SESSION_BUS_ADDRESS = address(). A bus that cannot be
// started fails the test.
class NotificationBus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notice {
        QString app, summary, body;
    };

    NotificationBus();
    ~NotificationBus() override;

    // "unix:path=...,guid=..."; empty when the bus did not start.
    const QString& address() const { return address_; }
    QList<Notice> notices;

public slots:
    // The notification service's calls, with the names and arguments the desktop uses.
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout);
    QStringList GetCapabilities();

private:
    QProcess daemon_;
    QString address_;
};
