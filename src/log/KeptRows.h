#pragma once

#include "log/LogDatabase.h"

#include <QList>
#include <QString>
#include <utility>

// The files that keep a log's waiting rows from one run to the next:
// "swr.db.waiting-<time>-<process>" beside the log, one for each run that ended with
// rows it could not write, so that two copies of the program never write one file.
// A file appears under that name only once it is written whole.

// Writes the rows to a new file beside the log, whole or not at all. False when it
// could not be written; `whyNot` then says why in a few words.
bool keepRows(const QString& logFile, const QString& runTag,
              const std::deque<LogDatabase::PendingWrite>& rows, QString* whyNot);

// The rows as the operator reads them, one a line, for when they cannot be kept.
QString keptRowsText(const std::deque<LogDatabase::PendingWrite>& rows);

// What the files beside a log held.
struct TakenRows {
    // Their rows, oldest file first.
    QList<LogDatabase::PendingWrite> rows;
    // Each file that held no rows as written (empty, cut short, not ours): its name
    // and the name it was moved aside to, or no name when it could not be moved.
    QList<std::pair<QString, QString>> unreadable;
};

// Takes every such file beside the log, each removed as it is taken; a file another
// copy took first is left to it. A file that cannot be read is moved aside as
// "swr.db.damaged-waiting-<time>-<process>", so that it is found once.
TakenRows takeKeptRowsOf(const QString& logFile);
