#include "platform/ServiceDiscovery.h"

#include <QDeadlineTimer>
#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>
#include <avahi-common/simple-watch.h>
#include <memory>

namespace {

// The state of one browse, shared by Avahi's callbacks.
struct Browse {
    AvahiClient* client = nullptr;
    DiscoveryResult result;
    int browsersPending = 0; // browsers that have not yet said "all for now"
    int resolversPending = 0;
    bool failed = false;
};

void resolved(AvahiServiceResolver* resolver, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event,
              const char* name, const char* type, const char* domain, const char* hostName,
              const AvahiAddress*, uint16_t port, AvahiStringList*, AvahiLookupResultFlags,
              void* data) {
    auto* browse = static_cast<Browse*>(data);
    if (event == AVAHI_RESOLVER_FOUND)
        browse->result.services.append({QString::fromUtf8(name), QString::fromUtf8(type),
                                        QString::fromUtf8(domain), QString::fromUtf8(hostName),
                                        port});
    --browse->resolversPending;
    avahi_service_resolver_free(resolver);
}

void browsed(AvahiServiceBrowser*, AvahiIfIndex interface, AvahiProtocol protocol,
             AvahiBrowserEvent event, const char* name, const char* type, const char* domain,
             AvahiLookupResultFlags, void* data) {
    auto* browse = static_cast<Browse*>(data);
    switch (event) {
    case AVAHI_BROWSER_NEW:
        // The host name and port are all the program needs: asking for the address
        // too would wait for hosts that announce none.
        if (avahi_service_resolver_new(browse->client, interface, protocol, name, type, domain,
                                       AVAHI_PROTO_UNSPEC, AVAHI_LOOKUP_NO_ADDRESS, resolved,
                                       browse))
            ++browse->resolversPending;
        break;
    case AVAHI_BROWSER_ALL_FOR_NOW:
        --browse->browsersPending;
        break;
    case AVAHI_BROWSER_FAILURE:
        browse->failed = true;
        break;
    case AVAHI_BROWSER_REMOVE:
    case AVAHI_BROWSER_CACHE_EXHAUSTED:
        break;
    }
}

struct PollDeleter {
    void operator()(AvahiSimplePoll* poll) const { avahi_simple_poll_free(poll); }
};
struct ClientDeleter {
    void operator()(AvahiClient* client) const { avahi_client_free(client); }
};

} // namespace

DiscoveryResult AvahiServiceBrowser::browse(const QStringList& types, int timeoutMs) {
    Browse browse;
    std::unique_ptr<AvahiSimplePoll, PollDeleter> poll(avahi_simple_poll_new());
    if (!poll)
        return browse.result;
    int error = 0;
    // Without AVAHI_CLIENT_NO_FAIL a missing daemon or message bus fails here at once.
    std::unique_ptr<AvahiClient, ClientDeleter> client(avahi_client_new(
        avahi_simple_poll_get(poll.get()), AvahiClientFlags(0), nullptr, nullptr, &error));
    if (!client)
        return browse.result;
    browse.client = client.get();
    browse.result.available = true;
    for (const QString& type : types) {
        const QByteArray name = type.toUtf8();
        // The browsers go with the client when it is freed.
        if (avahi_service_browser_new(client.get(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                      name.constData(), nullptr, AvahiLookupFlags(0), browsed,
                                      &browse))
            ++browse.browsersPending;
    }
    const QDeadlineTimer deadline(timeoutMs);
    while (!browse.failed && (browse.browsersPending > 0 || browse.resolversPending > 0)) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        // Waits for the daemon in short slices, so that the deadline holds however
        // the daemon behaves.
        if (avahi_simple_poll_iterate(poll.get(), int(qMin<qint64>(left, 100))) != 0)
            break;
    }
    return browse.result;
}
