#pragma once

#include <QString>

// Shows a notification on the desktop through its notification service
// (org.freedesktop.Notifications on the session bus). It only sends: the window never
// waits for the service's answer. False when there is no session bus.
bool sendDesktopNotification(const QString& summary, const QString& body);
