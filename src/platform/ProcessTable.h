#pragma once

#include <QString>

// The local process table, read from /proc.
namespace ProcessTable {

// Ends (SIGTERM) every process of the current user whose name contains `name`,
// compared without regard to case; other users' processes are never touched.
// Returns how many were signalled. Failures are silent.
int EndProcessesNamed(const QString& name);

// The same for the processes among them that were left behind: their parent
// ended and they were handed to the system (process 1, or a user service manager
// that adopts orphans). A process whose parent still runs belongs to it and is
// left alone.
int endOrphanedProcessesNamed(const QString& name);

} // namespace ProcessTable
