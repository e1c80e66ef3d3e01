#include "support/Files.h"
#include "support/LogRows.h"
#include "support/TestPrintServer.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>

// The program as its Debian package installs it, unpacked into a folder of its own
// by the installed_package fixture and run with nothing of the build tree on any
// path: an environment of its own, the unpacked bin folder and the system's in PATH.

namespace {

const QString kRoot = QStringLiteral(SPOOLWRIGHT_BINARY_DIR "/package-root");

// One launch of the installed program, in folders of the test's own.
struct Installed {
    QTemporaryDir home, appData, temp, tools;

    QStringList path() const {
        return {tools.path(), kRoot + "/usr/bin", "/usr/local/bin", "/usr/bin", "/bin"};
    }

    // `command` as a desktop entry's Exec line gives it: the program found in PATH,
    // on `display` (none when empty).
    std::unique_ptr<QProcess> start(const QString& command, const QString& display) const {
        QStringList words = QProcess::splitCommand(command);
        const QString program = QStandardPaths::findExecutable(words.takeFirst(), path());
        EXPECT_EQ(program, kRoot + "/usr/bin/spoolwright");
        QProcessEnvironment environment;
        environment.insert("HOME", home.path());
        environment.insert("PATH", path().join(':'));
        environment.insert("APPDATA", appData.path());
        environment.insert("TEMP", temp.path());
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(home.path());
        process->start(program, words);
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }

    bool settings(const QString& server, const QString& queue) const {
        return writeFile(appData.filePath("swr.ini"), "[Spoolwright]\r\nServer=" + server.toUtf8() +
                                                          "\r\nQueue=" + queue.toUtf8() + "\r\n");
    }
};

// A display of the test's own, so that the desktop's services work as in a session:
// Xvfb picks a free display number and tells it.
class OwnDisplay {
public:
    OwnDisplay() {
        server_.start("Xvfb",
                      {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        while (!server_.canReadLine() && server_.waitForReadyRead(30000)) {
        }
        const QByteArray number = server_.readLine().trimmed();
        if (!number.isEmpty())
            name_ = ":" + QString::fromLatin1(number);
    }
    ~OwnDisplay() {
        server_.terminate();
        server_.waitForFinished(10000);
    }
    const QString& name() const { return name_; }

private:
    QProcess server_;
    QString name_;
};

// The value of `key` in `group` of the installed desktop entry, as written.
QString desktopEntryValue(const QString& group, const QString& key) {
    const QString entry =
        QString::fromUtf8(readFile(kRoot + "/usr/share/applications/spoolwright.desktop"));
    QString current;
    for (const QString& line : entry.split('\n')) {
        if (line.startsWith('['))
            current = line.mid(1, line.indexOf(']') - 1);
        else if (current == group && line.startsWith(key + "="))
            return line.mid(key.size() + 1);
    }
    return QString();
}

// The programs `parent` started, as the files they run.
QStringList childPrograms(qint64 parent) {
    QStringList programs;
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        const QByteArray stat = readFile("/proc/" + pid + "/stat");
        // pid (name) state ppid ...: the name may hold blanks, so read after its ')'.
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == parent)
            programs << QFileInfo("/proc/" + pid + "/exe").symLinkTarget();
    }
    return programs;
}

bool endedCleanly(QProcess& process) {
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

TEST(InstalledProgram, TheDesktopEntryStartsItWithItsMonitorTemplateAndHelpPage) {
    TestPrintServer server;
    const QString queue = server.newQueue("Installed");
    ASSERT_FALSE(queue.isEmpty());
    ASSERT_GT(server.submitJob(queue, "ann", "Installed job", "a page\n"), 0);
    Installed installed;
    ASSERT_TRUE(installed.settings(server.address(), queue));
    const OwnDisplay display;
    ASSERT_FALSE(display.name().isEmpty());

    // The menu entry starts the window; it watches the queue with the installed monitor
    // and logs the job into a log made from the installed template.
    std::unique_ptr<QProcess> window =
        installed.start(desktopEntryValue("Desktop Entry", "Exec"), display.name());
    const QString monitor = kRoot + "/usr/libexec/spoolwright/SWRJobMonitor";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return childPrograms(window->processId()) == QStringList{monitor}; }, 30000))
        << childPrograms(window->processId()).join(' ').toStdString();
    const QString log = installed.appData.filePath("swr.db");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return readLog(log, "SELECT Queue FROM SWR_Log WHERE Description = 'Installed job'")
                       .rows == QList<QStringList>{{queue}};
        },
        30000));
    ::kill(static_cast<pid_t>(window->processId()), SIGTERM);
    EXPECT_TRUE(endedCleanly(*window)) << window->readAllStandardError().toStdString();

    // Its Help action opens the installed help page in the desktop's browser, which
    // here only notes what it was given.
    ASSERT_TRUE(writeFile(installed.tools.filePath("xdg-open"),
                          "#!/bin/sh\necho \"$1\" > \"" +
                              installed.tools.filePath("opened").toUtf8() + "\"\n"));
    ASSERT_TRUE(QFile::setPermissions(installed.tools.filePath("xdg-open"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    std::unique_ptr<QProcess> help =
        installed.start(desktopEntryValue("Desktop Action help", "Exec"), display.name());
    EXPECT_TRUE(endedCleanly(*help)) << help->readAllStandardError().toStdString();
    const QString page = kRoot + "/usr/share/spoolwright/SWR.html";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return readFile(installed.tools.filePath("opened")).trimmed() ==
                   QUrl::fromLocalFile(page).toEncoded();
        },
        10000))
        << readFile(installed.tools.filePath("opened")).toStdString();
    EXPECT_TRUE(readFile(page).contains("<html"));
}

TEST(InstalledProgram, ItsVersionAndAnUnattendedServerReportRunFromTheUnpackedTree) {
    Installed installed;
    std::unique_ptr<QProcess> version = installed.start("spoolwright --version", QString());
    ASSERT_TRUE(endedCleanly(*version));
    EXPECT_EQ(version->readAllStandardOutput(), "Spoolwright " SPOOLWRIGHT_VERSION "\n");

    TestPrintServer server;
    const QString queue = server.newQueue("InstalledReport");
    ASSERT_FALSE(queue.isEmpty());
    ASSERT_TRUE(runCupsTool("lpadmin",
                            {"-h", server.address(), "-p", queue, "-o", "printer-is-shared=true"}));
    ASSERT_TRUE(installed.settings(server.address(), queue));
    // As a timer runs it: no display at all.
    std::unique_ptr<QProcess> report = installed.start("spoolwright /rpt:Server", QString());
    ASSERT_TRUE(endedCleanly(*report)) << report->readAllStandardError().toStdString();
    const QByteArray page = readFile(installed.temp.filePath("SWR_ServerReport.html"));
    EXPECT_TRUE(page.contains("<h2><u>Server Report:</u> " + server.address().toUtf8() + "</h2>"));
    EXPECT_TRUE(page.contains("<td>" + queue.toUtf8() + "</td>"));
}
