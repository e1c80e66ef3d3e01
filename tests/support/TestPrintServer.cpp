#include "support/TestPrintServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int toolTimeoutMs = 60000; // lpadmin with a driver takes about half a second

QString findTool(const QString& name) {
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty()) // the sbin folders are often missing from an ordinary user's PATH
        path = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"),
                                                     QStringLiteral("/usr/local/sbin"),
                                                     QStringLiteral("/sbin")});
    return path;
}

QString sandboxTool() {
    return QStringLiteral(SPOOLWRIGHT_SOURCE_DIR "/tools/sandbox-print-server");
}

} // namespace

bool TestPrintServer::runTool(const QString& tool, const QStringList& arguments, QString* output,
                              const QByteArray& input) {
    const QString program = tool.contains(QLatin1Char('/')) ? tool : findTool(tool);
    if (program.isEmpty()) {
        ADD_FAILURE() << tool.toStdString() << " is not installed (tools/setup-debian installs it)";
        return false;
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(toolTimeoutMs)) {
        ADD_FAILURE() << "cannot run " << program.toStdString();
        return false;
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(toolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << tool.toStdString() << " " << arguments.join(' ').toStdString()
                      << " did not finish within " << toolTimeoutMs / 1000 << " s";
        return false;
    }
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (output)
        *output = out;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " " << arguments.join(' ').toStdString()
                      << " failed: " << out.toStdString()
                      << QString::fromLocal8Bit(process.readAllStandardError()).toStdString();
        return false;
    }
    return true;
}

TestPrintServer::TestPrintServer() {
    const QString stateDir = qEnvironmentVariable("SPOOLWRIGHT_TEST_PRINT_SERVER");
    stateDir_ = stateDir;
    if (stateDir.isEmpty()) {
        ADD_FAILURE() << "SPOOLWRIGHT_TEST_PRINT_SERVER is not set: run the integration tests "
                         "with ctest, whose print_server fixture starts the test print server";
        return;
    }
    QFile file(QDir(stateDir).filePath(QStringLiteral("address")));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "no test print server: " << file.fileName().toStdString()
                      << " is missing (did print_server_start fail? see its output)";
        return;
    }
    address_ = QString::fromUtf8(file.readAll()).trimmed();
    if (address_.isEmpty())
        ADD_FAILURE() << "no test print server: " << file.fileName().toStdString() << " is empty";
}

TestPrintServer::~TestPrintServer() {
    for (const QString& queue : addedQueues_)
        runTool(QStringLiteral("lpadmin"),
                {QStringLiteral("-h"), address_, QStringLiteral("-x"), queue});
}

QString TestPrintServer::uniqueQueueName(const QString& stem) {
    return stem + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
}

bool TestPrintServer::addQueue(const QString& name) {
    if (address_.isEmpty())
        return false;
    // A raw queue is made at once; a driver would cost half a second per queue.
    if (!runTool(QStringLiteral("lpadmin"),
                 {QStringLiteral("-h"), address_, QStringLiteral("-p"), name, QStringLiteral("-E"),
                  QStringLiteral("-v"), QStringLiteral("file:///dev/null"), QStringLiteral("-m"),
                  QStringLiteral("raw")}))
        return false;
    addedQueues_ << name;
    return true;
}

bool TestPrintServer::addPasswordQueue(const QString& name) {
    if (address_.isEmpty())
        return false;
    if (!runTool(QStringLiteral("lpadmin"),
                 {QStringLiteral("-h"), address_, QStringLiteral("-p"), name, QStringLiteral("-E"),
                  QStringLiteral("-v"), QStringLiteral("file:///dev/null"), QStringLiteral("-m"),
                  QStringLiteral("raw"), QStringLiteral("-o"),
                  QStringLiteral("printer-op-policy=password")}))
        return false;
    addedQueues_ << name;
    return true;
}

SpoolerCredentials TestPrintServer::passwordQueueAccount() const {
    QFile file(QDir(stateDir_).filePath(QStringLiteral("credentials")));
    if (stateDir_.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "the test print server has no password account (see the output of "
                         "print_server_start: it needs a private mount namespace)";
        return {};
    }
    const QStringList words =
        QString::fromUtf8(file.readAll()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() != 2) {
        ADD_FAILURE() << file.fileName().toStdString() << " does not hold USER PASSWORD";
        return {};
    }
    return {words[0].trimmed(), words[1].trimmed()};
}

int TestPrintServer::submitJobDeclaringPages(const QString& queue, const QString& user,
                                             const QString& title, const QByteArray& content,
                                             int impressions) {
    if (address_.isEmpty())
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
                  QStringLiteral("ipp://%1/printers/%2").arg(address_, queue), test.fileName()},
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
    if (address_.isEmpty())
        return 0;
    QStringList arguments{QStringLiteral("-h"), address_, QStringLiteral("-d"), queue,
                          QStringLiteral("-U"), user,     QStringLiteral("-t"), title};
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
                  QStringLiteral("ipp://%1/").arg(address_), testFile},
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

OwnPrintServer::OwnPrintServer() {
    static int serial = 0;
    stateDir_ = QDir(QStringLiteral(SPOOLWRIGHT_BINARY_DIR))
                    .filePath(QStringLiteral("test-own-print-server-%1-%2")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(++serial));
}

OwnPrintServer::~OwnPrintServer() {
    stop();
    QDir(stateDir_).removeRecursively();
}

QString OwnPrintServer::start(int port) {
    QString output;
    if (!TestPrintServer::runTool(sandboxTool(),
                                  {QStringLiteral("start"), QStringLiteral("--dir"), stateDir_,
                                   QStringLiteral("--port"), QString::number(port)},
                                  &output))
        return {};
    return output.trimmed();
}

bool OwnPrintServer::stop() {
    return TestPrintServer::runTool(sandboxTool(),
                                    {QStringLiteral("stop"), QStringLiteral("--dir"), stateDir_});
}
