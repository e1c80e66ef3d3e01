#pragma once

#include <QByteArray>
#include <atomic>
#include <thread>
#include <vector>

// Stand-ins for print servers that fail in the ways a real network fails, all on
// the loopback interface.

// A port nobody listens on: bound (so no one else takes it meanwhile) but not
// listening, so a connection is refused.
class ClosedLoopbackPort {
public:
    ClosedLoopbackPort();
    ~ClosedLoopbackPort();
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A server that accepts connections (the kernel completes them) and never says a word.
class SilentLoopbackServer {
public:
    SilentLoopbackServer();
    ~SilentLoopbackServer();
    int port() const { return port_; }
    // How many connections were made to it so far, each one a client left
    // waiting for an answer; those already given up on count too.
    int connectionsSoFar();

private:
    int fd_ = -1;
    int port_ = 0;
    std::vector<int> taken_; // kept open, so that nobody is told the server went
};

// A server whose queue of connections waiting to be accepted is full, so the
// kernel drops every further connection attempt: connecting never completes.
class FullLoopbackServer {
public:
    FullLoopbackServer();
    ~FullLoopbackServer();
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
    std::vector<int> waiting_; // the connections that fill the queue
};

// A server that reads each request and answers it with the same raw HTTP
// response, on a thread of its own.
class CannedHttpServer {
public:
    explicit CannedHttpServer(QByteArray response);
    ~CannedHttpServer();
    int port() const { return port_; }
    int requestsAnswered() const { return answered_; }

private:
    void serve();
    void answer(int client);

    QByteArray response_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> answered_{0};
    std::thread thread_;
};
