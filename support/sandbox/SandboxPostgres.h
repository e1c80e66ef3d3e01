#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The sandbox PostgreSQL server (tools/sandbox-postgres) as the tests and the
// benchmarks drive it: one private cluster per state folder, reached on the
// loopback interface as the trusted role `user()`. A call that fails returns false
// or nothing and leaves the reason in error().
class SandboxPostgres {
public:
    // The sandbox tool of the source tree this was built from.
    static QString defaultTool();
    // The role every connection uses.
    static QString user() { return QStringLiteral("spoolwright"); }

    explicit SandboxPostgres(QString stateFolder, QString tool = defaultTool());
    ~SandboxPostgres(); // stops the server and removes its cluster if this object started it
    SandboxPostgres(const SandboxPostgres&) = delete;
    SandboxPostgres& operator=(const SandboxPostgres&) = delete;

    // Makes the cluster and starts the server on `port` (0: a free one); after
    // pause(), starts it again on the port it had, with its databases.
    bool start(int port = 0);
    // Stops the server and keeps its cluster, as an outage would.
    bool pause();
    // Stops the server and removes its cluster; the state folder itself stays.
    bool stop();
    // Takes up a server that another process started in the state folder, as
    // CTest's fixture does for the tests; it is left running.
    bool attach();

    // "127.0.0.1:PORT"; empty until start() or attach() succeeded.
    const QString& address() const { return address_; }
    const QString& stateFolder() const { return stateFolder_; }
    const QString& error() const { return error_; }

    // The connection URI of one of the server's databases, as LogPath holds it.
    QString uri(const QString& database) const;

    // Makes a new, empty database of this name (letters, digits and _).
    bool createDatabase(const QString& name);
    bool dropDatabase(const QString& name);

    // Runs `sql` with psql in `database`; the rows it prints, one a line, the
    // columns separated by tabs. Nothing (and the reason in error()) on failure.
    std::optional<QStringList> psql(const QString& database, const QString& sql) const;

private:
    bool runSandboxTool(const QString& command, const QStringList& extra = {});
    bool fail(const QString& why) const;

    QString stateFolder_;
    QString tool_;
    QString address_;
    mutable QString error_;
    bool owned_ = false;
};
