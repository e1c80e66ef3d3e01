#pragma once

#include "platform/PrintSpooler.h"
#include "platform/SpoolerCredentials.h"
#include "sandbox/SandboxPrintServer.h"

#include <QString>
#include <QStringList>

// Short timeouts keep a test of a silent or refusing server quick; libcups' own
// defaults wait a minute, or for ever for an answer.
inline constexpr SpoolerTimeouts kShortTimeouts{1000, 1500};

// Runs a CUPS command-line tool (found in PATH or the sbin folders) with a time
// limit; gives its standard output, and fails the test when it fails.
bool runCupsTool(const QString& tool, const QStringList& arguments, QString* output = nullptr,
                 const QByteArray& input = QByteArray());

// Submits `content` with lp to `queue` on `server` as `user` under the document name
// `title`, held when `hold` is set. Returns the job id, 0 (and the test failed) on failure.
int submitJobTo(const QString& server, const QString& queue, const QString& user,
                const QString& title, const QByteArray& content, bool hold = true);
// The same with lp's `options` ("-H", "immediate", "-q", "100", ...) instead of a hold.
int submitJobWith(const QString& server, const QString& queue, const QString& user,
                  const QString& title, const QByteArray& content, const QStringList& options);

// The private print server the integration tests share, started once per test
// run by CTest's print_server fixture, which names its state folder in
// $SPOOLWRIGHT_TEST_PRINT_SERVER. A test that finds no server fails: the
// integration tests never skip. Each test works on queues of its own; the
// queues added through this object are removed again when it goes.
class TestPrintServer {
public:
    TestPrintServer();
    ~TestPrintServer();
    TestPrintServer(const TestPrintServer&) = delete;
    TestPrintServer& operator=(const TestPrintServer&) = delete;

    // "127.0.0.1:PORT"; empty (and the test already failed) when there is no server.
    const QString& address() const { return server_.address(); }

    // A queue name no other test uses: `stem` with this process's id appended.
    static QString uniqueQueueName(const QString& stem);

    // Adds a queue printing to /dev/null; under the server's password policy, every
    // operation on it, printing included, wants the sandbox operator's password.
    // False (and the test failed) when lpadmin refuses.
    bool addQueue(const QString& name, bool password = false);
    // Adds a queue named uniqueQueueName(stem); its name, empty when it failed.
    QString newQueue(const QString& stem, bool password = false) {
        const QString name = uniqueQueueName(stem);
        return addQueue(name, password) ? name : QString();
    }

    // The one account the password policy accepts. Empty (and the test failed)
    // when the server could not set up its password check.
    SpoolerCredentials passwordQueueAccount() const;

    int submitJob(const QString& queue, const QString& user, const QString& title,
                  const QByteArray& content, bool hold = true) {
        return submitJobTo(address(), queue, user, title, content, hold);
    }

    // Submits a held job as submitJob does, but declares its pages as
    // job-impressions, as some clients do.
    int submitJobDeclaringPages(const QString& queue, const QString& user, const QString& title,
                                const QByteArray& content, int impressions);

    // The queue names as an independent client (ipptool) receives them from the
    // server, in the server's order.
    QStringList queueNamesSeenByIpptool() const;

private:
    SandboxPrintServer server_;
    QStringList addedQueues_;
};

// Starts and stops a print server of a test's own, with the sandbox tool, for a
// test that stops or restarts a server and so cannot use the shared one.
class OwnPrintServer {
public:
    OwnPrintServer();
    ~OwnPrintServer(); // stops it

    // Starts the server on `port` (0: a free one); returns its address, empty on failure.
    QString start(int port = 0);
    bool stop();

    // How many requests of an IPP operation the server carried out; see
    // SandboxPrintServer::requestsLogged.
    int requestsLogged(const QString& operation) const { return server_.requestsLogged(operation); }

private:
    static inline int serial_ = 0; // of the servers this process made
    SandboxPrintServer server_;
};
