#pragma once

#include "platform/CupsConnection.h"
#include "platform/CupsRequests.h"
#include "sandbox/CupsTools.h"
#include "sandbox/SandboxPrintServer.h"

#include <QFile>
#include <QString>
#include <cups/cups.h>

// Fills a queue with `count` held plain-text jobs of `document`, from "alice", over
// one connection (lp would take a process a job). Empty when all were taken, else
// what went wrong.
inline QString submitHeldJobs(const QString& address, const QString& queue, const QString& document,
                              int count) {
    const CupsServerAddress server = CupsServerAddress::parse(address);
    http_t* http = httpConnect2(server.host.toUtf8().constData(), server.port, nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 3000, nullptr);
    if (!http)
        return QStringLiteral("cannot connect to ") + address;
    httpSetTimeout(http, 60, nullptr, nullptr);
    const CupsConnection requests(address, {});
    const QByteArray uri = printerUri(requests, queue).toUtf8();
    const QByteArray resource = (QStringLiteral("/printers/") + queue).toUtf8();
    const QByteArray path = QFile::encodeName(document);
    for (int number = 0; number < count; ++number) {
        ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                     uri.constData());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                     "alice");
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                     ("Figures " + QByteArray::number(number)).constData());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                     "text/plain");
        ippAddString(request, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-hold-until", nullptr,
                     "indefinite");
        ipp_t* answer = cupsDoFileRequest(http, request, resource.constData(), path.constData());
        const bool refused = !answer || ippGetStatusCode(answer) >= IPP_STATUS_ERROR_BAD_REQUEST;
        ippDelete(answer);
        if (refused) {
            const QString error = QStringLiteral("job %1 was refused: %2")
                                      .arg(number)
                                      .arg(QString::fromUtf8(cupsLastErrorString()));
            httpClose(http);
            return error;
        }
    }
    httpClose(http);
    return QString();
}

// Writes the document the jobs print and starts `server` with `queue` on it, printing
// to /dev/null. Empty when all went well, else what went wrong.
inline QString startServerWithQueue(SandboxPrintServer& server, const QString& queue,
                                    const QString& document, const QByteArray& content) {
    QFile file(document);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QStringLiteral("cannot write ") + document;
    file.close();
    if (!server.start())
        return server.error();
    const ToolRun added =
        runTool(QStringLiteral("lpadmin"),
                {QStringLiteral("-h"), server.address(), QStringLiteral("-p"), queue,
                 QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("file:///dev/null"),
                 QStringLiteral("-m"), QStringLiteral("raw")});
    return added.ok ? QString() : added.error;
}
