#pragma once

#include <QString>

// The name of the computer a job came from, as the live reports show it: the server
// reports the submitting host as an address more often than not, and an operator
// knows the machines by name. An address that resolves gives its host name; a name,
// or an address that does not resolve within a few seconds, comes back as given.
// Leading backslashes ("\\host") are dropped first.
QString QueryServerName(const QString& server);
