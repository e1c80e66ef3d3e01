#pragma once

#include "control/ReleaseQueue.h"

#include <QMap>
#include <QString>
#include <cups/cups.h>

// The jobs of a queue the server keeps as finished (which-jobs=completed), by
// number, with their job-state: 9 printed, 7 cancelled, 8 aborted. Jobs released
// under AutoQueue count too: they finish in the queue's release queue. Empty when
// the server does not answer.
inline void addFinishedJobStates(const QString& address, const QString& queue,
                                 QMap<int, int>& states);
inline QMap<int, int> finishedJobStates(const QString& address, const QString& queue) {
    QMap<int, int> states;
    addFinishedJobStates(address, queue, states);
    addFinishedJobStates(address, releaseQueueName(queue), states);
    return states;
}

inline void addFinishedJobStates(const QString& address, const QString& queue,
                                 QMap<int, int>& states) {
    const QString host = address.section(':', 0, 0);
    const int port = address.section(':', 1, 1).toInt();
    http_t* http = httpConnect2(host.toUtf8().constData(), port, nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http)
        return;
    httpSetTimeout(http, 10.0, nullptr, nullptr);
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    const QByteArray uri = QStringLiteral("ipp://%1/printers/%2").arg(address, queue).toUtf8();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "completed");
    const char* wanted[] = {"job-id", "job-state"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr,
                  wanted);
    ipp_t* response = cupsDoRequest(http, request, "/");
    int id = 0;
    for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
        const char* name = ippGetName(a);
        if (!name) {
            id = 0;
        } else if (!strcmp(name, "job-id")) {
            id = ippGetInteger(a, 0);
        } else if (!strcmp(name, "job-state") && id) {
            states.insert(id, ippGetInteger(a, 0));
        }
    }
    ippDelete(response);
    httpClose(http);
}
