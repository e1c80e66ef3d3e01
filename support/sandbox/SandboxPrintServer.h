#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The sandbox print server (tools/sandbox-print-server) as the tests and the
// benchmarks drive it: one private CUPS server per state folder. A call that
// fails returns false or nothing and leaves the reason in error(); what a
// failure means (a failed test, a run given up) is for the caller to say.
class SandboxPrintServer {
public:
    // The account that opens the queues under the sandbox's password policy.
    struct Account {
        QString user;
        QString password;
    };

    // The sandbox tool of the source tree this was built from.
    static QString defaultTool();

    explicit SandboxPrintServer(QString stateFolder, QString tool = defaultTool());
    ~SandboxPrintServer(); // stops the server if this object started it
    SandboxPrintServer(const SandboxPrintServer&) = delete;
    SandboxPrintServer& operator=(const SandboxPrintServer&) = delete;

    // Starts the server on `port` (0: a free one); it is stopped when this object goes.
    bool start(int port = 0);
    // Stops the server and removes its files; the state folder itself stays.
    bool stop();
    // Takes up a server that another process started in the state folder, as
    // CTest's fixture does for the tests; it is left running.
    bool attach();

    // "127.0.0.1:PORT"; empty until start() or attach() succeeded.
    const QString& address() const { return address_; }
    const QString& stateFolder() const { return stateFolder_; }
    const QString& error() const { return error_; }

    // Nothing when the server runs without its password check (it needs a
    // private mount namespace, which not every computer allows).
    std::optional<Account> passwordAccount() const;

    // Has the server read its configuration again: the one the tool wrote at
    // start, followed by `extra`.
    bool reconfigure(const QByteArray& extra);

    // The server process's id; 0 when none runs.
    qint64 pid() const { return recorded(QStringLiteral("pid")).toLongLong(); }

    // How many requests of the IPP operation `operation` ("Renew-Subscription")
    // the server has carried out, as its access log tells; -1 when it cannot be read.
    int requestsLogged(const QString& operation) const;

private:
    // What the tool records in the state folder while the server runs: its
    // address, pid, server folder ("root") and password account.
    QString recorded(const QString& name) const;
    bool fail(const QString& why) const;

    QString stateFolder_;
    QString tool_;
    QString address_;
    mutable QString error_;
    QByteArray startConfig_;
    bool owned_ = false;
};
