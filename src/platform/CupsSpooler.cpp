#include "platform/CupsSpooler.h"

CupsSpooler::CupsSpooler(const QString& serverName, const SpoolerTimeouts& timeouts)
    : serverName_(serverName), connection_(serverName, timeouts) {}

QStringList CupsSpooler::queueNames() {
    IppPtr request = connection_.newRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    const CupsReply reply = connection_.send(std::move(request), "/");
    // A server without any queue answers client-error-not-found: that server is
    // fine, it just has nothing to list.
    lastResult_ = reply.result == SpoolerResult::NotFound && reply.response ? SpoolerResult::Success
                                                                            : reply.result;
    QStringList names;
    if (reply.result != SpoolerResult::Success)
        return names;
    for (ipp_attribute_t* attr = ippFirstAttribute(reply.response.get()); attr;
         attr = ippNextAttribute(reply.response.get())) {
        if (ippGetGroupTag(attr) != IPP_TAG_PRINTER || !ippGetName(attr) ||
            qstrcmp(ippGetName(attr), "printer-name") != 0)
            continue;
        const ipp_tag_t tag = ippGetValueTag(attr);
        if (tag == IPP_TAG_NAME || tag == IPP_TAG_NAMELANG)
            names << QString::fromUtf8(ippGetString(attr, 0, nullptr));
    }
    return names;
}
