#include "sandbox/SandboxPrintServer.h"

#include "sandbox/CupsTools.h"

#include <QDir>
#include <QFile>
#include <signal.h>

QString SandboxPrintServer::defaultTool() {
    return QStringLiteral(SPOOLWRIGHT_SANDBOX_TOOL);
}

SandboxPrintServer::SandboxPrintServer(QString stateFolder, QString tool)
    : stateFolder_(std::move(stateFolder)), tool_(std::move(tool)) {}

SandboxPrintServer::~SandboxPrintServer() {
    if (owned_)
        stop();
}

bool SandboxPrintServer::fail(const QString& why) const {
    error_ = why;
    return false;
}

bool SandboxPrintServer::start(int port) {
    // A start cut short may leave a server running: it is stopped in any case.
    owned_ = true;
    const ToolRun run =
        runTool(tool_, {QStringLiteral("start"), QStringLiteral("--dir"), stateFolder_,
                        QStringLiteral("--port"), QString::number(port)});
    if (!run.ok)
        return fail(run.error);
    // The address is the only line the tool prints on standard output.
    address_ = QString::fromLocal8Bit(run.output).trimmed();
    return !address_.isEmpty() || fail(QStringLiteral("the sandbox tool printed no address"));
}

bool SandboxPrintServer::stop() {
    owned_ = false;
    address_.clear();
    startConfig_.clear();
    const ToolRun run =
        runTool(tool_, {QStringLiteral("stop"), QStringLiteral("--dir"), stateFolder_});
    return run.ok || fail(run.error);
}

bool SandboxPrintServer::attach() {
    address_ = recorded(QStringLiteral("address"));
    return !address_.isEmpty() ||
           fail(QStringLiteral("no sandbox print server runs in %1 (it records no address)")
                    .arg(stateFolder_));
}

QString SandboxPrintServer::recorded(const QString& name) const {
    QFile file(QDir(stateFolder_).filePath(name));
    return !stateFolder_.isEmpty() && file.open(QIODevice::ReadOnly)
               ? QString::fromLocal8Bit(file.readAll()).trimmed()
               : QString();
}

std::optional<SandboxPrintServer::Account> SandboxPrintServer::passwordAccount() const {
    const QStringList words = recorded(QStringLiteral("credentials")).split(QLatin1Char(' '));
    if (words.size() != 2) {
        fail(QStringLiteral("the sandbox print server in %1 has no password account (its "
                            "password check needs a private mount namespace)")
                 .arg(stateFolder_));
        return std::nullopt;
    }
    return Account{words[0], words[1]};
}

bool SandboxPrintServer::reconfigure(const QByteArray& extra) {
    const QString root = recorded(QStringLiteral("root"));
    if (root.isEmpty())
        return fail(QStringLiteral("no sandbox print server runs in ") + stateFolder_);
    QFile file(QDir(root).filePath(QStringLiteral("cupsd.conf")));
    if (startConfig_.isNull()) {
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read the server's configuration in ") + root);
        startConfig_ = file.readAll();
        file.close();
    }
    const QByteArray text = startConfig_ + extra;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        return fail(QStringLiteral("cannot write the server's configuration in ") + root);
    file.close();
    // The pid the tool recorded, if it is still that server's: never a process
    // that merely took over the number.
    bool ok = false;
    const qint64 pid = recorded(QStringLiteral("pid")).toLongLong(&ok);
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!ok || pid <= 0 || !comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "cupsd")
        return fail(QStringLiteral("the sandbox print server's process is not running"));
    return ::kill(static_cast<pid_t>(pid), SIGHUP) == 0 ||
           fail(QStringLiteral("cannot have the server read its configuration again"));
}

int SandboxPrintServer::requestsLogged(const QString& operation) const {
    const QString root = recorded(QStringLiteral("root"));
    QFile log(QDir(root).filePath(QStringLiteral("log/access_log")));
    if (root.isEmpty() || !log.open(QIODevice::ReadOnly))
        return -1;
    // localhost - - [06/Dec/2026:01:09:57 +0000] "POST / HTTP/1.1" 200 201 Renew-Subscription
    // successful-ok; a request turned away for want of a password ends the same
    // but with HTTP status 401.
    const QByteArray done = ' ' + operation.toUtf8() + " successful-ok";
    int count = 0;
    while (!log.atEnd()) {
        const QByteArray line = log.readLine().trimmed();
        if (line.endsWith(done) && line.contains("\" 200 "))
            ++count;
    }
    return count;
}
