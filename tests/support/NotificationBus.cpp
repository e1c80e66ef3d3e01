#include "support/NotificationBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <gtest/gtest.h>

namespace {

const QString kConnection = QStringLiteral("test-notification-service");

} // namespace

NotificationBus::NotificationBus() {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    // The daemon prints its address as soon as it listens.
    while (daemon_.waitForReadyRead(10000) && !daemon_.canReadLine()) {
    }
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        ADD_FAILURE() << "dbus-daemon gave no address: "
                      << daemon_.readAllStandardError().toStdString();
        return;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(address_, kConnection);
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        ADD_FAILURE() << "the notification service could not own its name: "
                      << bus.lastError().message().toStdString();
        address_.clear();
    }
}

NotificationBus::~NotificationBus() {
    QDBusConnection::disconnectFromBus(kConnection);
    daemon_.terminate();
    if (!daemon_.waitForFinished(5000))
        daemon_.kill();
    daemon_.waitForFinished(5000);
}

uint NotificationBus::Notify(const QString& appName, uint, const QString&, const QString& summary,
                             const QString& body, const QStringList&, const QVariantMap&, int) {
    notices.append({appName, summary, body});
    return static_cast<uint>(notices.size());
}

QStringList NotificationBus::GetCapabilities() {
    return {QStringLiteral("body")};
}
