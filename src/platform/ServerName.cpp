#include "platform/ServerName.h"

#include <QHostAddress>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include <netdb.h>
#include <sys/socket.h>

namespace {

// A reverse look-up that does not answer in this time is given up: the host shows
// as given.
constexpr auto kLookupLimit = std::chrono::seconds(3);
// How often the window's thread looks whether the answers are in.
constexpr int kAnswerCheckMs = 20;

} // namespace

QString reverseLookup(const QString& text) {
    const QHostAddress address(text);
    if (address.isNull())
        return QString();
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

namespace {

// What the look-up threads found, shared with the window's thread. A thread whose
// look-up outlives the limit still writes here, to no one's harm.
struct Lookups {
    std::mutex mutex;
    QHash<QString, QString> names; // by server text; a host as given until it resolved
    int waiting = 0;
};

} // namespace

QString serverHost(const QString& server) {
    QString host = server;
    while (host.startsWith(QLatin1Char('\\')))
        host.remove(0, 1);
    return host;
}

void queryServerNames(const QStringList& servers, NameLookup lookUp, QObject* context,
                      std::function<void(const QHash<QString, QString>&)> done) {
    if (!lookUp)
        lookUp = reverseLookup;
    auto lookups = std::make_shared<Lookups>();
    for (const QString& server : servers) {
        const QString host = serverHost(server);
        lookups->names.insert(server, host);
        if (QHostAddress(host).isNull())
            continue;
        ++lookups->waiting;
        // The resolver cannot be interrupted: a slow look-up finishes on its own
        // thread, while the window goes on without it.
        std::thread([lookups, lookUp, server, host] {
            const QString name = lookUp(host);
            const std::lock_guard<std::mutex> lock(lookups->mutex);
            if (!name.isEmpty())
                lookups->names.insert(server, name);
            --lookups->waiting;
        }).detach();
    }
    if (lookups->waiting == 0) {
        done(lookups->names);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLookupLimit;
    auto* check = new QTimer(context);
    QObject::connect(check, &QTimer::timeout, context, [check, lookups, deadline, done] {
        QHash<QString, QString> names;
        {
            const std::lock_guard<std::mutex> lock(lookups->mutex);
            if (lookups->waiting > 0 && std::chrono::steady_clock::now() < deadline)
                return;
            names = lookups->names;
        }
        check->stop();
        check->deleteLater();
        done(names);
    });
    check->start(kAnswerCheckMs);
}
