#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One print service announced on the network through DNS-SD.
struct DiscoveredService {
    QString name;   // the service's instance name, as a person reads it ("Laser on printhost")
    QString type;   // "_ipp._tcp" or "_ipps._tcp"
    QString domain; // "local" for the link-local network
    QString host;   // the host that offers it ("printhost.local")
    int port = 0;
};

// What one browse of the network found.
struct DiscoveryResult {
    // False when no discovery service runs on this computer: nothing could be asked.
    bool available = false;
    QList<DiscoveredService> services; // in the order they were resolved
};

// Browses the network for announced services. One call asks once and returns when
// every service seen has been resolved or the time is up, whichever comes first.
class ServiceBrowser {
public:
    virtual ~ServiceBrowser() = default;
    virtual DiscoveryResult browse(const QStringList& types, int timeoutMs) = 0;
};

// The browser of this computer's Avahi daemon (over the system message bus).
class AvahiServiceBrowser : public ServiceBrowser {
public:
    DiscoveryResult browse(const QStringList& types, int timeoutMs) override;
};
