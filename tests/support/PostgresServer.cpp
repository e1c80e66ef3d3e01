#include "support/PostgresServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>
#include <gtest/gtest.h>

QString databaseOf(const QString& uri) {
    return QUrl(uri).path().mid(1);
}

namespace {

QString madeDatabase(SandboxPostgres& server, const QString& name) {
    if (server.address().isEmpty())
        return {};
    if (!server.createDatabase(name)) {
        ADD_FAILURE() << server.error().toStdString();
        return {};
    }
    return server.uri(name);
}

QStringList queried(const SandboxPostgres& server, const QString& uri, const QString& sql) {
    const std::optional<QStringList> rows = server.psql(databaseOf(uri), sql);
    if (!rows)
        ADD_FAILURE() << server.error().toStdString();
    return rows.value_or(QStringList());
}

} // namespace

TestPostgresServer::TestPostgresServer()
    : server_(qEnvironmentVariable("SPOOLWRIGHT_TEST_POSTGRES")) {
    if (server_.stateFolder().isEmpty())
        ADD_FAILURE() << "SPOOLWRIGHT_TEST_POSTGRES is not set: run the shared-log tests with "
                         "ctest, whose postgres_server fixture starts the test PostgreSQL server";
    else if (!server_.attach())
        ADD_FAILURE() << server_.error().toStdString()
                      << " (did postgres_server_start fail? see its output)";
}

TestPostgresServer::~TestPostgresServer() {
    for (const QString& database : databases_)
        if (!server_.dropDatabase(database))
            ADD_FAILURE() << server_.error().toStdString();
}

QString TestPostgresServer::newDatabase(const QString& stem) {
    static int serial = 0;
    const QString name = QStringLiteral("%1_%2_%3")
                             .arg(stem.toLower())
                             .arg(QCoreApplication::applicationPid())
                             .arg(++serial);
    const QString uri = madeDatabase(server_, name);
    if (!uri.isEmpty())
        databases_ << name;
    return uri;
}

QStringList TestPostgresServer::query(const QString& uri, const QString& sql) const {
    return queried(server_, uri, sql);
}

OwnPostgresServer::OwnPostgresServer()
    : server_(QStringLiteral(SPOOLWRIGHT_BINARY_DIR "/test-own-postgres-%1-%2")
                  .arg(QCoreApplication::applicationPid())
                  .arg(++serial_)) {}

OwnPostgresServer::~OwnPostgresServer() {
    if (!server_.stop())
        ADD_FAILURE() << server_.error().toStdString();
    QDir(server_.stateFolder()).removeRecursively();
}

QString OwnPostgresServer::start() {
    if (!server_.start())
        ADD_FAILURE() << server_.error().toStdString();
    return server_.address();
}

bool OwnPostgresServer::pause() {
    const bool paused = server_.pause();
    if (!paused)
        ADD_FAILURE() << server_.error().toStdString();
    return paused;
}

QString OwnPostgresServer::newDatabase(const QString& name) {
    return madeDatabase(server_, name);
}

QStringList OwnPostgresServer::query(const QString& uri, const QString& sql) const {
    return queried(server_, uri, sql);
}
