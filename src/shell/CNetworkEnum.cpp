#include "shell/CNetworkEnum.h"

#include "platform/Environment.h"

#include <QSet>

namespace {

constexpr quint32 kPrint = 2;
constexpr quint32 kContainer = 2;
constexpr int kIppPort = 631;

const char* separatorOf(quint32 displayType) {
    switch (displayType) {
    case CNetworkEnum::Domain:
        return ", ";
    case CNetworkEnum::Server:
        return ",";
    default:
        return "|";
    }
}

} // namespace

CNetworkEnum::CNetworkEnum(const Environment& environment, std::shared_ptr<ServiceBrowser> browser)
    : environment_(environment), browser_(std::move(browser)) {
    if (!browser_)
        browser_ = std::make_shared<AvahiServiceBrowser>();
}

DiscoveryResult CNetworkEnum::walk(ServiceBrowser& browser, int walkTimeoutMs) {
    return browser.browse({QStringLiteral("_ipp._tcp"), QStringLiteral("_ipps._tcp")},
                          walkTimeoutMs);
}

void CNetworkEnum::load(const DiscoveryResult& found) {
    available_ = found.available;

    // Breadth first, as a walk of the network reads: the domains, then their
    // servers, then what the servers offer.
    table_.clear();
    QSet<QString> seen;
    auto add = [this, &seen](quint32 displayType, quint32 usage, const QString& remote,
                             const QString& comment) {
        if (seen.contains(remote.toLower()))
            return;
        seen.insert(remote.toLower());
        table_.append(
            {2, kPrint, displayType, usage, QString(), remote, comment, QStringLiteral("DNS-SD")});
    };
    QList<QString> servers;
    for (const DiscoveredService& service : found.services)
        add(Domain, kContainer, service.domain, QString());
    for (const DiscoveredService& service : found.services) {
        QString host = service.host;
        if (host.endsWith(QLatin1Char('.')))
            host.chop(1);
        if (service.port != kIppPort && service.port > 0)
            host += QLatin1Char(':') + QString::number(service.port);
        servers.append(host);
        add(Server, kContainer, QStringLiteral("\\\\") + host, service.name);
    }
    for (int i = 0; i < found.services.size(); ++i)
        add(Share, 0,
            QStringLiteral("\\\\") + servers[i] + QLatin1Char('\\') + found.services[i].name,
            found.services[i].type);

    userName_ = environment_.userName();
    for (const NetResource& resource : table_) {
        if (resource.displayType > Directory)
            continue;
        lists_[resource.displayType] += resource.remoteName;
        lists_[resource.displayType] += QLatin1String(separatorOf(resource.displayType));
        if (resource.displayType == Share)
            printers_ += resource.remoteName.section(QLatin1Char('\\'), 3) + QLatin1Char('|');
    }
}
