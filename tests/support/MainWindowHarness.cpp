#include "support/MainWindowHarness.h"

#include "support/Files.h"

#include <QDir>

MainWindowHarness::MainWindowHarness() : savedAppData_(qgetenv("APPDATA")) {
    qputenv("APPDATA", appData_.path().toLocal8Bit());
}

MainWindowHarness::~MainWindowHarness() {
    window_.reset();
    splash_.reset();
    qputenv("APPDATA", savedAppData_);
}

void MainWindowHarness::writeAppDataFile(const QString& name, const QByteArray& content) {
    writeFile(QDir(appData_.path()).filePath(name), content);
}

QByteArray MainWindowHarness::readAppDataFile(const QString& name) const {
    return readFile(QDir(appData_.path()).filePath(name));
}

FakeSpooler& MainWindowHarness::fake(const QString& server) {
    FakeSpooler*& known = fakeByName_[server];
    if (!known) {
        fakes_[server] = std::make_unique<FakeSpooler>(server);
        known = fakes_[server].get();
    }
    return *known;
}

FakeSpooler& MainWindowHarness::fakeWithSharedLaser() {
    FakeSpooler& server = fake("testhost");
    server.addQueue({"Laser", "", "", "", "", 0});
    SpoolerPrinter laser;
    laser.Name = laser.ShareName = "Laser";
    laser.Shared = true;
    server.printerList = {laser};
    return server;
}

FrmMain& MainWindowHarness::create() {
    splash_ = std::make_unique<frmSplash>(60 * 60 * 1000);
    FrmMainServices services;
    services.environment = &environment;
    services.clock = &clock;
    services.prompter = &prompter;
    services.desktop = &desktop;
    services.monitorProgram = monitorProgram;
    services.hostNameOf = hostNameOf;
    services.arguments = arguments;
    services.vendorServer = vendorServer;
    services.endProcess = [this](int) {
        if (++endCalls == 1 && onEnd)
            onEnd();
    };
    services.startNewCopy = [this] { ++newCopies; };
    if (makeSpooler)
        services.makeSpooler = makeSpooler;
    else if (!useRealServers)
        services.makeSpooler = [this](const QString& server) -> std::unique_ptr<PrintSpooler> {
            fake(server);
            return std::move(fakes_[server]);
        };
    window_ = std::make_unique<FrmMain>(services, splash_.get());
    wireFrmMain(*window_);
    return *window_;
}

FrmMain& MainWindowHarness::show(const QByteArray& settings) {
    if (!settings.isEmpty())
        writeAppDataFile("swr.ini", "[Spoolwright]\r\n" + settings);
    loadWindow(create());
    return window();
}
