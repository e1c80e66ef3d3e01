#include "log/LiveReports.h"
#include "platform/CupsSpooler.h"
#include "support/TestPrintServer.h"

#include <gtest/gtest.h>

// A queue whose name is another's followed by a comma: each printer report lists
// its own jobs only, with the texts the job grids show.
TEST(LiveReportsOnServer, APrinterNameWithACommaShowsOnlyItsOwnJobs) {
    TestPrintServer server;
    const QString laser = TestPrintServer::uniqueQueueName("Laser");
    const QString annex = laser + QStringLiteral(",Annex");
    ASSERT_TRUE(server.addQueue(laser));
    ASSERT_TRUE(server.addQueue(annex));
    ASSERT_GT(server.submitJob(laser, "ann", "laser-minutes.txt", QByteArray(3000, 'l')), 0);
    ASSERT_GT(server.submitJob(annex, "bob", "annex-payroll.txt", "annex\n"), 0);

    CupsSpooler spooler(server.address(), kShortTimeouts);
    LiveReports reports([&spooler](const QString&) -> PrintSpooler* { return &spooler; }, {},
                        {"Acme", "Tag"});
    const QString laserPage = reports.PrinterReport(server.address(), laser, false);
    const QString annexPage = reports.PrinterReport(server.address(), annex, false);

    EXPECT_TRUE(laserPage.contains("<td>laser-minutes.txt</td>")) << laserPage.toStdString();
    EXPECT_FALSE(laserPage.contains("annex-payroll.txt")) << laserPage.toStdString();
    EXPECT_TRUE(annexPage.contains("<td>annex-payroll.txt</td>")) << annexPage.toStdString();
    EXPECT_FALSE(annexPage.contains("laser-minutes.txt")) << annexPage.toStdString();
    // The job's cells read as in the grids: its owner, and its size in whole kilobytes
    // as the server counts them.
    EXPECT_TRUE(annexPage.contains("<td>bob</td>"));
    EXPECT_TRUE(laserPage.contains("<td>3KB</td>")) << laserPage.toStdString();
}
