#pragma once

#include <QString>

class Environment;

// "spoolwright --import-log FILE": merges the local log FILE into the shared log that
// the settings' LogPath names and prints how many rows it added and skipped. The exit
// status: 0 done, 1 failed (the reason printed), 2 no FILE given.
int importLogCommand(const Environment& environment, const QString& file);
