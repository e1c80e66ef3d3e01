#include "monitor/ServerSubscription.h"

#include "platform/CupsConnection.h"
#include "platform/CupsRequests.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// The job events the program cares for: a job came, changed state, had its
// attributes (priority) changed, or ended.
// job-progress carries the pages printed so far.
const char* const kJobEvents[] = {"job-created", "job-state-changed", "job-config-changed",
                                  "job-progress", "job-completed"};

IppPtr requestFor(const CupsConnection& connection, ipp_op_t op) {
    IppPtr request = connection.newRequest(op);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 serverUri(connection).toUtf8().constData());
    return request;
}

} // namespace

SpoolerResult ServerSubscription::create(CupsConnection& connection, int leaseSeconds) {
    IppPtr request = requestFor(connection, IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS);
    ipp_t* ipp = request.get();
    ippAddString(ipp, IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-pull-method", nullptr,
                 "ippget");
    ippAddStrings(ipp, IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-events",
                  static_cast<int>(std::size(kJobEvents)), nullptr, kJobEvents);
    ippAddInteger(ipp, IPP_TAG_SUBSCRIPTION, IPP_TAG_INTEGER, "notify-lease-duration",
                  leaseSeconds);
    const CupsReply reply = connection.send(std::move(request), "/");
    if (reply.result != SpoolerResult::Success)
        return reply.result;
    ipp_attribute_t* id =
        ippFindAttribute(reply.response.get(), "notify-subscription-id", IPP_TAG_INTEGER);
    if (!id || ippGetInteger(id, 0) <= 0)
        return SpoolerResult::Failed; // accepted as a whole, refused for the one group
    id_ = ippGetInteger(id, 0);
    nextSequence_ = 1;
    ipp_attribute_t* lease =
        ippFindAttribute(reply.response.get(), "notify-lease-duration", IPP_TAG_INTEGER);
    leaseSeconds_ = lease ? ippGetInteger(lease, 0) : leaseSeconds;
    return SpoolerResult::Success;
}

ServerSubscription::Notifications ServerSubscription::fetch(CupsConnection& connection) {
    Notifications notifications;
    if (!active()) {
        notifications.result = SpoolerResult::NotFound;
        return notifications;
    }
    if (serverUri_.isEmpty())
        serverUri_ = serverUri(connection).toUtf8();
    IppPtr request = connection.newRequest(IPP_OP_GET_NOTIFICATIONS);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 serverUri_.constData());
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-ids",
                  id_);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-sequence-numbers",
                  nextSequence_);
    // The server would not wait for events anyway; the caller's poll is the wait.
    ippAddBoolean(request.get(), IPP_TAG_OPERATION, "notify-wait", 0);
    const CupsReply reply = connection.send(std::move(request), "/");
    // successful-ok-events-complete is the usual answer, and a success.
    notifications.result = reply.result;
    if (reply.result != SpoolerResult::Success)
        return notifications;
    CupsNotificationsRecord record = notificationsRecordOf(reply.response.get());
    notifications.getIntervalSeconds = record.getIntervalSeconds;
    for (CupsEventRecord& event : record.events) {
        if (event.sequence <= 0 || event.sequence < nextSequence_)
            continue; // seen already
        if (event.sequence > nextSequence_)
            notifications.missed = true;
        nextSequence_ = event.sequence + 1;
        if (event.jobId > 0 && event.event.startsWith(QLatin1String("job-")))
            notifications.jobEvents << std::move(event);
    }
    return notifications;
}

SpoolerResult ServerSubscription::renew(CupsConnection& connection, int leaseSeconds) {
    if (!active())
        return SpoolerResult::NotFound;
    IppPtr request = requestFor(connection, IPP_OP_RENEW_SUBSCRIPTION);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-id", id_);
    ippAddInteger(request.get(), IPP_TAG_SUBSCRIPTION, IPP_TAG_INTEGER, "notify-lease-duration",
                  leaseSeconds);
    const CupsReply reply = connection.send(std::move(request), "/");
    if (reply.result == SpoolerResult::Success) {
        ipp_attribute_t* lease =
            ippFindAttribute(reply.response.get(), "notify-lease-duration", IPP_TAG_INTEGER);
        leaseSeconds_ = lease ? ippGetInteger(lease, 0) : leaseSeconds;
    }
    return reply.result;
}

SpoolerResult ServerSubscription::cancel(CupsConnection& connection) {
    if (!active())
        return SpoolerResult::Success;
    IppPtr request = requestFor(connection, IPP_OP_CANCEL_SUBSCRIPTION);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-id", id_);
    forget();
    return connection.send(std::move(request), "/").result;
}

void ServerSubscription::forget() {
    serverUri_.clear(); // the next watch may be of another server
    id_ = 0;
    nextSequence_ = 1;
    leaseSeconds_ = 0;
}
