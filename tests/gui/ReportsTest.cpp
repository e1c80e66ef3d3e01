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
#include <QTimer>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

namespace {

QList<QStringList> reportAudits(FrmMain& w) {
    return logRows(w.log(), "SELECT Description FROM SWR_Audit WHERE Action = 'Report'");
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
    ASSERT_TRUE(writeFile(path, "an earlier report"));

    w.menu("mnuLogFullReportHTML")->trigger();
    const QByteArray page = readFile(path);
    EXPECT_TRUE(page.startsWith("<html><head><meta charset=\"utf-8\"><title>Spoolwright</title>"));
    EXPECT_TRUE(page.contains("<h1>Spoolwright </h1>"));
    EXPECT_TRUE(page.endsWith("</td></tr></table></body></html>\r\n"));
    EXPECT_EQ(harness.desktop.opened, QList<QUrl>({QUrl::fromLocalFile(path)}));
    EXPECT_EQ(reportAudits(w), QList<QStringList>({{"Log Full Report"}}));

    w.menu("mnuAuditRptActions")->trigger();
    // The audit row of the first report is in the second.
    EXPECT_TRUE(readFile(QDir(reports.path()).filePath("SWR_LogAuditActionsReport.html"))
                    .contains("<tr><td>Report</td><td>Log Full Report</td>"));
    EXPECT_EQ(harness.prompter.asked.size(), 0);
}

TEST(Reports, AReportThatCannotBeWrittenSaysWhereAndWhyAndOpensNothing) {
    QTemporaryDir reports;
    const QString missing = QDir(reports.path()).filePath("gone");
    MainWindowHarness harness;
    FrmMain& w = harness.show(settingsWithReportsIn(missing));

    w.menu("mnuLogRptUser")->trigger();
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
    FakeSpooler& server = harness.fakeWithSharedLaser();
    server.printerList[0].ExtendedPrinterStatus = 3;
    server.addJob("Laser", 4, "Q3 figures", "ann");
    FrmMain& w = harness.show(settingsWithReportsIn(
        reports.path(), "Server=testhost\r\nQueue=Laser\r\n[Favourites]\r\n0=\r\n"
                        "1=testhost | Laser | AQ On | AR On | Print | 17:00 | AA \r\n"));
    ASSERT_EQ(w.CurrentPrintQueue->currentText(), "Laser");
    ShapeColour::set(w.ActiveUpdate, ShapeColour::red);

    w.menu("mnuPrinterReport")->trigger();
    const QByteArray printerPage =
        readFile(QDir(reports.path()).filePath("SWR_PrinterReport.html"));
    EXPECT_TRUE(printerPage.contains("<title>Spoolwright - Laser on testhost</title><script"));
    EXPECT_TRUE(printerPage.contains("<td>Disabled</td><td>Disabled</td></tr></table><a href='#'"));
    EXPECT_TRUE(printerPage.contains("<td>Q3 figures</td>"));
    EXPECT_EQ(ShapeColour::of(w.ActiveUpdate), ShapeColour::green);

    w.menu("mnuFavReport")->trigger();
    const QByteArray favPage = readFile(QDir(reports.path()).filePath("SWR_FavReport.html"));
    EXPECT_TRUE(favPage.contains("<td>Enabled</td><td>Print at 17:00*</td>"));
    EXPECT_FALSE(favPage.contains("<script"));

    w.menu("mnuServerReportnj")->trigger();
    EXPECT_EQ(harness.desktop.opened.size(), 3);
    EXPECT_EQ(
        reportAudits(w),
        QList<QStringList>({{"testhost-Laser"}, {"Favourites Report Generated"}, {"testhost"}}));
}

TEST(Reports, ALiveReportNamesEachComputerOnceOffTheWindowsThreadAndGivesUpOnASilentOne) {
    // Twenty jobs from ten computers known by address, and one whose name never comes.
    struct Resolver {
        std::mutex mutex;
        QMap<QString, int> asked;
        std::promise<void> answer;
        std::shared_future<void> answered = answer.get_future().share();
        std::promise<void> never;
        std::shared_future<void> silentEnds = never.get_future().share();
    };
    auto resolver = std::make_shared<Resolver>();
    const QString silentHost = "192.0.2.99";
    QTemporaryDir reports;
    MainWindowHarness harness;
    harness.hostNameOf = [resolver, silentHost](const QString& address) {
        {
            const std::lock_guard<std::mutex> lock(resolver->mutex);
            ++resolver->asked[address];
        }
        if (address == silentHost) {
            resolver->silentEnds.wait();
            return QString("too-late");
        }
        resolver->answered.wait();
        return "pc-" + address.section('.', 3);
    };
    FakeSpooler& server = harness.fakeWithSharedLaser();
    for (int id = 1; id <= 20; ++id)
        server.addJob("Laser", id, "doc", "ann").HostPrintQueue =
            "192.0.2." + QString::number((id - 1) % 10 + 1);
    server.addJob("Laser", 21, "doc", "ann").HostPrintQueue = silentHost;
    FrmMain& w = harness.show(settingsWithReportsIn(reports.path(), "Server=testhost\r\n"));
    const auto asked = [resolver] {
        const std::lock_guard<std::mutex> lock(resolver->mutex);
        return resolver->asked;
    };

    w.menu("mnuServerReportnj")->trigger();
    // Every computer is asked at once, while the window goes on with its events.
    EXPECT_TRUE(QTest::qWaitFor([&asked] { return asked().size() == 11; }, 10000));
    bool handled = false;
    QTimer::singleShot(0, &w, [&handled] { handled = true; });
    EXPECT_TRUE(QTest::qWaitFor([&handled] { return handled; }, 10000));
    EXPECT_TRUE(harness.desktop.opened.isEmpty());
    EXPECT_TRUE(reportAudits(w).isEmpty());
    w.menu("mnuServerReportnj")->trigger(); // the same report meanwhile is not made twice

    resolver->answer.set_value();
    ASSERT_TRUE(waitForAnswers(w));
    resolver->never.set_value();
    const QByteArray page = readFile(QDir(reports.path()).filePath("SWR_ServerReport.html"));
    EXPECT_EQ(page.count("<td>pc-3</td>"), 2);
    EXPECT_EQ(page.count("<td>pc-10</td>"), 2);
    EXPECT_TRUE(page.contains("<td>192.0.2.99</td>")); // given up on: as the server gave it
    EXPECT_FALSE(page.contains("too-late"));
    for (const int times : asked())
        EXPECT_EQ(times, 1);
    EXPECT_EQ(harness.desktop.opened.size(), 1);
    EXPECT_EQ(reportAudits(w), QList<QStringList>({{"testhost"}}));
}
