#pragma once

#include <QString>

// The local process table, read from /proc.
namespace ProcessTable {

// Ends (SIGTERM) every process of the current user whose name contains `name`,
// compared without regard to case; other users' processes are never touched.
// Returns how many were signalled. Failures are silent.
int EndProcessesNamed(const QString& name);

} // namespace ProcessTable
