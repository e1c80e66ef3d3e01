#include "support/LoopbackPeers.h"

#include <QList>

#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A TCP socket bound to 127.0.0.1 on a port the kernel picks.
int boundLoopbackSocket(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ADD_FAILURE() << "cannot bind a loopback socket";
        return fd;
    }
    port = ntohs(address.sin_port);
    return fd;
}

qsizetype contentLength(const QByteArray& head) {
    for (const QByteArray& line : head.split('\n')) {
        const QByteArray field = line.trimmed();
        if (field.toLower().startsWith("content-length:"))
            return field.mid(15).trimmed().toLongLong();
    }
    return 0;
}

bool readable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, timeoutMs) > 0;
}

} // namespace

ClosedLoopbackPort::ClosedLoopbackPort() {
    fd_ = boundLoopbackSocket(port_);
}

ClosedLoopbackPort::~ClosedLoopbackPort() {
    if (fd_ >= 0)
        ::close(fd_);
}

SilentLoopbackServer::SilentLoopbackServer() {
    fd_ = boundLoopbackSocket(port_);
    if (fd_ >= 0 && listen(fd_, 16) != 0)
        ADD_FAILURE() << "cannot listen on a loopback socket";
}

SilentLoopbackServer::~SilentLoopbackServer() {
    for (const int fd : taken_)
        ::close(fd);
    if (fd_ >= 0)
        ::close(fd_);
}

int SilentLoopbackServer::connectionsSoFar() {
    // The kernel queues every completed connection, including one the client has
    // closed since, until it is accepted.
    while (fd_ >= 0 && readable(fd_, 0)) {
        const int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            break;
        taken_.push_back(client);
    }
    return static_cast<int>(taken_.size());
}

// Connects without waiting; true when the connection completed within timeoutMs.
bool connectsWithin(int fd, int port, int timeoutMs) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return true;
    pollfd entry{fd, POLLOUT, 0};
    int error = 0;
    socklen_t length = sizeof error;
    return errno == EINPROGRESS && poll(&entry, 1, timeoutMs) > 0 &&
           getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

FullLoopbackServer::FullLoopbackServer() {
    fd_ = boundLoopbackSocket(port_);
    if (fd_ < 0 || listen(fd_, 0) != 0) {
        ADD_FAILURE() << "cannot listen on a loopback socket";
        return;
    }
    // Fill the queue until a connection no longer completes.
    for (int i = 0; i < 16; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        waiting_.push_back(fd);
        if (!connectsWithin(fd, port_, 200))
            return;
    }
    ADD_FAILURE() << "the loopback server's queue of connections never filled";
}

FullLoopbackServer::~FullLoopbackServer() {
    for (const int fd : waiting_)
        ::close(fd);
    if (fd_ >= 0)
        ::close(fd_);
}

CannedHttpServer::CannedHttpServer(QByteArray response) : response_(std::move(response)) {
    fd_ = boundLoopbackSocket(port_);
    if (fd_ >= 0 && listen(fd_, 16) != 0)
        ADD_FAILURE() << "cannot listen on a loopback socket";
    thread_ = std::thread([this] { serve(); });
}

CannedHttpServer::~CannedHttpServer() {
    stopping_ = true;
    thread_.join();
    if (fd_ >= 0)
        ::close(fd_);
}

void CannedHttpServer::serve() {
    while (!stopping_) {
        if (!readable(fd_, 50))
            continue;
        const int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        answer(client);
        ::close(client);
    }
}

// Reads the request head and its body (Content-Length), answers, and keeps the
// connection until the client closes it, so the answer is never cut by a reset.
void CannedHttpServer::answer(int client) {
    QByteArray request;
    char buffer[4096];
    qsizetype needed = -1;
    while (!stopping_ && (needed < 0 || request.size() < needed)) {
        if (!readable(client, 50))
            continue;
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, n);
        const qsizetype headEnd = request.indexOf("\r\n\r\n");
        if (needed < 0 && headEnd >= 0) {
            needed = headEnd + 4 + contentLength(request.left(headEnd));
        }
    }
    // Counted before sending: the client may act on the answer before this thread runs on.
    ++answered_;
    send(client, response_.constData(), response_.size(), MSG_NOSIGNAL);
    for (int idle = 0; !stopping_ && idle < 40; ++idle) {
        if (readable(client, 50) && recv(client, buffer, sizeof buffer, 0) <= 0)
            return;
    }
}
