#include "form/ShapeColour.h"
#include "log/LogDatabase.h"
#include "support/Files.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QList<QStringList> reportAudits(FrmMain& w) {
    return LogRows(w.Log(), "SELECT Description FROM SWR_Audit WHERE Action = 'Report'");
}

QByteArray settingsWithReportsIn(const QString& folder, const QByteArray& more = QByteArray()) {
    return "Audit=True\r\nReportPath=" + folder.toUtf8() + "\r\n" + more;
}

} // namespace

TEST(Reports, LogReportIsWrittenOpenedAuditedAndReplacedOnTheNextRun) {
    QTemporaryDir reports;
    MainWindowHarness harness;
    FrmMain& w = harness.show(settingsWithReportsIn(reports.path()));
    const QString path = QDir(reports.path()).filePath("SWR_LogFullReport.html");
    ASSERT_TRUE(WriteFile(path, "an earlier report"));

    w.Menu("mnuLogFullReportHTML")->trigger();
    const QByteArray page = ReadFile(path);
    EXPECT_TRUE(page.startsWith("<html><head><meta charset=\"utf-8\"><title>Spoolwright</title>"));
    EXPECT_TRUE(page.contains("<h1>Spoolwright </h1>"));
    EXPECT_TRUE(page.endsWith("</td></tr></table></body></html>\r\n"));
    EXPECT_EQ(harness.desktop.opened, QList<QUrl>({QUrl::fromLocalFile(path)}));
    EXPECT_EQ(reportAudits(w), QList<QStringList>({{"Log Full Report"}}));

    w.Menu("mnuAuditRptActions")->trigger();
    // The audit row of the first report is in the second.
    EXPECT_TRUE(ReadFile(QDir(reports.path()).filePath("SWR_LogAuditActionsReport.html"))
                    .contains("<tr><td>Report</td><td>Log Full Report</td>"));
    EXPECT_EQ(harness.prompter.asked.size(), 0);
}

TEST(Reports, AReportThatCannotBeWrittenSaysWhereAndWhyAndOpensNothing) {
    QTemporaryDir reports;
    const QString missing = QDir(reports.path()).filePath("gone");
    MainWindowHarness harness;
    FrmMain& w = harness.show(settingsWithReportsIn(missing));

    w.Menu("mnuLogRptUser")->trigger();
    ASSERT_EQ(harness.prompter.asked.size(), 1);
    const RecordingPrompter::Asked& told = harness.prompter.asked.first();
    EXPECT_EQ(told.title, "Spoolwright");
    EXPECT_EQ(told.icon, Prompter::Icon::Critical);
    EXPECT_TRUE(told.text.contains(QDir(missing).filePath("SWR_LogUserReport.html")));
    EXPECT_TRUE(told.text.contains("No such file or directory")) << told.text.toStdString();
    EXPECT_TRUE(harness.desktop.opened.isEmpty());
    EXPECT_EQ(reportAudits(w), QList<QStringList>({{"Log User Report"}}));
}

TEST(Reports, LiveReportsReadTheWatchedQueueAndTheStoredFavourites) {
    QTemporaryDir reports;
    MainWindowHarness harness;
    FakeSpooler& server = harness.fake("testhost");
    server.addQueue({"Laser", "", "", "", "", 0});
    SpoolerPrinter laser;
    laser.Name = laser.ShareName = "Laser";
    laser.ExtendedPrinterStatus = 3;
    laser.Shared = true;
    server.printerList = {laser};
    server.addJob("Laser", 4, "Q3 figures", "ann");
    FrmMain& w = harness.show(settingsWithReportsIn(
        reports.path(), "Server=testhost\r\nQueue=Laser\r\n[Favourites]\r\n0=\r\n"
                        "1=testhost | Laser | AQ On | AR On | Print | 17:00 | AA \r\n"));
    ASSERT_EQ(w.CurrentPrintQueue->currentText(), "Laser");
    ShapeColour::set(w.ActiveUpdate, ShapeColour::Red);

    w.Menu("mnuPrinterReport")->trigger();
    const QByteArray printerPage =
        ReadFile(QDir(reports.path()).filePath("SWR_PrinterReport.html"));
    EXPECT_TRUE(printerPage.contains("<title>Spoolwright - Laser on testhost</title><script"));
    EXPECT_TRUE(printerPage.contains("<td>Disabled</td><td>Disabled</td></tr></table><a href='#'"));
    EXPECT_TRUE(printerPage.contains("<td>Q3 figures</td>"));
    EXPECT_EQ(ShapeColour::of(w.ActiveUpdate), ShapeColour::Green);

    w.Menu("mnuFavReport")->trigger();
    const QByteArray favPage = ReadFile(QDir(reports.path()).filePath("SWR_FavReport.html"));
    EXPECT_TRUE(favPage.contains("<td>Enabled</td><td>Print at 17:00*</td>"));
    EXPECT_FALSE(favPage.contains("<script"));

    w.Menu("mnuServerReportnj")->trigger();
    EXPECT_EQ(harness.desktop.opened.size(), 3);
    EXPECT_EQ(
        reportAudits(w),
        QList<QStringList>({{"testhost-Laser"}, {"Favourites Report Generated"}, {"testhost"}}));
}
