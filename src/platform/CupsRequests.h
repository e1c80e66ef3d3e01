#pragma once

#include "platform/CupsConnection.h"

#include <QString>

// The IPP requests the spooler sends, each built in one place with exactly the
// value tags cupsd expects: it ignores an attribute with a wrong tag without a
// word, and a filter that is ignored lists too much rather than failing.

// ipp://host:port/ : the whole server.
QString serverUri(const CupsConnection& connection);
// ipp://host:port/printers/NAME
QString printerUri(const CupsConnection& connection, const QString& queue);
// ipp://host:port/jobs/ID
QString jobUri(const CupsConnection& connection, int jobId);

// CUPS-Get-Printers asking for the names alone.
IppPtr queueNamesRequest(const CupsConnection& connection);
// Get-Printer-Attributes for a queue's properties and status.
IppPtr queueRequest(const CupsConnection& connection, const QString& queue);
// CUPS-Get-Printers for the live reports' printer properties.
IppPtr printersRequest(const CupsConnection& connection);
// Get-Printer-Attributes of one queue, asking for everything the server has.
IppPtr allPrinterAttributesRequest(const CupsConnection& connection, const QString& queue);

// Get-Jobs of the jobs not yet finished at `uri` (the server's or a printer's),
// asking for the attributes a job's fields are made of and nothing else.
IppPtr jobsRequest(const CupsConnection& connection, const QString& uri);
// Get-Jobs of at most `limit` unfinished jobs of the whole server, from the
// job numbered firstJobId on (a CUPS extension): the jobs that came lately.
IppPtr jobsFromRequest(const CupsConnection& connection, int firstJobId, int limit);
// Get-Job-Attributes of one job, asking for the same attributes as jobsRequest,
// so that the job is made exactly as a listing makes it.
IppPtr jobAttributesRequest(const CupsConnection& connection, int jobId);

// A job operation (Hold-Job, Release-Job, Cancel-Job, ...) on a queue's job.
IppPtr jobRequest(const CupsConnection& connection, ipp_op_t op, const QString& queue, int jobId);
// Hold-Job until released.
IppPtr holdJobRequest(const CupsConnection& connection, const QString& queue, int jobId);
// Set-Job-Attributes of job-priority.
IppPtr jobPriorityRequest(const CupsConnection& connection, const QString& queue, int jobId,
                          int priority);

// CUPS-Move-Job of a queue's job to another queue of the server.
IppPtr moveJobRequest(const CupsConnection& connection, const QString& queue, int jobId,
                      const QString& toQueue);

// A printer operation (Pause-Printer, Resume-Printer, Purge-Jobs) on a queue.
// Get-Printer-Attributes asking for one attribute alone.
IppPtr printerAttributeRequest(const CupsConnection& connection, const QString& queue,
                               const char* attribute);
// Asks for the queue's job-hold-until-default alone.
IppPtr holdDefaultRequest(const CupsConnection& connection, const QString& queue);
// Sets the queue's job-hold-until-default (CUPS-Add-Modify-Printer keeps every other
// setting of the queue as it is).
IppPtr setHoldDefaultRequest(const CupsConnection& connection, const QString& queue,
                             const QString& value);
IppPtr printerRequest(const CupsConnection& connection, ipp_op_t op, const QString& queue);
// CUPS-Add-Modify-Printer making `queue` print to `deviceUri`, running, not shared,
// printing at once what it gets and refusing jobs sent to it. A driver file sent with
// it becomes the queue's driver.
IppPtr movedJobsQueueRequest(const CupsConnection& connection, const QString& queue,
                             const QString& deviceUri);
// Cancel-Jobs of exactly these jobs of a queue (its job-ids).
IppPtr cancelJobsRequest(const CupsConnection& connection, const QString& queue,
                         const QList<int>& jobIds);

// Print-Job of the test page, typed by the server.
IppPtr testPageRequest(const CupsConnection& connection, const QString& queue);

// CUPS-Get-Document of one document (numbered from 1) of a job.
IppPtr documentRequest(const CupsConnection& connection, int jobId, int documentNumber);
