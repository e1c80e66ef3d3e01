#pragma once

#include "sandbox/SandboxPostgres.h"

#include <QString>
#include <QStringList>

// The database name in a connection URI.
QString databaseOf(const QString& uri);

// The private PostgreSQL server the shared-log tests share, started once per test
// run by CTest's postgres_server fixture, which names its state folder in
// $SPOOLWRIGHT_TEST_POSTGRES. A test that finds no server fails: these tests never
// skip. Each test works in databases of its own, so that no test sees another's
// rows; the databases made through this object are dropped when it goes.
class TestPostgresServer {
public:
    TestPostgresServer();
    ~TestPostgresServer();
    TestPostgresServer(const TestPostgresServer&) = delete;
    TestPostgresServer& operator=(const TestPostgresServer&) = delete;

    // "127.0.0.1:PORT"; empty (and the test already failed) when there is no server.
    const QString& address() const { return server_.address(); }

    // Makes a database no other test uses (`stem`, this process's id and a serial
    // number) and gives its connection URI, as LogPath holds it; empty (and the
    // test failed) on failure.
    QString newDatabase(const QString& stem);

    // The rows psql prints for `sql` in the database of this URI, one a line, the
    // columns separated by tabs; none (and the test failed) on failure.
    QStringList query(const QString& uri, const QString& sql) const;
    // The same for a condition waited for: none while the query fails (the log's
    // tables not made yet), and the test goes on.
    QStringList polled(const QString& uri, const QString& sql) const {
        return server_.psql(databaseOf(uri), sql).value_or(QStringList());
    }

private:
    SandboxPostgres server_;
    QStringList databases_;
};

// A PostgreSQL server of a test's own, for a test that stops and starts it again
// and so cannot use the shared one. It is stopped and its cluster removed when
// this object goes.
class OwnPostgresServer {
public:
    OwnPostgresServer();
    ~OwnPostgresServer();

    // Starts the server (again, after pause(), on the same port and with its
    // databases); its address, empty (and the test failed) on failure.
    QString start();
    // Stops the server and keeps its databases, as an outage would.
    bool pause();

    // Makes a database and gives its connection URI; empty (and the test failed) on failure.
    QString newDatabase(const QString& name);
    QStringList query(const QString& uri, const QString& sql) const;
    QStringList polled(const QString& uri, const QString& sql) const {
        return server_.psql(databaseOf(uri), sql).value_or(QStringList());
    }

private:
    static inline int serial_ = 0; // of the servers this process made
    SandboxPostgres server_;
};
