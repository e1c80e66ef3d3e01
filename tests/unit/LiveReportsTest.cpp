#include "log/LiveReports.h"

#include "platform/RandomBetween.h"
#include "platform/ServerName.h"
#include "support/FakeSpooler.h"

#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

SpoolerPrinter Printer(const QString& name, int status, bool shared) {
    SpoolerPrinter p;
    p.Name = name;
    p.ShareName = name;
    p.ExtendedPrinterStatus = status;
    p.Comment = "Floor <2>";
    p.Shared = shared;
    p.PortName = "socket://10.0.0.9";
    p.Location = "Hall";
    return p;
}

// A server with a warming-up shared printer holding two jobs, and an idle unshared
// printer with none.
class LiveReportsTest : public ::testing::Test {
protected:
    LiveReportsTest() {
        server.printerList = {Printer("Laser", 5, true), Printer("Plotter", 3, false)};
        server.addJob("Laser", 11, "<img src=x onerror=alert(1)>", "ann", 24).HostPrintQueue =
            "127.0.0.1";
        server.addJob("Laser", 12, "Minutes", "bob", 2);
        watched.server = "printhost";
        watched.queue = "Laser";
        watched.autoQueue = true;
        watched.autoRelease = true;
        watched.releasePrints = false;
        watched.releaseTime = "5:00 PM";
    }
    LiveReports reports() {
        return LiveReports(
            [this](const QString& name) -> PrintSpooler* {
                return name == "printhost" ? &server : nullptr;
            },
            watched, {"Acme", "Tag"});
    }

    FakeSpooler server{"printhost"};
    LiveReports::WatchedQueue watched;
};

} // namespace

TEST_F(LiveReportsTest, PrinterTableShowsStatusPathAndTheWatchedQueuesSetUp) {
    LiveReports r = reports();
    const QString laser = r.PrinterTable("printhost", "laser", false);
    EXPECT_EQ(laser,
              "<p><table border=1 cellpadding=2 cellspacing=0><tr><th align='center' colspan=10 "
              "style='border-width: 0px; background-color: #C0FFC0'>Printer</th></tr><tr "
              "style='border-width: 1px; background-color: #C0C0C0'><th>Status</th><th>Server</th>"
              "<th>Printer</th><th>Description</th><th>Shared</th><th>Path</th><th>Location</th>"
              "<th>Model</th><th>AutoQueue</th><th>AutoRelease</th></tr><tr><td style=''>Warming "
              "Up</td><td>printhost</td><td>laser</td><td>Floor &lt;2&gt;</td><td>True</td><td>"
              "\\\\printhost\\Laser</td><td>Hall</td><td>Laser</td><td>Enabled</td><td>Delete at "
              "5:00 PM</td></tr></table>");
    EXPECT_EQ(r.ReportPrinterName, "Laser");
    const QString plotter = r.PrinterTable("printhost", "Plotter", false);
    EXPECT_TRUE(plotter.contains("<td style='background-color: #00FF00'>Idle</td>"));
    EXPECT_TRUE(plotter.contains("<td>False</td><td>socket://10.0.0.9</td><td>Hall</td><td>"
                                 "Plotter</td><td></td><td></td></tr>"));
    EXPECT_EQ(r.PrinterTable("printhost", "Nowhere", false), "");
    EXPECT_EQ(r.PrinterTable("otherhost", "Laser", false), "");
    EXPECT_TRUE(
        r.PrinterTable(
             "printhost", "Laser", true,
             QString("printhost | Laser | AQ Off | AR On | Print | 5:00 PM | AA ").split(" | "))
            .contains("<td>Disabled</td><td>Print at 5:00 PM*</td></tr>"));
    EXPECT_EQ(LiveReports::printerStatusStyle(9), "'background-color: #FF0000'");
    EXPECT_EQ(LiveReports::printerStatusStyle(8), "'background-color: #FF9900'");
}

TEST_F(LiveReportsTest, JobsTableListsThePrintersJobsEscapedBehindALink) {
    LiveReports r = reports();
    // Until it is given, a computer shows as the server gave it.
    EXPECT_TRUE(r.JobsTable("printhost", "Laser", true).contains("<td>127.0.0.1</td>"));
    EXPECT_EQ(r.computersToName(), QStringList({"127.0.0.1", "desk7"}));
    r.nameComputers({{"127.0.0.1", "localhost"}, {"desk7", "desk7"}});
    EXPECT_TRUE(r.computersToName().isEmpty());
    const QString laser = r.JobsTable("printhost", "Laser", true);
    const QRegularExpression link(
        "^<a href='#' name='Laser' onclick='javascript:showhide\\(\" (\\d+) \"\\);'>Show/Hide "
        "Jobs</a><div id=' (\\d+) ' style='display:none;'><table border=1");
    const QRegularExpressionMatch match = link.match(laser);
    ASSERT_TRUE(match.hasMatch()) << laser.toStdString();
    EXPECT_EQ(match.captured(1), match.captured(2));
    // Spooling and printing together reads green; the host is named, the document escaped.
    EXPECT_TRUE(laser.contains("<tr><td style='background-color: #00FF00'>OK</td><td>localhost"
                               "</td><td>ann</td><td>&lt;img src=x onerror=alert(1)&gt;</td><td>1"
                               "</td><td>0</td><td>50</td><td>2KB</td><td>2026-12-05 09:00:11</td>"
                               "<td>11</td><td></td></tr>"))
        << laser.toStdString();
    EXPECT_TRUE(laser.contains("<td style='background-color: #FF0000'>Error</td>"));
    EXPECT_TRUE(laser.endsWith("</table></div></p>"));
    // A printer without jobs on a server with jobs gets the caption and header alone.
    const QString plotter = r.JobsTable("printhost", "Plotter", false);
    EXPECT_TRUE(plotter.startsWith("<div id=' "));
    EXPECT_TRUE(plotter.endsWith(
        "<th>Time Submitted</th><th>ID</th><th>Why Held</th></tr></table></div></p>"));
    EXPECT_EQ(r.JobsTable("otherhost", "Laser", true), "</p>");
}

TEST_F(LiveReportsTest, ServerAndFavouritesReportsListTheirPrinters) {
    const QString serverPage = reports().ServerReport("printhost", true);
    EXPECT_TRUE(serverPage.startsWith(
        "<html><head><meta charset=\"utf-8\"><title>Spoolwright - printhost</title><script"));
    EXPECT_TRUE(serverPage.contains("<h2><u>Server Report:</u> printhost</h2>"));
    EXPECT_EQ(serverPage.count("colspan=10 style='border-width: 0px; background-color: "
                               "#C0FFC0'>Printer"),
              1); // the unshared printer is not listed
    EXPECT_EQ(serverPage.count("Show/Hide Jobs"), 1);
    EXPECT_EQ(server.calls.value("printers"), 1);

    const QString favourites = reports().FavouritesReport(
        {"printhost | Laser | AQ On | AR Off", "", "nohost | Laser | AQ On | AR Off"});
    EXPECT_TRUE(favourites.startsWith(
        "<html><head><meta charset=\"utf-8\"><title>Spoolwright - </title></head>"));
    EXPECT_TRUE(favourites.contains("<h2><u>Favourites Report</u></h2>"));
    EXPECT_TRUE(favourites.contains("<td>Enabled</td><td>Disabled</td></tr></table><div id=' "));
    EXPECT_EQ(favourites.count("<table border=1"), 2);
    EXPECT_FALSE(favourites.contains("showhide"));
}

TEST(ReportHelpers, ComputerNamesAndRandomIds) {
    std::optional<QHash<QString, QString>> names;
    QObject context;
    queryServerNames({"127.0.0.1", "\\\\pc12", "192.0.2.1"}, NameLookup(), &context,
                     [&names](const QHash<QString, QString>& found) { names = found; });
    ASSERT_TRUE(QTest::qWaitFor([&names] { return names.has_value(); }, 10000));
    EXPECT_EQ(*names, (QHash<QString, QString>{{"127.0.0.1", "localhost"},
                                               {"\\\\pc12", "pc12"},
                                               {"192.0.2.1", "192.0.2.1"}})); // no name
    for (int i = 0; i < 200; ++i) {
        const qint64 n = RandomBetween(1, 3);
        EXPECT_TRUE(n >= 1 && n <= 3) << n;
    }
    EXPECT_EQ(RandomBetween(5, 5), 5);
}
