#include "support/LoopbackPeers.h"

#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// Connects without waiting; true when the connection completed within timeoutMs.
bool connectsWithin(int fd, int port, int timeoutMs) {
    const sockaddr_in address = loopback(port);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return true;
    pollfd entry{fd, POLLOUT, 0};
    int error = 0;
    socklen_t length = sizeof error;
    return errno == EINPROGRESS && poll(&entry, 1, timeoutMs) > 0 &&
           getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

} // namespace

LoopbackPeer::LoopbackPeer(int backlog) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        (backlog >= 0 && listen(fd_, backlog) != 0)) {
        ADD_FAILURE() << "cannot bind or listen on a loopback socket";
        return;
    }
    port_ = ntohs(address.sin_port);
}

LoopbackPeer::~LoopbackPeer() {
    for (const int fd : others_)
        ::close(fd);
    if (fd_ >= 0)
        ::close(fd_);
}

int SilentLoopbackServer::connectionsSoFar() {
    // The kernel queues every completed connection, including one the client has
    // closed since, until it is accepted.
    pollfd entry{fd_, POLLIN, 0};
    while (fd_ >= 0 && poll(&entry, 1, 0) > 0) {
        const int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            break;
        others_.push_back(client);
    }
    return static_cast<int>(others_.size());
}

FullLoopbackServer::FullLoopbackServer() : LoopbackPeer(0) {
    // Fill the queue until a connection no longer completes.
    for (int i = 0; fd_ >= 0 && i < 16; ++i) {
        others_.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!connectsWithin(others_.back(), port_, 200))
            return;
    }
    ADD_FAILURE() << "the loopback server's queue of connections never filled";
}
