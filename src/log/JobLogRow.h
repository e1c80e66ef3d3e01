#pragma once

#include "log/LogDatabase.h"

#include <QString>

struct SpoolerJob;

// The columns of a job's row in the log (SWR_Log), other than its key.
namespace LogColumn {
enum : int {
    Server,
    Queue,
    Description,
    Computer,
    User,
    Name,
    TimeSubmitted,
    Priority,
    Pages,
    Size,
    Deleted,
    DeletedPages,
    Resumed,
    PrintedPages,
    SwrUser,
    SwrComputer,
    Comments,
    Count
};
}

// The column's name in SWR_Log, such as "Time Submitted".
QString logColumnName(int column);
// One field of a job's log row.
LogField logField(int column, const QString& value);

// A job's row in the log as every path writes it (retrieval, the monitor's events,
// the job and queue actions), keyed by its TransactionID: the server it was read from,
// then the job's own texts (jobTexts). A job already printing or printed leaves pages
// and size out: they are written when it is released.
LogRow jobLogRow(const SpoolerJob& job, const QString& server);
