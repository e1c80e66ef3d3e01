#include "platform/CupsConnection.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace {

// How long libcups waits in one stretch before asking keepWaiting whether to go
// on. It is a slice of the request timeout, so a request ends at most this much
// after its deadline however the waiting is split between writes and reads.
constexpr int waitSliceMs = 200;

// Until the program can ask the operator, a server that wants a password gets
// none: the request fails as access denied. libcups' own callback would read the
// terminal and hang a program started from one.
const char* noPassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}

bool parsePort(const QString& text, int& port) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return false;
    port = value;
    return true;
}

} // namespace

CupsServerAddress CupsServerAddress::parse(const QString& serverText) {
    CupsServerAddress address;
    const QString text = serverText.trimmed();
    if (text.isEmpty()) {
        address.host = QStringLiteral("localhost");
        address.valid = true;
        return address;
    }
    QString portText;
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return address;
        address.host = text.mid(1, close - 1).trimmed();
        const QString rest = text.mid(close + 1).trimmed();
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return address;
            portText = rest.mid(1);
        }
    } else if (text.count(QLatin1Char(':')) == 1) {
        const int colon = text.indexOf(QLatin1Char(':'));
        address.host = text.left(colon).trimmed();
        portText = text.mid(colon + 1);
    } else {
        address.host = text; // a name, or an IPv6 address without a port
    }
    if (address.host.isEmpty())
        return address;
    if (!portText.isNull() && !parsePort(portText, address.port))
        return address;
    address.valid = true;
    return address;
}

SpoolerResult spoolerResultOf(http_status_t httpStatus, ipp_status_t ippStatus) {
    switch (httpStatus) {
    case HTTP_STATUS_ERROR:
    case HTTP_STATUS_SERVICE_UNAVAILABLE: // also what libcups reports when it cannot reconnect
        return SpoolerResult::Unreachable;
    case HTTP_STATUS_UNAUTHORIZED:
    case HTTP_STATUS_FORBIDDEN:
    case HTTP_STATUS_CUPS_AUTHORIZATION_CANCELED:
        return SpoolerResult::AccessDenied;
    case HTTP_STATUS_NOT_FOUND:
        return SpoolerResult::NotFound;
    default:
        if (httpStatus >= HTTP_STATUS_BAD_REQUEST)
            return SpoolerResult::Failed;
        break;
    }
    // Every successful-ok-* status, such as successful-ok-events-complete, is a success.
    if (ippStatus < IPP_STATUS_ERROR_BAD_REQUEST)
        return SpoolerResult::Success;
    switch (ippStatus) {
    case IPP_STATUS_ERROR_NOT_FOUND:
        return SpoolerResult::NotFound;
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
        return SpoolerResult::AccessDenied;
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
        return SpoolerResult::Unreachable;
    default:
        return SpoolerResult::Failed;
    }
}

CupsConnection::CupsConnection(const QString& serverText, const SpoolerTimeouts& timeouts,
                               const QString& userName)
    : address_(CupsServerAddress::parse(serverText)), timeouts_(timeouts),
      userName_(userName.isEmpty() ? QString::fromUtf8(cupsUser()) : userName) {}

CupsConnection::~CupsConnection() {
    close();
}

void CupsConnection::close() {
    if (http_) {
        httpClose(http_);
        http_ = nullptr;
    }
}

bool CupsConnection::open() {
    if (!address_.valid)
        return false;
    // httpConnect2 waits at most connectMs for the TCP connection itself; libcups'
    // default connection would wait 30 s.
    http_ = httpConnect2(address_.host.toUtf8().constData(), address_.port, nullptr, AF_UNSPEC,
                         HTTP_ENCRYPTION_IF_REQUESTED, 1, timeouts_.connectMs, nullptr);
    if (!http_)
        return false;
    const int sliceMs = std::max(1, std::min(timeouts_.requestMs, waitSliceMs));
    httpSetTimeout(http_, sliceMs / 1000.0, &CupsConnection::keepWaiting, this);
    return true;
}

// A kept connection the server has closed in the meantime (restart, idle
// timeout) would make libcups reconnect by itself, with a 30 s connect timeout
// of its own; noticing it here lets the fresh connection keep ours.
bool CupsConnection::stillConnected() const {
    char byte;
    const ssize_t n = recv(httpGetFd(http_), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0)
        return false; // closed by the server
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK;
    return false; // data nobody asked for: answers no longer match requests
}

int CupsConnection::keepWaiting(http_t*, void* connection) {
    const auto* self = static_cast<const CupsConnection*>(connection);
    return std::chrono::steady_clock::now() < self->deadline_ ? 1 : 0;
}

IppPtr CupsConnection::newRequest(ipp_op_t op) const {
    IppPtr request(ippNewRequest(op));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 userName_.toUtf8().constData());
    return request;
}

CupsReply CupsConnection::send(IppPtr request, const char* resource) {
    CupsReply reply;
    // The callback belongs to the calling thread; set it on every request so a
    // connection used from a worker thread never falls back to the terminal.
    cupsSetPasswordCB2(noPassword, nullptr);

    if (http_ &&
        (!stillConnected() || qstricmp(httpGetField(http_, HTTP_FIELD_CONNECTION), "close") == 0))
        close();
    if (!http_ && !open()) {
        reply.result = SpoolerResult::Unreachable;
        reply.message = address_.valid
                            ? QStringLiteral("Cannot connect to %1 port %2: %3")
                                  .arg(address_.host)
                                  .arg(address_.port)
                                  .arg(QString::fromLocal8Bit(std::strerror(errno)))
                            : QStringLiteral("Not a server name: give host or host:port, "
                                             "the port from 1 to 65535");
        return reply;
    }

    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeouts_.requestMs);
    // cupsDoRequest frees the request.
    reply.response.reset(cupsDoRequest(http_, request.release(), resource));
    const http_status_t httpStatus = httpGetStatus(http_);
    const ipp_status_t ippStatus =
        reply.response ? ippGetStatusCode(reply.response.get()) : cupsLastError();
    reply.result = spoolerResultOf(reply.response ? HTTP_STATUS_OK : httpStatus, ippStatus);
    reply.message = QString::fromUtf8(cupsLastErrorString());
    if (!reply.response && httpStatus == HTTP_STATUS_ERROR) {
        // libcups reports a silent server as an internal error with no text.
        const int error = httpError(http_);
        reply.message =
            QStringLiteral("No answer from %1 port %2%3")
                .arg(address_.host)
                .arg(address_.port)
                .arg(error ? QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error))
                           : QString());
    }

    // After a failure the connection's state is unknown (half a request may be
    // in flight): start the next request on a fresh one.
    if (!reply.response || httpStatus == HTTP_STATUS_ERROR)
        close();
    return reply;
}
