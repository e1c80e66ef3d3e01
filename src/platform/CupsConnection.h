#pragma once

#include "platform/PrintSpooler.h"

#include <QString>
#include <chrono>
#include <cups/cups.h>
#include <memory>

// Where the server box's text points: "host" or "host:port" (631 when absent),
// blanks around it ignored, an IPv6 address in brackets ("[::1]:8631") or bare.
// Empty text means the local computer, "localhost".
struct CupsServerAddress {
    QString host; // a name or an address, without brackets
    int port = 631;
    bool valid = false; // false without a host, or with a port that is no number from 1 to 65535

    static CupsServerAddress parse(const QString& serverText);
};

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

// The outcome of one request: the result in the program's terms, the server's
// answer when it gave one (also for a refusal), and its status message.
struct CupsReply {
    SpoolerResult result = SpoolerResult::Unreachable;
    IppPtr response;
    QString message;
};

// Maps an HTTP status and an IPP status to the program's result. A transport
// failure (no answer, broken connection) is Unreachable whatever IPP status
// libcups made up for it.
SpoolerResult spoolerResultOf(http_status_t httpStatus, ipp_status_t ippStatus);

// The one connection to one print server that every IPP call goes through.
// Opening is bounded by the connect timeout. A request gives up at the first
// wait for the server that reaches past the request timeout, counted from the
// moment it is sent: a server that is silent from the start, or falls silent
// halfway, is left after requestMs; an answer still arriving is not cut off.
// After any failure the connection is closed and the next request opens a
// fresh one. Not thread-safe: one connection belongs to one thread.
class CupsConnection {
public:
    // userName is sent as requesting-user-name; empty means the login name, as
    // CUPS's own tools send it.
    CupsConnection(const QString& serverText, const SpoolerTimeouts& timeouts,
                   const QString& userName = QString());
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    const CupsServerAddress& address() const { return address_; }
    const QString& userName() const { return userName_; }

    // A request for `op` carrying the attributes every request needs.
    IppPtr newRequest(ipp_op_t op) const;

    // Sends the request to `resource` ("/" for queries, "/jobs/" for job
    // operations, "/admin/" for printer operations) and waits for the answer.
    CupsReply send(IppPtr request, const char* resource);

    bool isOpen() const { return http_ != nullptr; }
    void close();

private:
    bool open();
    bool stillConnected() const;
    static int keepWaiting(http_t* http, void* connection);

    CupsServerAddress address_;
    SpoolerTimeouts timeouts_;
    QString userName_;
    http_t* http_ = nullptr;
    std::chrono::steady_clock::time_point deadline_;
};
