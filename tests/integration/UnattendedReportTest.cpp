#include "support/Files.h"
#include "support/TestPrintServer.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kProgram = QStringLiteral(SPOOLWRIGHT_BINARY_DIR "/bin/spoolwright");

// Runs the program as a timer or cron job would: no display, its own folders.
QProcess* runWithoutDisplay(const QStringList& arguments, const QString& appData,
                            const QString& temp) {
    auto* program = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    environment.insert("APPDATA", appData);
    environment.insert("TEMP", temp);
    program->setProcessEnvironment(environment);
    program->start(kProgram, arguments);
    return program;
}

} // namespace

TEST(UnattendedReport, ServerReportRunsWithoutADisplayAndExitsCleanly) {
    TestPrintServer server;
    const QString queue = server.newQueue("Unattended");
    ASSERT_FALSE(queue.isEmpty());
    ASSERT_TRUE(runCupsTool("lpadmin",
                            {"-h", server.address(), "-p", queue, "-o", "printer-is-shared=true"}));
    QTemporaryDir appData, temp;
    ASSERT_TRUE(writeFile(QDir(appData.path()).filePath("swr.ini"),
                          "[Spoolwright]\r\nServer=" + server.address().toUtf8() + "\r\n"));

    std::unique_ptr<QProcess> program(
        runWithoutDisplay({"/rpt:Server"}, appData.path(), temp.path()));
    ASSERT_TRUE(program->waitForFinished(120000)) << program->readAllStandardError().toStdString();
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 0) << program->readAllStandardError().toStdString();
    const QByteArray page = readFile(QDir(temp.path()).filePath("SWR_ServerReport.html"));
    EXPECT_TRUE(page.contains("<h2><u>Server Report:</u> " + server.address().toUtf8() + "</h2>"));
    EXPECT_TRUE(page.contains("<td>" + queue.toUtf8() + "</td>"));
    EXPECT_FALSE(page.contains("<script")); // the command line writes it without script

    // A report that cannot be written is told on standard error; no box waits for an
    // answer nobody gives.
    ASSERT_TRUE(writeFile(QDir(appData.path()).filePath("swr.ini"),
                          "[Spoolwright]\r\nServer=" + server.address().toUtf8() +
                              "\r\nReportPath=" + temp.path().toUtf8() + "/missing\r\n"));
    std::unique_ptr<QProcess> failing(runWithoutDisplay({"/rpt:Fav"}, appData.path(), temp.path()));
    ASSERT_TRUE(failing->waitForFinished(120000));
    EXPECT_TRUE(failing->readAllStandardError().contains("/missing/SWR_FavReport.html: No such"));

    std::unique_ptr<QProcess> help(runWithoutDisplay({"--help"}, appData.path(), temp.path()));
    ASSERT_TRUE(help->waitForFinished(30000));
    EXPECT_EQ(help->exitCode(), 0);
    EXPECT_TRUE(help->readAllStandardOutput().contains("/rpt:Server"));
    std::unique_ptr<QProcess> version(
        runWithoutDisplay({"--version"}, appData.path(), temp.path()));
    ASSERT_TRUE(version->waitForFinished(30000));
    EXPECT_TRUE(version->readAllStandardOutput().startsWith("Spoolwright "));
}
