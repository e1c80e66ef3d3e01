#include "sandbox/SandboxPostgres.h"

#include "sandbox/CupsTools.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

QString SandboxPostgres::defaultTool() {
    return QStringLiteral(SPOOLWRIGHT_SANDBOX_POSTGRES_TOOL);
}

SandboxPostgres::SandboxPostgres(QString stateFolder, QString tool)
    : stateFolder_(std::move(stateFolder)), tool_(std::move(tool)) {}

SandboxPostgres::~SandboxPostgres() {
    if (owned_)
        stop();
}

bool SandboxPostgres::fail(const QString& why) const {
    error_ = why;
    return false;
}

bool SandboxPostgres::runSandboxTool(const QString& command, const QStringList& extra) {
    const ToolRun run =
        runTool(tool_, QStringList{command, QStringLiteral("--dir"), stateFolder_} + extra);
    if (!run.ok)
        return fail(run.error);
    if (command == QLatin1String("start")) {
        // The address is the only line the tool prints on standard output.
        address_ = QString::fromLocal8Bit(run.output).trimmed();
        if (address_.isEmpty())
            return fail(QStringLiteral("the sandbox tool printed no address"));
    }
    return true;
}

bool SandboxPostgres::start(int port) {
    // A start cut short may leave a server running: it is stopped in any case.
    owned_ = true;
    return runSandboxTool(QStringLiteral("start"),
                          {QStringLiteral("--port"), QString::number(port)});
}

bool SandboxPostgres::pause() {
    return runSandboxTool(QStringLiteral("pause"));
}

bool SandboxPostgres::stop() {
    owned_ = false;
    address_.clear();
    return runSandboxTool(QStringLiteral("stop"));
}

bool SandboxPostgres::attach() {
    QFile file(QDir(stateFolder_).filePath(QStringLiteral("address")));
    address_ = !stateFolder_.isEmpty() && file.open(QIODevice::ReadOnly)
                   ? QString::fromLocal8Bit(file.readAll()).trimmed()
                   : QString();
    return !address_.isEmpty() ||
           fail(QStringLiteral("no sandbox PostgreSQL server runs in %1 (it records no address)")
                    .arg(stateFolder_));
}

QString SandboxPostgres::uri(const QString& database) const {
    return QStringLiteral("postgresql://%1/%2?user=%3").arg(address_, database, user());
}

bool SandboxPostgres::createDatabase(const QString& name) {
    if (!QRegularExpression(QStringLiteral("^[a-z_][a-z0-9_]*$")).match(name).hasMatch())
        return fail(QStringLiteral("not a plain database name: ") + name);
    return psql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE ") + name).has_value();
}

bool SandboxPostgres::dropDatabase(const QString& name) {
    return psql(QStringLiteral("postgres"),
                QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name))
        .has_value();
}

std::optional<QStringList> SandboxPostgres::psql(const QString& database,
                                                 const QString& sql) const {
    if (address_.isEmpty()) {
        fail(QStringLiteral("no sandbox PostgreSQL server is running"));
        return std::nullopt;
    }
    // Unaligned rows without headers or footers, tab between columns, and no
    // ~/.psqlrc of whoever runs the tests.
    const ToolRun run = runTool(QStringLiteral("psql"),
                                {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"),
                                 QStringLiteral("-t"), QStringLiteral("-F"), QStringLiteral("\t"),
                                 QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                                 QStringLiteral("-d"), uri(database), QStringLiteral("-c"), sql});
    if (!run.ok) {
        fail(run.error);
        return std::nullopt;
    }
    return QString::fromUtf8(run.output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
