#include "support/TestPrintServer.h"

#include "sandbox/CupsTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

bool TestPrintServer::runTool(const QString& tool, const QStringList& arguments, QString* output,
                              const QByteArray& input) {
    const ToolRun run = ::runTool(tool, arguments, input);
    if (output)
        *output = QString::fromLocal8Bit(run.output);
    if (!run.ok)
        ADD_FAILURE() << run.error.toStdString();
    return run.ok;
}

TestPrintServer::TestPrintServer()
    : server_(qEnvironmentVariable("SPOOLWRIGHT_TEST_PRINT_SERVER")) {
    if (server_.stateFolder().isEmpty())
        ADD_FAILURE() << "SPOOLWRIGHT_TEST_PRINT_SERVER is not set: run the integration tests "
                         "with ctest, whose print_server fixture starts the test print server";
    else if (!server_.attach())
        ADD_FAILURE() << server_.error().toStdString()
                      << " (did print_server_start fail? see its output)";
}

TestPrintServer::~TestPrintServer() {
    for (const QString& queue : addedQueues_)
        runTool(QStringLiteral("lpadmin"),
                {QStringLiteral("-h"), address(), QStringLiteral("-x"), queue});
}

QString TestPrintServer::uniqueQueueName(const QString& stem) {
    return stem + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
}

bool TestPrintServer::addQueue(const QString& name) {
    if (address().isEmpty())
        return false;
    // A raw queue is made at once; a driver would cost half a second per queue.
    if (!runTool(QStringLiteral("lpadmin"),
                 {QStringLiteral("-h"), address(), QStringLiteral("-p"), name, QStringLiteral("-E"),
                  QStringLiteral("-v"), QStringLiteral("file:///dev/null"), QStringLiteral("-m"),
                  QStringLiteral("raw")}))
        return false;
    addedQueues_ << name;
    return true;
}

bool TestPrintServer::addPasswordQueue(const QString& name) {
    if (address().isEmpty())
        return false;
    if (!runTool(QStringLiteral("lpadmin"),
                 {QStringLiteral("-h"), address(), QStringLiteral("-p"), name, QStringLiteral("-E"),
                  QStringLiteral("-v"), QStringLiteral("file:///dev/null"), QStringLiteral("-m"),
                  QStringLiteral("raw"), QStringLiteral("-o"),
                  QStringLiteral("printer-op-policy=password")}))
        return false;
    addedQueues_ << name;
    return true;
}

SpoolerCredentials TestPrintServer::passwordQueueAccount() const {
    const std::optional<SandboxPrintServer::Account> account = server_.passwordAccount();
    if (!account) {
        ADD_FAILURE() << server_.error().toStdString() << " (see the output of print_server_start)";
        return {};
    }
    return {account->user, account->password};
}

int TestPrintServer::submitJobDeclaringPages(const QString& queue, const QString& user,
                                             const QString& title, const QByteArray& content,
                                             int impressions) {
    if (address().isEmpty())
        return 0;
    // lp drops job-impressions; ipptool sends it as the integer a client would.
    QTemporaryDir folder;
    QFile document(folder.filePath(QStringLiteral("document")));
    QFile test(folder.filePath(QStringLiteral("print-job.test")));
    if (!document.open(QIODevice::WriteOnly) || document.write(content) != content.size() ||
        !test.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write in " << folder.path().toStdString();
        return 0;
    }
    document.close();
    test.write(QStringLiteral("{\n"
                              "OPERATION Print-Job\n"
                              "GROUP operation-attributes-tag\n"
                              "ATTR charset attributes-charset utf-8\n"
                              "ATTR naturalLanguage attributes-natural-language en\n"
                              "ATTR uri printer-uri $uri\n"
                              "ATTR name requesting-user-name \"%1\"\n"
                              "ATTR name job-name \"%2\"\n"
                              "ATTR mimeMediaType document-format application/octet-stream\n"
                              "GROUP job-attributes-tag\n"
                              "ATTR keyword job-hold-until indefinite\n"
                              "ATTR integer job-impressions %3\n"
                              "FILE \"%4\"\n"
                              "STATUS successful-ok\n"
                              "DISPLAY job-id\n"
                              "}\n")
                   .arg(user, title)
                   .arg(impressions)
                   .arg(document.fileName())
                   .toUtf8());
    test.close();
    QString output;
    if (!runTool(QStringLiteral("ipptool"),
                 {QStringLiteral("-T"), QStringLiteral("10"), QStringLiteral("-c"),
                  QStringLiteral("ipp://%1/printers/%2").arg(address(), queue), test.fileName()},
                 &output))
        return 0;
    // -c prints the DISPLAYed attribute as CSV: a header line, then the value.
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const int id = lines.value(1).trimmed().toInt();
    if (lines.value(0) != QLatin1String("job-id") || id <= 0)
        ADD_FAILURE() << "ipptool gave no job id: " << output.toStdString();
    return id;
}

int TestPrintServer::submitJob(const QString& queue, const QString& user, const QString& title,
                               const QByteArray& content, bool hold) {
    if (address().isEmpty())
        return 0;
    QStringList arguments{QStringLiteral("-h"), address(), QStringLiteral("-d"), queue,
                          QStringLiteral("-U"), user,      QStringLiteral("-t"), title};
    if (hold)
        arguments << QStringLiteral("-H") << QStringLiteral("indefinite");
    QString output;
    if (!runTool(QStringLiteral("lp"), arguments, &output, content))
        return 0;
    // "request id is Office-Laser-12 (0 file(s))"
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("request id is \\S+-(\\d+)")).match(output);
    if (!match.hasMatch()) {
        ADD_FAILURE() << "lp gave no job id: " << output.toStdString();
        return 0;
    }
    return match.captured(1).toInt();
}

QStringList TestPrintServer::queueNamesSeenByIpptool() const {
    QTemporaryDir folder;
    const QString testFile = folder.filePath(QStringLiteral("get-printers.test"));
    QFile file(testFile);
    if (!file.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write " << testFile.toStdString();
        return {};
    }
    file.write("{\n"
               "OPERATION CUPS-Get-Printers\n"
               "GROUP operation-attributes-tag\n"
               "ATTR charset attributes-charset utf-8\n"
               "ATTR naturalLanguage attributes-natural-language en\n"
               "ATTR keyword requested-attributes printer-name\n"
               "STATUS successful-ok\n"
               "DISPLAY printer-name\n"
               "}\n");
    file.close();
    QString output;
    // -c prints the DISPLAYed attribute as CSV: a header line, then one name a line.
    if (!runTool(QStringLiteral("ipptool"),
                 {QStringLiteral("-T"), QStringLiteral("10"), QStringLiteral("-c"),
                  QStringLiteral("ipp://%1/").arg(address()), testFile},
                 &output))
        return {};
    QStringList names = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (names.value(0) != QLatin1String("printer-name")) {
        ADD_FAILURE() << "unexpected ipptool output: " << output.toStdString();
        return {};
    }
    names.removeFirst();
    return names;
}

namespace {

QString ownStateFolder() {
    static int serial = 0;
    return QDir(QStringLiteral(SPOOLWRIGHT_BINARY_DIR))
        .filePath(QStringLiteral("test-own-print-server-%1-%2")
                      .arg(QCoreApplication::applicationPid())
                      .arg(++serial));
}

} // namespace

OwnPrintServer::OwnPrintServer() : server_(ownStateFolder()) {}

OwnPrintServer::~OwnPrintServer() {
    stop();
    QDir(server_.stateFolder()).removeRecursively();
}

QString OwnPrintServer::start(int port) {
    if (!server_.start(port))
        ADD_FAILURE() << server_.error().toStdString();
    return server_.address();
}

bool OwnPrintServer::stop() {
    const bool stopped = server_.stop();
    if (!stopped)
        ADD_FAILURE() << server_.error().toStdString();
    return stopped;
}
