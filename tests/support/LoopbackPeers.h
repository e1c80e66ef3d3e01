#pragma once

#include <vector>

// Stand-ins for print servers that fail in the ways a real network fails, all on
// the loopback interface, each on a port the kernel picks.
class LoopbackPeer {
public:
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;
    int port() const { return port_; }

protected:
    // Binds a socket to 127.0.0.1; listens with this backlog unless it is negative.
    explicit LoopbackPeer(int backlog);
    ~LoopbackPeer();

    int fd_ = -1;
    int port_ = 0;
    std::vector<int> others_; // further sockets, closed with the peer
};

// A port nobody listens on: bound (so no one else takes it meanwhile) but not
// listening, so a connection is refused.
class ClosedLoopbackPort : public LoopbackPeer {
public:
    ClosedLoopbackPort() : LoopbackPeer(-1) {}
};

// A server that accepts connections (the kernel completes them) and never says a word.
class SilentLoopbackServer : public LoopbackPeer {
public:
    SilentLoopbackServer() : LoopbackPeer(16) {}
    // How many connections were made to it so far, each one a client left
    // waiting for an answer; those already given up on count too. They are
    // kept open, so that nobody is told the server went.
    int connectionsSoFar();
};

// A server whose queue of connections waiting to be accepted is full, so the
// kernel drops every further connection attempt: connecting never completes.
class FullLoopbackServer : public LoopbackPeer {
public:
    FullLoopbackServer();
};
