#pragma once

#include "platform/PrintSpooler.h"
#include "platform/SpoolerCredentials.h"

#include <QString>
#include <chrono>
#include <cups/cups.h>
#include <memory>
#include <optional>

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
// Opening is bounded by the connect timeout. A request gives up when the server
// stays silent for the request timeout, from the start or halfway through an
// answer; an answer that keeps arriving is not cut off.
// After any failure the connection is closed and the next request opens a
// fresh one. Not thread-safe: one connection belongs to one thread.
//
// Who is asking: requests carry the operator's identity as requesting-user-name,
// which is the login name (cupsUser(), so CUPS_USER overrides it as it does for
// CUPS's own tools) until the operator has given a user name to this server;
// from then on it is that name, the one the server knows the operator by. Never
// anyone else's: the server trusts the name unchecked, and the program must not
// borrow rights the operator does not have.
//
// When the server asks for a password, the prompt is called (if there is one):
// once per connection, that is per server and run, and again only when the
// server refuses what the operator gave, at most three times for one request.
// A cancelled prompt is remembered: later demands for a password are refused
// at once, without asking again. Without a prompt every such request is refused
// as AccessDenied.
class CupsConnection {
public:
    // userName replaces the login name; empty means the login name.
    CupsConnection(const QString& serverText, const SpoolerTimeouts& timeouts,
                   const QString& userName = QString(),
                   CredentialsPrompt prompt = CredentialsPrompt());
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    const CupsServerAddress& address() const { return address_; }
    const QString& serverText() const { return serverText_; }
    const QString& userName() const { return userName_; }

    // A request for `op` carrying the attributes every request needs.
    IppPtr newRequest(ipp_op_t op) const;

    // Sends the request to `resource` ("/" for queries, "/jobs/" for job
    // operations, "/admin/" for printer operations) and waits for the answer.
    CupsReply send(IppPtr request, const char* resource);

    // Sends the request with the file at `path` as its document (Print-Job).
    CupsReply sendWithDocument(IppPtr request, const char* resource, const QString& path);

    // Sends the request with `document` as its document (a driver file, ...).
    CupsReply sendWithDocument(IppPtr request, const char* resource, const QByteArray& document);

    // Reads the file the server's web interface gives at `resource` ("/printers/NAME.ppd")
    // into `content`; NotFound when it has none.
    CupsReply receiveFile(const char* resource, QByteArray* content);

    // Sends the request and reads the document the server returns after its
    // answer (CUPS-Get-Document) into `document`.
    CupsReply receiveDocument(IppPtr request, const char* resource, QByteArray* document);

    bool isOpen() const { return http_ != nullptr; }
    void close();

    // How many requests this connection has sent, for tests that prove a call
    // costs the requests it should.
    int requestsSent() const { return requestsSent_; }

    // What the operator gave this server, once a password was asked for and given.
    const std::optional<SpoolerCredentials>& credentials() const { return credentials_; }
    // Takes what the operator gave another connection to this server, so that this
    // one asks nobody for it.
    void useCredentials(const SpoolerCredentials& given);

private:
    // Without a request, fetches `resource` by HTTP GET into documentOut.
    CupsReply exchange(IppPtr request, const char* resource, int documentIn, int documentOut);
    // What receiveDocument and receiveFile share: a memory buffer for what comes back.
    CupsReply receiveInMemory(IppPtr request, const char* resource, QByteArray* content);
    bool open();
    bool stillConnected() const;
    void markSilentIfTimedOut(std::chrono::steady_clock::time_point started, int limitMs);
    static int keepWaiting(http_t* http, void* connection);
    static const char* passwordFor(const char* prompt, http_t* http, const char* method,
                                   const char* resource, void* connection);
    const char* password();

    CupsServerAddress address_;
    QString serverText_;
    SpoolerTimeouts timeouts_;
    QString userName_;
    http_t* http_ = nullptr;
    std::chrono::steady_clock::time_point deadline_;
    // A server that let a request run out of time is not asked again until this
    // moment, so one action never waits for it more than once.
    std::chrono::steady_clock::time_point silentUntil_;
    bool busy_ = false;
    int requestsSent_ = 0;

    CredentialsPrompt prompt_;
    std::optional<SpoolerCredentials> credentials_; // what the operator gave this server
    bool operatorCancelled_ = false;
    int passwordCallsThisRequest_ = 0;
    int promptsThisRequest_ = 0;
    QString queueOfRequest_;  // the queue the request being sent is for
    QByteArray passwordText_; // kept alive for libcups until the request ends
};
