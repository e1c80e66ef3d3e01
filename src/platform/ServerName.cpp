#include "platform/ServerName.h"

#include <QHostAddress>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <thread>

#include <netdb.h>
#include <sys/socket.h>

namespace {

// A reverse lookup that does not answer in this time is given up: the report is built
// while the window waits.
constexpr auto kLookupLimit = std::chrono::seconds(3);

// The host name of an address through the system's resolver; empty when it has none.
QString reverseLookup(const QHostAddress& address) {
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        auto* in = reinterpret_cast<sockaddr_in*>(&storage);
        in->sin_family = AF_INET;
        in->sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof(sockaddr_in);
    } else {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
        in6->sin6_family = AF_INET6;
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, &bytes, sizeof bytes);
        length = sizeof(sockaddr_in6);
    }
    char host[NI_MAXHOST] = {};
    if (::getnameinfo(reinterpret_cast<sockaddr*>(&storage), length, host, sizeof host, nullptr, 0,
                      NI_NAMEREQD) != 0)
        return QString();
    return QString::fromLocal8Bit(host);
}

} // namespace

QString QueryServerName(const QString& server) {
    QString host = server;
    while (host.startsWith(QLatin1Char('\\')))
        host.remove(0, 1);
    const QHostAddress address(host);
    if (address.isNull())
        return host;
    // The resolver cannot be interrupted: a slow lookup finishes on its own thread,
    // which the promise keeps alive, while the report goes on without it.
    auto answer = std::make_shared<std::promise<QString>>();
    std::future<QString> result = answer->get_future();
    std::thread([answer, address] { answer->set_value(reverseLookup(address)); }).detach();
    if (result.wait_for(kLookupLimit) != std::future_status::ready)
        return host;
    const QString name = result.get();
    return name.isEmpty() ? host : name;
}
