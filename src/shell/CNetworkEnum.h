#pragma once

#include "platform/ServiceDiscovery.h"

#include <QList>
#include <QString>
#include <array>
#include <memory>

class Environment;

// One resource of the network as the walk found it.
struct NetResource {
    quint32 scope = 2; // the whole network
    quint32 type = 0;  // 0 any, 1 disk, 2 print
    quint32 displayType = 0;
    quint32 usage = 0; // 2: a container of other resources
    QString localName, remoteName, comment, provider;
};

// The walk of the network for print servers: the print services that DNS-SD
// announces (IPP and IPP over TLS), sorted into one list of names per display type.
// Each domain and each host is one entry however many services it announces; a
// server's remote name is "\\" + host, with ":port" when it does not listen on 631.
// The lists only ever grow, so each search uses a new object.
class CNetworkEnum {
public:
    enum DisplayType : quint32 {
        Generic = 0,
        Domain = 1,
        Server = 2,
        Share = 3,
        File = 4,
        Group = 5,
        Network = 6,
        Root = 7,
        ShareAdmin = 8,
        Directory = 9,
    };

    // Walks with this computer's discovery service unless given another browser.
    explicit CNetworkEnum(const Environment& environment,
                          std::shared_ptr<ServiceBrowser> browser = nullptr);

    void setResourceType(quint32 resourceType) { resourceType_ = resourceType; }

    // Walks the network (at most walkTimeoutMs), fills the table from its start and
    // appends to the lists.
    void Reset(int walkTimeoutMs = kWalkTimeoutMs) { load(walk(*browser_, walkTimeoutMs)); }
    // The walk alone: what the browser finds of the print services. It touches
    // nothing else, so it may run off the window's thread.
    static DiscoveryResult walk(ServiceBrowser& browser, int walkTimeoutMs = kWalkTimeoutMs);
    // Fills the table from a walk's result and appends to the lists.
    void load(const DiscoveryResult& found);
    // Whether the last walk could ask the network at all.
    bool discoveryAvailable() const { return available_; }

    QString getLocalUserName() const { return userName_; }

    QString GetDomainList() const { return lists_[Domain]; }
    QString GetServerList() const { return lists_[Server]; }
    // The names of the printers the servers announce, each followed by "|".
    QString GetPrinterList() const { return printers_; }

    // Long enough for the daemon to answer from its cache and for hosts on the
    // local network to reply; short enough that a search never stalls the window.
    static constexpr int kWalkTimeoutMs = 3000;

private:
    const Environment& environment_;
    std::shared_ptr<ServiceBrowser> browser_;
    quint32 resourceType_ = 1;
    QList<NetResource> table_;
    std::array<QString, 10> lists_;
    QString printers_;
    QString userName_;
    bool available_ = false;
};
