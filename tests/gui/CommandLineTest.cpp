#include "support/Files.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A window started with these arguments on a server with one shared printer.
FrmMain& startWith(MainWindowHarness& harness, const QStringList& arguments,
                   const QString& reportFolder) {
    harness.fakeWithSharedLaser();
    harness.arguments = arguments;
    return harness.show(
        ("Audit=True\r\nServer=testhost\r\nQueue=Laser\r\nReportPath=" + reportFolder +
         "\r\n[Favourites]\r\n0=testhost | Laser | AQ On | AR Off\r\n")
            .toUtf8());
}

} // namespace

TEST(CommandLineSwitches, ReportSwitchesWriteTheirReportUnopenedAndShutDown) {
    const std::pair<const char*, const char*> switches[] = {
        {"/rpt:Printer", "SWR_PrinterReport.html"},
        {"/rpt:Server", "SWR_ServerReport.html"},
        {"/rpt:Fav", "SWR_FavReport.html"}};
    for (const auto& [argument, file] : switches) {
        QTemporaryDir reports;
        MainWindowHarness harness;
        // One argument: a blank between switches would join the switch before it.
        FrmMain& w =
            startWith(harness, {QString("/menu:Simple") + argument + "/otherhost"}, reports.path());
        EXPECT_TRUE(readFile(QDir(reports.path()).filePath(file)).contains("<td>Laser</td>"))
            << argument;
        EXPECT_TRUE(harness.desktop.opened.isEmpty());
        EXPECT_EQ(harness.endCalls, 1);
        EXPECT_TRUE(harness.splash().lblStatus->text().endsWith(" Report."));
        EXPECT_EQ(
            logRows(w.log(), "SELECT Description FROM SWR_Audit WHERE Action = 'Program'").last(),
            QStringList({"Spoolwright Shutdown"}));
        // Nothing after the report switch was acted on; the argument before it was.
        EXPECT_NE(w.Settings.Server, "otherhost");
        EXPECT_EQ(w.Settings.SimpleView, "Full Menu"); // the style applies to this run only
        EXPECT_FALSE(w.menu("mnuReports")->isVisible());
    }
}

TEST(CommandLineSwitches, MenuStylesAndServerNamesGoOnAndTheLastWins) {
    QTemporaryDir reports;
    MainWindowHarness harness;
    FrmMain& w = startWith(harness, {"/menu:No/menu:Classic", "/rpt:server"}, reports.path());
    EXPECT_EQ(harness.endCalls, 0);
    // The arguments are joined by a blank: "menu:Classic " is a server name, then
    // "rpt:server" (no switch in lower case) takes its place.
    EXPECT_EQ(w.Settings.Server, "rpt:server");
    EXPECT_FALSE(w.menu("mnuHelpTop")->isVisible());
    EXPECT_EQ(w.CurrentPrinter->currentText(), "testhost"); // the connection stays
    EXPECT_TRUE(QDir(reports.path()).entryList(QDir::Files).isEmpty());
}

TEST(CommandLineSwitches, QuestionMarkOpensTheHelpPageAndShutsDown) {
    QTemporaryDir reports;
    MainWindowHarness harness;
    startWith(harness, {"/?/rpt:Fav"}, reports.path());
    EXPECT_EQ(harness.desktop.opened,
              QList<QUrl>({QUrl::fromLocalFile(
                  QDir(harness.environment.programFolder()).filePath("SWR.html"))}));
    EXPECT_EQ(harness.endCalls, 1);
    EXPECT_FALSE(QFileInfo::exists(QDir(reports.path()).filePath("SWR_FavReport.html")));
}
