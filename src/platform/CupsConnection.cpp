#include "platform/CupsConnection.h"

#include "platform/GuardedSpooler.h"

#include <QByteArray>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// libcups' IPP reader gives up after one wait without asking keepWaiting, and a
// large answer on a busy server can pause for a fraction of a second between two
// reads. So libcups waits the whole request timeout in one stretch; keepWaiting
// still ends the waits it is asked about at the request's deadline.

// Asking again and again for a password the server keeps refusing would never
// end; after this many answers to one request it is refused.
constexpr int maxPromptsPerRequest = 3;

// Between requests the thread's callback refuses: it must not point at a
// connection that may be gone by the time some other code reaches libcups.
const char* refusePassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}

// A file descriptor closed when it goes out of scope.
struct FileDescriptor {
    int fd = -1;
    explicit FileDescriptor(int descriptor) : fd(descriptor) {}
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
};

// The whole content of a file descriptor, read from its start.
bool readAll(int fd, QByteArray* content) {
    struct stat status {};
    if (fstat(fd, &status) != 0 || lseek(fd, 0, SEEK_SET) != 0)
        return false;
    content->resize(static_cast<qsizetype>(status.st_size));
    qsizetype done = 0;
    while (done < content->size()) {
        const ssize_t n = ::read(fd, content->data() + done, content->size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
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
                               const QString& userName, CredentialsPrompt prompt)
    : address_(CupsServerAddress::parse(serverText)), serverText_(serverText), timeouts_(timeouts),
      userName_(userName.isEmpty() ? QString::fromUtf8(cupsUser()) : userName),
      prompt_(std::move(prompt)) {}

CupsConnection::~CupsConnection() {
    close();
}

void CupsConnection::useCredentials(const SpoolerCredentials& given) {
    credentials_ = given;
    if (!given.user.isEmpty())
        userName_ = given.user;
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
    httpSetTimeout(http_, std::max(1, timeouts_.requestMs) / 1000.0, &CupsConnection::keepWaiting,
                   this);
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
    return exchange(std::move(request), resource, -1, -1);
}

CupsReply CupsConnection::sendWithDocument(IppPtr request, const char* resource,
                                           const QString& path) {
    const FileDescriptor document(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (document.fd < 0) {
        CupsReply reply;
        reply.result = SpoolerResult::Failed;
        reply.message = QStringLiteral("Cannot read %1: %2")
                            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return reply;
    }
    return exchange(std::move(request), resource, document.fd, -1);
}

CupsReply CupsConnection::sendWithDocument(IppPtr request, const char* resource,
                                           const QByteArray& document) {
    const FileDescriptor buffer(memfd_create("spoolwright-document", MFD_CLOEXEC));
    qsizetype done = 0;
    while (buffer.fd >= 0 && done < document.size()) {
        const ssize_t n = ::write(buffer.fd, document.constData() + done, document.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    if (buffer.fd < 0 || done < document.size() || lseek(buffer.fd, 0, SEEK_SET) != 0) {
        CupsReply reply;
        reply.result = SpoolerResult::Failed;
        reply.message = QString::fromLocal8Bit(std::strerror(errno));
        return reply;
    }
    return exchange(std::move(request), resource, buffer.fd, -1);
}

CupsReply CupsConnection::receiveDocument(IppPtr request, const char* resource,
                                          QByteArray* document) {
    return receiveInMemory(std::move(request), resource, document);
}

CupsReply CupsConnection::receiveFile(const char* resource, QByteArray* content) {
    return receiveInMemory(nullptr, resource, content);
}

CupsReply CupsConnection::receiveInMemory(IppPtr request, const char* resource,
                                          QByteArray* content) {
    content->clear();
    // The document goes to memory, never to a file another user might read.
    const FileDescriptor buffer(memfd_create("spoolwright-document", MFD_CLOEXEC));
    if (buffer.fd < 0) {
        CupsReply reply;
        reply.result = SpoolerResult::Failed;
        reply.message = QString::fromLocal8Bit(std::strerror(errno));
        return reply;
    }
    CupsReply reply = exchange(std::move(request), resource, -1, buffer.fd);
    if (reply.result == SpoolerResult::Success && !readAll(buffer.fd, content)) {
        content->clear();
        reply.result = SpoolerResult::Failed;
        reply.message = QStringLiteral("The document could not be kept in memory");
    }
    return reply;
}

namespace {

// The queue a request is for, from its printer-uri ("ipp://host/printers/NAME").
QString queueOf(ipp_t* request) {
    ipp_attribute_t* uri = ippFindAttribute(request, "printer-uri", IPP_TAG_URI);
    const QString text = uri ? QString::fromUtf8(ippGetString(uri, 0, nullptr)) : QString();
    const int at = text.indexOf(QStringLiteral("/printers/"));
    return at < 0 ? QString() : QUrl::fromPercentEncoding(text.mid(at + 10).toUtf8());
}

} // namespace

CupsReply CupsConnection::exchange(IppPtr request, const char* resource, int documentIn,
                                   int documentOut) {
    CupsReply reply;
    // A password dialog runs an event loop, in which a timer may start another
    // call on this connection while a request is half sent: that call is
    // refused rather than let two requests share one connection.
    if (busy_) {
        reply.result = SpoolerResult::Failed;
        reply.message = QStringLiteral("Another request to %1 is still waiting").arg(serverText_);
        return reply;
    }
    const auto started = std::chrono::steady_clock::now();
    if (started < silentUntil_) {
        reply.result = SpoolerResult::Unreachable;
        reply.message = QStringLiteral("No answer from %1 a moment ago").arg(serverText_);
        return reply;
    }
    busy_ = true;
    struct Idle {
        bool& busy;
        ~Idle() {
            busy = false;
            cupsSetPasswordCB2(refusePassword, nullptr);
        }
    } idle{busy_};

    // The callback belongs to the calling thread; set it on every request so a
    // connection used from a worker thread never falls back to libcups' own,
    // which reads the terminal and would hang a program started from one.
    cupsSetPasswordCB2(&CupsConnection::passwordFor, this);
    passwordCallsThisRequest_ = 0;
    promptsThisRequest_ = 0;
    queueOfRequest_ = request ? queueOf(request.get()) : QString();
    const QByteArray threadUser = cupsUser();

    if (http_ &&
        (!stillConnected() || qstricmp(httpGetField(http_, HTTP_FIELD_CONNECTION), "close") == 0))
        close();
    if (!http_ && !open()) {
        markSilentIfTimedOut(started, timeouts_.connectMs);
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

    ++requestsSent_;
    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeouts_.requestMs);
    http_status_t httpStatus = HTTP_STATUS_OK;
    const bool ipp = request != nullptr;
    if (ipp) {
        // cupsDoIORequest frees the request; it sends the document from documentIn
        // and writes the one that follows the answer to documentOut.
        reply.response.reset(
            cupsDoIORequest(http_, request.release(), resource, documentIn, documentOut));
        httpStatus = httpGetStatus(http_);
        const ipp_status_t ippStatus =
            reply.response ? ippGetStatusCode(reply.response.get()) : cupsLastError();
        reply.result = spoolerResultOf(reply.response ? HTTP_STATUS_OK : httpStatus, ippStatus);
        reply.message = QString::fromUtf8(cupsLastErrorString());
    } else {
        httpStatus = cupsGetFd(http_, resource, documentOut);
        reply.result = spoolerResultOf(httpStatus, IPP_STATUS_OK);
        reply.message = QString::fromUtf8(::httpStatus(httpStatus));
    }
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
    // The user name handed to libcups for the password belongs to this server;
    // the thread's other connections keep theirs.
    if (threadUser != cupsUser())
        cupsSetUser(threadUser.constData());
    passwordText_.fill('\0');
    passwordText_.clear();

    // After a failure the connection's state is unknown (half a request may be
    // in flight): start the next request on a fresh one.
    const bool answered = ipp ? reply.response != nullptr
                              : httpStatus == HTTP_STATUS_OK || httpStatus == HTTP_STATUS_NOT_FOUND;
    if (!answered || httpStatus == HTTP_STATUS_ERROR) {
        close();
        if (reply.result == SpoolerResult::Unreachable)
            markSilentIfTimedOut(started, timeouts_.requestMs);
    }
    return reply;
}

void CupsConnection::markSilentIfTimedOut(std::chrono::steady_clock::time_point started,
                                          int limitMs) {
    const auto now = std::chrono::steady_clock::now();
    if (now - started >= std::chrono::milliseconds(limitMs))
        silentUntil_ = now + std::chrono::milliseconds(timeouts_.requestMs);
}

const char* CupsConnection::passwordFor(const char*, http_t*, const char*, const char*,
                                        void* connection) {
    return static_cast<CupsConnection*>(connection)->password();
}

// libcups calls this each time the server answers a request with a demand for
// credentials; what it returns goes with the user name set by cupsSetUser.
const char* CupsConnection::password() {
    ++passwordCallsThisRequest_;
    bool refused = false;
    if (credentials_ && passwordCallsThisRequest_ > 1) {
        credentials_.reset(); // the server refused them: the operator must be asked
        refused = true;
    }
    if (!credentials_) {
        if (!prompt_ || operatorCancelled_ || promptsThisRequest_ >= maxPromptsPerRequest ||
            SpoolerPrompts::offOnThisThread())
            return nullptr;
        ++promptsThisRequest_;
        credentials_ = prompt_({serverText_, userName_, queueOfRequest_, refused});
        // A call to another server made while the dialog was open has left its
        // own callback behind; the rest of this request needs this one.
        cupsSetPasswordCB2(&CupsConnection::passwordFor, this);
        // The operator's time at the dialog is not the server's: the request's
        // wait starts again.
        deadline_ =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeouts_.requestMs);
        if (!credentials_) {
            operatorCancelled_ = true;
            return nullptr;
        }
        if (credentials_->user.isEmpty())
            credentials_->user = userName_;
        userName_ = credentials_->user;
    }
    cupsSetUser(credentials_->user.toUtf8().constData());
    passwordText_ = credentials_->password.toUtf8();
    return passwordText_.constData();
}
