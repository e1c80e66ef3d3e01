#pragma once

#include "app/FrmMainEvents.h"
#include "form/FrmMain.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

// What the benchmarks that drive the main window share.

// Before the application is made: no display needs no window system, and the
// settings and temporary folders are the benchmark's own.
inline void useBenchFolders(const QString& folder) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("APPDATA", QFile::encodeName(folder));
    qputenv("TEMP", QFile::encodeName(folder));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

// A benchmark that cannot go on throws this; runBenchmark says why.
struct Failure {
    QString what;
};

// A benchmark's main(): folders of its own, an application, output by the line, and
// a failure said on standard error with exit status 2.
template <typename Benchmark>
int runBenchmark(const char* name, int argc, char** argv, Benchmark benchmark) {
    QTemporaryDir folder;
    useBenchFolders(folder.path());
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    try {
        return benchmark(app.arguments());
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s: %s\n", name, qPrintable(failure.what));
        return 2;
    }
}

// The [Spoolwright] section a benchmark's window starts from: the server, queue and
// log folder, then any further lines.
inline QByteArray benchSettings(const QString& address, const QString& queue,
                                const QString& logFolder, const QString& more = {}) {
    return (QStringLiteral("[Spoolwright]\r\nServer=%1\r\nQueue=%2\r\nLogPath=%3\r\n")
                .arg(address, queue, logFolder) +
            more)
        .toUtf8();
}

// Writes the settings file the window reads at start-up.
inline void writeBenchSettings(const QByteArray& settings) {
    QFile file(QDir(qEnvironmentVariable("APPDATA")).filePath(QStringLiteral("swr.ini")));
    if (!file.open(QIODevice::WriteOnly) || file.write(settings) != settings.size())
        throw Failure{QStringLiteral("cannot write the settings")};
}

// Makes `folder` with a new log in it, copied from the template beside the
// program's executables as the program would copy it. Empty when it cannot.
inline QString freshLogFolder(const QString& folder) {
    const QDir executables(QCoreApplication::applicationDirPath());
    QString source = executables.filePath(QStringLiteral("swr.db"));
    if (!QFile::exists(source))
        source = executables.filePath(QStringLiteral("../bin/swr.db"));
    const QString log = QDir(folder).filePath(QStringLiteral("swr.db"));
    if (!QDir().mkpath(folder) || !QFile::copy(source, log) ||
        !QFile::setPermissions(log, QFile::permissions(log) | QFileDevice::WriteOwner))
        return QString();
    return folder;
}

// An event posted to the window's thread every `everyMs`, from when it is made:
// longestMs() is the longest one of them waited beyond its time, the longest the
// window's thread was kept from its events.
class StallProbe {
public:
    explicit StallProbe(int everyMs) : everyMs_(everyMs) {
        since_.start();
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = since_.elapsed();
            longest_ = std::max(longest_, now - last_ - everyMs_);
            last_ = now;
        });
        timer_.start(everyMs);
    }
    void stop() { timer_.stop(); }
    qint64 longestMs() const { return longest_; }
    // Since the probe was made.
    qint64 elapsedMs() const { return since_.elapsed(); }

private:
    int everyMs_;
    QElapsedTimer since_;
    QTimer timer_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

// A main window for a benchmark: the environment and clock of the process, a process
// that never ends by the window's hand, and nobody to answer a question: every
// message counts as "No" (or the answer given) and is printed, since a question is
// a fault of the run unless the benchmark means to answer it.
class BenchWindow {
public:
    explicit BenchWindow(
        const char* bench,
        std::function<std::unique_ptr<PrintSpooler>(const QString&)> makeSpooler = {},
        Prompter::Answer answer = Prompter::Answer::No, const QString& monitorProgram = {},
        std::function<QString(const QString&)> hostNameOf = {})
        : prompter_(bench, answer) {
        FrmMainServices services;
        services.environment = &environment_;
        services.clock = &clock_;
        services.prompter = &prompter_;
        services.endProcess = [](int) {};
        // The update check stays on this computer: nothing listens there.
        services.vendorServer = QStringLiteral("127.0.0.1:1");
        services.makeSpooler = std::move(makeSpooler);
        services.monitorProgram = monitorProgram;
        services.hostNameOf = std::move(hostNameOf);
        form_ = std::make_unique<FrmMain>(services);
        wireFrmMain(*form_);
    }
    FrmMain& form() { return *form_; }

private:
    class ReportingPrompter : public Prompter {
    public:
        ReportingPrompter(const char* bench, Answer answer) : bench_(bench), answer_(answer) {}
        Answer message(const QString& title, const QString& text, Icon, Buttons) override {
            if (answer_ == Answer::No)
                std::fprintf(stderr, "%s: the window said \"%s: %s\"\n", bench_, qPrintable(title),
                             qPrintable(text));
            return answer_;
        }
        std::optional<QString> input(const QString&, const QString&, const QString&) override {
            return std::nullopt;
        }

    private:
        const char* bench_;
        Answer answer_;
    };

    Environment environment_;
    Clock clock_;
    ReportingPrompter prompter_;
    std::unique_ptr<FrmMain> form_;
};
