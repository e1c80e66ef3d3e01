#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

struct SpoolerJob;

// The lines the program and its job monitor (SWRJobMonitor) exchange over the
// monitor's standard input and output: one call or event a line, its name and
// fields separated by tabs. A field may hold any text: backslash, tab, carriage
// return and line feed travel escaped, so a line never breaks apart.
//
// Program to monitor:
//   Credentials  server, user, password   (the password the operator gave a server)
//   WatchServer  server
//   StopWatching
// Monitor to program:
//   JobEvent      action ("New", "Modified", "Deleted"), then the job's fields
//   ConnectEvent  text ("Connected", "WMI Connection Error", ...)
namespace MonitorProtocol {

inline const QString Credentials = QStringLiteral("Credentials");
inline const QString WatchServer = QStringLiteral("WatchServer");
inline const QString StopWatching = QStringLiteral("StopWatching");
inline const QString JobEvent = QStringLiteral("JobEvent");
inline const QString ConnectEvent = QStringLiteral("ConnectEvent");

// The action of a JobEvent.
inline const QString newAction = QStringLiteral("New");
inline const QString modifiedAction = QStringLiteral("Modified");
inline const QString deletedAction = QStringLiteral("Deleted");
// The text of a ConnectEvent: the watch delivers events, reads the list on a
// timer, is being set up again, or cannot begin.
inline const QString connectedText = QStringLiteral("Connected");
inline const QString pollingText = QStringLiteral("Polling");
inline const QString reconnectingText = QStringLiteral("Reconnecting");
inline const QString connectionErrorText = QStringLiteral("WMI Connection Error");

struct Line {
    QString name;
    QStringList fields;
};

// One line, with its line feed.
QByteArray encode(const QString& name, const QStringList& fields = {});
// A line without its line end (a trailing carriage return is dropped).
Line decode(const QByteArray& line);

// A job as the fields of a JobEvent, and back; nothing when the fields are not a job.
QStringList jobFields(const SpoolerJob& job);
std::optional<SpoolerJob> jobFromFields(const QStringList& fields);

} // namespace MonitorProtocol
