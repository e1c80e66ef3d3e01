#include "platform/CupsRequests.h"

namespace {

// The job attributes a SpoolerJob is made of.
const char* const jobAttributes[] = {
    "job-id",
    "job-name",
    "job-originating-user-name",
    "job-originating-host-name",
    "job-printer-uri",
    "job-state",
    "job-hold-until",
    "job-state-reasons",
    "job-priority",
    "job-k-octets",
    "time-at-creation",
    "job-impressions",
    "job-impressions-completed",
    "number-of-documents",
};

const char* const queueAttributes[] = {
    "printer-name",           "printer-info",  "printer-uri-supported", "printer-location",
    "printer-make-and-model", "printer-state", "printer-state-reasons", "job-hold-until-default",
};

const char* const printerAttributes[] = {
    "printer-name",          "printer-info",      "printer-location", "printer-state",
    "printer-state-reasons", "printer-is-shared", "device-uri",
};

template <size_t N> void askFor(ipp_t* request, const char* const (&names)[N]) {
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(N), nullptr, names);
}

QString assembled(const CupsConnection& connection, const char* resourceFormat,
                  const QByteArray& value) {
    char uri[HTTP_MAX_URI];
    // Percent-encodes what a queue name may hold and brackets an IPv6 address.
    if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr,
                         connection.address().host.toUtf8().constData(), connection.address().port,
                         resourceFormat, value.constData()) != HTTP_URI_STATUS_OK)
        return QString();
    return QString::fromUtf8(uri);
}

void addUri(ipp_t* request, const char* name, const QString& uri) {
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, name, nullptr, uri.toUtf8().constData());
}

} // namespace

QString serverUri(const CupsConnection& connection) {
    return assembled(connection, "/%s", QByteArray());
}

QString printerUri(const CupsConnection& connection, const QString& queue) {
    return assembled(connection, "/printers/%s", queue.toUtf8());
}

QString jobUri(const CupsConnection& connection, int jobId) {
    return assembled(connection, "/jobs/%s", QByteArray::number(jobId));
}

IppPtr queueNamesRequest(const CupsConnection& connection) {
    IppPtr request = connection.newRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    return request;
}

IppPtr queueRequest(const CupsConnection& connection, const QString& queue) {
    IppPtr request = connection.newRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    addUri(request.get(), "printer-uri", printerUri(connection, queue));
    askFor(request.get(), queueAttributes);
    return request;
}

IppPtr allPrinterAttributesRequest(const CupsConnection& connection, const QString& queue) {
    IppPtr request = connection.newRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    addUri(request.get(), "printer-uri", printerUri(connection, queue));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "all");
    return request;
}

IppPtr printersRequest(const CupsConnection& connection) {
    IppPtr request = connection.newRequest(IPP_OP_CUPS_GET_PRINTERS);
    askFor(request.get(), printerAttributes);
    return request;
}

IppPtr jobsRequest(const CupsConnection& connection, const QString& uri) {
    IppPtr request = connection.newRequest(IPP_OP_GET_JOBS);
    addUri(request.get(), "printer-uri", uri);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
                 "not-completed");
    askFor(request.get(), jobAttributes);
    return request;
}

IppPtr jobsFromRequest(const CupsConnection& connection, int firstJobId, int limit) {
    IppPtr request = jobsRequest(connection, serverUri(connection));
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "first-job-id", firstJobId);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "limit", limit);
    return request;
}

IppPtr jobAttributesRequest(const CupsConnection& connection, int jobId) {
    IppPtr request = connection.newRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    addUri(request.get(), "job-uri", jobUri(connection, jobId));
    askFor(request.get(), jobAttributes);
    return request;
}

IppPtr jobRequest(const CupsConnection& connection, ipp_op_t op, const QString& queue, int jobId) {
    IppPtr request = connection.newRequest(op);
    addUri(request.get(), "printer-uri", printerUri(connection, queue));
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    return request;
}

IppPtr holdJobRequest(const CupsConnection& connection, const QString& queue, int jobId) {
    IppPtr request = jobRequest(connection, IPP_OP_HOLD_JOB, queue, jobId);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "job-hold-until", nullptr,
                 "indefinite");
    return request;
}

IppPtr jobPriorityRequest(const CupsConnection& connection, const QString& queue, int jobId,
                          int priority) {
    IppPtr request = jobRequest(connection, IPP_OP_SET_JOB_ATTRIBUTES, queue, jobId);
    ippAddInteger(request.get(), IPP_TAG_JOB, IPP_TAG_INTEGER, "job-priority", priority);
    return request;
}

IppPtr moveJobRequest(const CupsConnection& connection, const QString& queue, int jobId,
                      const QString& toQueue) {
    IppPtr request = jobRequest(connection, IPP_OP_CUPS_MOVE_JOB, queue, jobId);
    ippAddString(request.get(), IPP_TAG_JOB, IPP_TAG_URI, "job-printer-uri", nullptr,
                 printerUri(connection, toQueue).toUtf8().constData());
    return request;
}

IppPtr printerAttributeRequest(const CupsConnection& connection, const QString& queue,
                               const char* attribute) {
    IppPtr request = printerRequest(connection, IPP_OP_GET_PRINTER_ATTRIBUTES, queue);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 attribute);
    return request;
}

IppPtr holdDefaultRequest(const CupsConnection& connection, const QString& queue) {
    return printerAttributeRequest(connection, queue, "job-hold-until-default");
}

IppPtr movedJobsQueueRequest(const CupsConnection& connection, const QString& queue,
                             const QString& deviceUri) {
    IppPtr request = printerRequest(connection, IPP_OP_CUPS_ADD_MODIFY_PRINTER, queue);
    ipp_t* r = request.get();
    ippAddString(r, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr,
                 deviceUri.toUtf8().constData());
    ippAddBoolean(r, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 0);
    ippAddBoolean(r, IPP_TAG_PRINTER, "printer-is-shared", 0);
    ippAddInteger(r, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    ippAddString(r, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "job-hold-until-default", nullptr, "no-hold");
    return request;
}

IppPtr setHoldDefaultRequest(const CupsConnection& connection, const QString& queue,
                             const QString& value) {
    IppPtr request = printerRequest(connection, IPP_OP_CUPS_ADD_MODIFY_PRINTER, queue);
    ippAddString(request.get(), IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "job-hold-until-default", nullptr,
                 value.toUtf8().constData());
    return request;
}

IppPtr printerRequest(const CupsConnection& connection, ipp_op_t op, const QString& queue) {
    IppPtr request = connection.newRequest(op);
    addUri(request.get(), "printer-uri", printerUri(connection, queue));
    return request;
}

IppPtr cancelJobsRequest(const CupsConnection& connection, const QString& queue,
                         const QList<int>& jobIds) {
    IppPtr request = printerRequest(connection, IPP_OP_CANCEL_JOBS, queue);
    ippAddIntegers(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-ids",
                   static_cast<int>(jobIds.size()), jobIds.constData());
    return request;
}

IppPtr testPageRequest(const CupsConnection& connection, const QString& queue) {
    IppPtr request = printerRequest(connection, IPP_OP_PRINT_JOB, queue);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, "Test Page");
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "document-name", nullptr,
                 "Test Page");
    // The server recognises the test page by its content; sent as a banner it is refused.
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 "application/octet-stream");
    return request;
}

IppPtr documentRequest(const CupsConnection& connection, int jobId, int documentNumber) {
    IppPtr request = connection.newRequest(IPP_OP_CUPS_GET_DOCUMENT);
    addUri(request.get(), "job-uri", jobUri(connection, jobId));
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "document-number",
                  documentNumber);
    return request;
}
