#pragma once

#include "log/LogDatabase.h"

#include <QList>
#include <QString>

// The files that keep a log's waiting rows from one run to the next:
// "swr.db.waiting-<time>-<process>" beside the log, one for each run that ended with
// rows it could not write, so that two copies of the program never write one file.

// Writes the rows to a new file beside the log, whole or not at all. False when it
// could not be written.
bool KeepRows(const QString& logFile, const QString& runTag,
              const std::deque<LogDatabase::PendingWrite>& rows);

// The rows of every such file beside the log, oldest file first, each file removed as
// it is taken; a file another copy took first is left to it. A file that cannot be
// read is left where it is.
QList<LogDatabase::PendingWrite> TakeKeptRows(const QString& logFile);
