#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// How long any call to a print server may wait. Shared by every request, so an
// unreachable or silent server never holds the window longer than this.
struct SpoolerTimeouts {
    int connectMs = 3000; // opening the connection
    int requestMs = 5000; // any one request, from sending to the last byte of the answer
};

// How a call to a print server ended, in the terms the program reports to the
// operator. AccessDenied covers every refusal for lack of rights, including a
// password the operator would not give.
enum class SpoolerResult {
    Success,
    NotFound,     // no such queue or job
    AccessDenied, // forbidden, not authorized, not authenticated
    Unreachable,  // no connection, or no answer within the timeouts
    Failed,       // any other refusal or error
};

// One print job as the Windows spooler would describe it (Win32_PrintJob), so the
// program's job rules read the same whatever spooler answers.
struct SpoolerJob {
    int JobId = 0;
    QString Name; // "printer, id"
    QString Document;
    QString Owner;
    QString HostPrintQueue; // the submitting computer
    qint64 TotalPages = 0;
    qint64 PagesPrinted = 0;
    int Priority = 0;
    qint64 Size = 0; // bytes
    QDateTime TimeSubmitted;
    int StatusMask = 0; // Windows job status bits: 0 queued, 1 paused, 16 printing, ...
};

// One print server, seen in the terms the program's features use: queues and jobs
// with the names and status numbers of the Windows spooler. One instance per
// server name. Every call is bounded by the timeouts above; a failing call
// reports failure to its caller and never throws.
class PrintSpooler {
public:
    virtual ~PrintSpooler() = default;

    // The server box text this spooler was made for ("host" or "host:port").
    virtual QString serverName() const = 0;

    // The names of the server's print queues, in the order the server returns them.
    // Empty when the server cannot be reached or answers with an error.
    virtual QStringList queueNames() = 0;
};
