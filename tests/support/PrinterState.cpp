#include "support/PrinterState.h"

#include <cups/cups.h>
#include <gtest/gtest.h>
#include <vector>

bool setPrinterStateReasons(const QString& server, const QString& queue,
                            const QStringList& reasons) {
    const QString host = server.section(QLatin1Char(':'), 0, 0);
    const int port = server.section(QLatin1Char(':'), 1).toInt();
    http_t* http = httpConnect2(host.toUtf8().constData(), port, nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http) {
        ADD_FAILURE() << "no connection to " << server.toStdString();
        return false;
    }
    httpSetTimeout(http, 10, nullptr, nullptr);
    const QByteArray uri = QStringLiteral("ipp://%1/printers/%2").arg(server, queue).toUtf8();
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    QList<QByteArray> texts;
    std::vector<const char*> values;
    for (const QString& reason : reasons)
        texts << reason.toUtf8();
    for (const QByteArray& text : texts)
        values.push_back(text.constData());
    ippAddStrings(request, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "printer-state-reasons",
                  static_cast<int>(values.size()), nullptr, values.data());
    ippDelete(cupsDoRequest(http, request, "/admin/"));
    const ipp_status_t status = cupsLastError();
    httpClose(http);
    if (status > IPP_STATUS_OK_CONFLICTING) {
        ADD_FAILURE() << "the server would not set the printer's state reasons: "
                      << cupsLastErrorString();
        return false;
    }
    return true;
}
