#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cups/cups.h>
#include <optional>

// The IPP answers the spooler reads, parsed once into typed records, so that the
// rest of the code never walks IPP attributes. Missing attributes keep the
// defaults below.

// A job as Get-Jobs describes it.
struct CupsJobRecord {
    int id = 0;
    QString name;       // job-name
    QString user;       // job-originating-user-name
    QString host;       // job-originating-host-name
    QString printerUri; // job-printer-uri
    int state = 0;      // job-state (ipp_jstate_t)
    int priority = 0;
    qint64 kOctets = 0;
    qint64 timeAtCreation = 0;         // seconds since the epoch
    std::optional<qint64> impressions; // only when the submitting client sent it
    qint64 impressionsCompleted = 0;
    int documents = 0;        // number-of-documents
    QString holdUntil;        // job-hold-until: "no-hold", "indefinite", a time of day, ...
    QStringList stateReasons; // job-state-reasons

    // The queue the job is in: the last part of its printer URI.
    QString printerName() const;
};

// A printer (queue) as CUPS-Get-Printers or Get-Printer-Attributes describes it.
struct CupsPrinterRecord {
    QString name;
    QString info;
    QString location;
    QString makeAndModel;
    QStringList uriSupported; // printer-uri-supported, in the server's order
    QString deviceUri;
    QString holdUntilDefault; // job-hold-until-default
    int state = 0;            // printer-state (ipp_pstate_t)
    QStringList stateReasons;
    bool shared = false;
};

// One event of a Get-Notifications answer. A job event names its job and says
// the state it was in then; which other attributes it carries depends on the
// event, so the job's fields are not made from it.
struct CupsEventRecord {
    int sequence = 0;                           // notify-sequence-number
    QString event;                              // notify-subscribed-event ("job-created", ...)
    int jobId = 0;                              // notify-job-id; 0 for a printer or server event
    int jobState = 0;                           // job-state when the event happened (ipp_jstate_t)
    std::optional<qint64> impressionsCompleted; // job-impressions-completed, when sent
};

// What a Get-Notifications answer holds.
struct CupsNotificationsRecord {
    QList<CupsEventRecord> events; // in the server's order
    int getIntervalSeconds = 0;    // notify-get-interval: when the server wants to be asked again
};
CupsNotificationsRecord notificationsRecordOf(ipp_t* response);

// The records of every job group in a Get-Jobs answer, in the server's order.
QList<CupsJobRecord> jobRecordsOf(ipp_t* response);

// The records of every printer group in a printer answer, in the server's order.
QList<CupsPrinterRecord> printerRecordsOf(ipp_t* response);

// What CUPS-Get-Document tells about the document it returns.
struct CupsDocumentRecord {
    QString format; // document-format: the type the server detected
};
CupsDocumentRecord documentRecordOf(ipp_t* response);
