#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class QObject;

// The names of the computers jobs came from, as the live reports show them: the
// server reports the submitting host as an address more often than not, and an
// operator knows the machines by name. An address that resolves gives its host
// name; a name, or an address that does not resolve within a few seconds, comes
// back as given. Leading backslashes ("\\host") are dropped first.

// The host a server text names, without its leading backslashes.
QString serverHost(const QString& server);

// The host name the system's resolver gives an address ("192.0.2.7"); empty when it
// has none. It may take seconds, and cannot be interrupted.
QString reverseLookup(const QString& address);
using NameLookup = std::function<QString(const QString& address)>;

// Looks up the names of `servers` through `lookUp` (reverseLookup unless given),
// every address at once on a thread of its own, so that all of them take no longer
// than the slowest, and that at most a few seconds.
// `done` gets each server text's name on `context`'s thread, which goes on with its
// events meanwhile; at once when none of them is an address. Nothing is called when
// `context` is gone first.
void queryServerNames(const QStringList& servers, NameLookup lookUp, QObject* context,
                      std::function<void(const QHash<QString, QString>&)> done);
