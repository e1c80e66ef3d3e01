#include "support/TestPrintServer.h"

#include "control/ReleaseQueue.h"
#include "sandbox/CupsTools.h"
#include "support/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

bool runCupsTool(const QString& tool, const QStringList& arguments, QString* output,
                 const QByteArray& input) {
    const ToolRun run = runTool(tool, arguments, input);
    if (output)
        *output = QString::fromLocal8Bit(run.output);
    if (!run.ok)
        ADD_FAILURE() << run.error.toStdString();
    return run.ok;
}

int submitJobTo(const QString& server, const QString& queue, const QString& user,
                const QString& title, const QByteArray& content, bool hold) {
    return submitJobWith(server, queue, user, title, content,
                         hold ? QStringList{"-H", "indefinite"} : QStringList());
}

int submitJobWith(const QString& server, const QString& queue, const QString& user,
                  const QString& title, const QByteArray& content, const QStringList& options) {
    const QStringList arguments =
        QStringList{"-h", server, "-d", queue, "-U", user, "-t", title} + options;
    QString output;
    if (server.isEmpty() || !runCupsTool("lp", arguments, &output, content))
        return 0;
    // "request id is Office-Laser-12 (0 file(s))"
    const QRegularExpressionMatch match =
        QRegularExpression("request id is \\S+-(\\d+)").match(output);
    if (!match.hasMatch())
        ADD_FAILURE() << "lp gave no job id: " << output.toStdString();
    return match.captured(1).toInt();
}

namespace {

// Runs one ipptool test of `operation` with `attributes` against `uri`. ipptool's -c
// prints the DISPLAYed attribute as CSV: a header line naming it, then one value a
// line. The values; none (and the test failed) on failure.
QStringList ipptoolValues(const QString& uri, const char* operation, const QByteArray& attributes,
                          const char* displayed) {
    QTemporaryDir folder;
    const QString testFile = folder.filePath("request.test");
    QString output;
    if (!writeFile(testFile, QByteArray("{\nOPERATION ") + operation +
                                 "\nGROUP operation-attributes-tag\n"
                                 "ATTR charset attributes-charset utf-8\n"
                                 "ATTR naturalLanguage attributes-natural-language en\n" +
                                 attributes + "STATUS successful-ok\nDISPLAY " + displayed +
                                 "\n}\n") ||
        !runCupsTool("ipptool", {"-T", "10", "-c", uri, testFile}, &output))
        return {};
    QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.value(0) != QLatin1String(displayed)) {
        ADD_FAILURE() << "unexpected ipptool output: " << output.toStdString();
        return {};
    }
    return lines.mid(1);
}

} // namespace

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
    for (const QString& queue : addedQueues_) {
        runCupsTool("lpadmin", {"-h", address(), "-x", queue});
        // The release queue AutoQueue may have made beside it, if it did.
        runTool("lpadmin", {"-h", address(), "-x", releaseQueueName(queue)}, QByteArray());
    }
}

QString TestPrintServer::uniqueQueueName(const QString& stem) {
    return stem + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
}

bool TestPrintServer::addQueue(const QString& name, bool password) {
    // A raw queue is made at once; a driver would cost half a second per queue.
    QStringList arguments{"-h", address(), "-p", name, "-E", "-v", "file:///dev/null", "-m", "raw"};
    if (password)
        arguments += {"-o", "printer-op-policy=password"};
    if (address().isEmpty() || !runCupsTool("lpadmin", arguments))
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
    // lp drops job-impressions; ipptool sends it as the integer a client would.
    QTemporaryDir folder;
    const QString document = folder.filePath("document");
    if (address().isEmpty() || !writeFile(document, content))
        return 0;
    const QString test = QStringLiteral("ATTR uri printer-uri $uri\n"
                                        "ATTR name requesting-user-name \"%1\"\n"
                                        "ATTR name job-name \"%2\"\n"
                                        "ATTR mimeMediaType document-format "
                                        "application/octet-stream\nGROUP job-attributes-tag\n"
                                        "ATTR keyword job-hold-until indefinite\n"
                                        "ATTR integer job-impressions %3\nFILE \"%4\"\n")
                             .arg(user, title)
                             .arg(impressions)
                             .arg(document);
    const QString uri = QStringLiteral("ipp://%1/printers/%2").arg(address(), queue);
    const int id = ipptoolValues(uri, "Print-Job", test.toUtf8(), "job-id").value(0).toInt();
    if (id <= 0)
        ADD_FAILURE() << "ipptool gave no job id";
    return id;
}

QStringList TestPrintServer::queueNamesSeenByIpptool() const {
    return ipptoolValues(QStringLiteral("ipp://%1/").arg(address()), "CUPS-Get-Printers",
                         "ATTR keyword requested-attributes printer-name\n", "printer-name");
}

OwnPrintServer::OwnPrintServer()
    : server_(QStringLiteral(SPOOLWRIGHT_BINARY_DIR "/test-own-print-server-%1-%2")
                  .arg(QCoreApplication::applicationPid())
                  .arg(++serial_)) {}

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
