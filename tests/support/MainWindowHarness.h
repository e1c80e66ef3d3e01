#pragma once

#include "app/FrmMainEvents.h"
#include "app/Startup.h"
#include "form/FrmMain.h"
#include "form/frmSplash.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "session/QueuePoll.h"
#include "session/StatusRedraw.h"
#include "shell/AwaitedAnswers.h"
#include "support/FakeSpooler.h"
#include "support/LocalWebServer.h"
#include "support/RecordingDesktop.h"
#include "support/RecordingPrompter.h"

#include <QHash>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <map>
#include <memory>

// The real time of day until a test sets one.
class SettableClock : public Clock {
public:
    QDateTime time;
    QDateTime now() const override { return time.isValid() ? time : QDateTime::currentDateTime(); }
};

// The process environment, with variables a test sets for one window alone: a
// test that runs several windows as several stations gives each its own
// COMPUTERNAME, USERNAME and APPDATA.
class WindowEnvironment : public Environment {
public:
    QHash<QString, QString> overrides;
    QString variable(const QString& name) const override {
        return overrides.contains(name) ? overrides.value(name) : Environment::variable(name);
    }
};

// A main window as the program makes it, with its own application data folder, a
// splash that never fires by itself, a recording prompter, and the end of the
// process recorded instead of done.
class MainWindowHarness {
public:
    MainWindowHarness();
    ~MainWindowHarness();

    // Writes a file into the application data folder before the window loads.
    void writeAppDataFile(const QString& name, const QByteArray& content);
    QByteArray readAppDataFile(const QString& name) const; // see readFile
    QString appDataPath() const { return appData_.path(); }

    // The fake print server the window gets for this server name, before and after
    // the window takes it. Without useRealServers every server is a fake.
    FakeSpooler& fake(const QString& server);
    // The fake server "testhost" with one queue, Laser, shared as a printer.
    FakeSpooler& fakeWithSharedLaser();
    bool useRealServers = false;
    // Makes each server's spooler in the window's place when set, for a test that
    // stands between the window and a real server.
    std::function<std::unique_ptr<PrintSpooler>(const QString&)> makeSpooler;
    // The program's arguments; none unless a test sets them.
    QStringList arguments;
    // The job monitor the window starts; none unless a test sets it.
    QString monitorProgram;
    // Names the addresses jobs came from; the system's resolver unless a test sets it.
    std::function<QString(const QString&)> hostNameOf;

    // Makes the window (not yet loaded).
    FrmMain& create();
    // Writes `settings` after "[Spoolwright]" into swr.ini (unless empty), makes the
    // window and loads it, until start-up has had the server's answer.
    FrmMain& show(const QByteArray& settings = QByteArray());
    FrmMain& window() { return *window_; }
    frmSplash& splash() { return *splash_; }

    RecordingPrompter prompter;
    RecordingDesktop desktop;
    // The vendor's web server the window asks for updates: one on this computer
    // that answers, unless a test sets another address before the window is made.
    LocalWebServer vendor;
    QString vendorServer = vendor.address();
    WindowEnvironment environment;
    SettableClock clock;
    int endCalls = 0;
    int newCopies = 0; // copies of the program started in the window's place
    // Runs at the moment the process would end (first time only).
    std::function<void()> onEnd;

private:
    std::map<QString, std::unique_ptr<FakeSpooler>> fakes_; // until the window takes them
    std::map<QString, FakeSpooler*> fakeByName_;
    QTemporaryDir appData_;
    QByteArray savedAppData_;
    std::unique_ptr<frmSplash> splash_;
    std::unique_ptr<FrmMain> window_;
};

// Waits until every answer the window asked for off its thread (a connection, a
// reload, a live report's names) has been applied.
inline bool waitForAnswers(FrmMain& window) {
    return QTest::qWaitFor([&window] { return AwaitedAnswers::count(window) == 0; }, 30000);
}

// Loads and shows a window made with create(), until start-up has had the server's
// answer.
inline bool loadWindow(FrmMain& window) {
    showFrmMain(window);
    return waitForAnswers(window);
}

// One tick of the poll, waited for until its answer has been applied, and the answers
// of what it started (a favourite it switched to).
inline bool runPollTick(FrmMain& window) {
    Timer2_Timer(window);
    return QTest::qWaitFor([&window] { return !QueuePoll::of(window).inFlight(); }, 30000) &&
           waitForAnswers(window);
}
