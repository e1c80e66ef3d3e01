#include "shell/Reports.h"
#include "support/Files.h"
#include "support/MainWindowHarness.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// A document name that runs script wherever a page inserts it unescaped.
const QString kHostileName =
    "<img src=x onerror=\"document.body.setAttribute('data-hacked','img')\">"
    "<script>document.body.setAttribute('data-hacked','script')</script>";

// Clicks a printer's "Show/Hide Jobs" link twice, noting after each click whether the
// jobs it names show, and leaves the notes on the page's body for the dump to carry.
QByteArray probeFor(const QString& printer) {
    return QStringLiteral("<script>(function () {"
                          "var link = document.querySelector(\"a[name='%1']\");"
                          "var id = link.getAttribute('onclick').match(/\"( \\d+ )\"/)[1];"
                          "var jobs = document.getElementById(id);"
                          "var seen = [getComputedStyle(jobs).display];"
                          "link.click(); seen.push(getComputedStyle(jobs).display);"
                          "link.click(); seen.push(getComputedStyle(jobs).display);"
                          "document.body.setAttribute('data-probe', seen.join(','));"
                          "})();</script>")
        .arg(printer)
        .toUtf8();
}

// The page as headless Chromium holds it once its scripts have run.
QString domAfterScripts(const QString& page, const QString& profile) {
    const QString browser = QStandardPaths::findExecutable("chromium");
    EXPECT_FALSE(browser.isEmpty()) << "the set-up installs chromium";
    QProcess chromium;
    chromium.start(browser,
                   {"--headless", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                    "--user-data-dir=" + profile, "--virtual-time-budget=3000", "--dump-dom",
                    QUrl::fromLocalFile(page).toString()});
    EXPECT_TRUE(chromium.waitForFinished(120000));
    return QString::fromUtf8(chromium.readAllStandardOutput());
}

} // namespace

TEST(ReportInBrowser, ServerReportShowsPrintersAndJobsTogglesThemAndRunsNoDocumentName) {
    TestPrintServer server;
    const QString first = server.newQueue("BrowserA");
    const QString second = server.newQueue("BrowserB");
    ASSERT_FALSE(first.isEmpty() || second.isEmpty());
    for (const QString& queue : {first, second})
        ASSERT_TRUE(runCupsTool(
            "lpadmin", {"-h", server.address(), "-p", queue, "-o", "printer-is-shared=true"}));
    ASSERT_GT(server.submitJob(first, "ann", "Quarterly figures", sampleText(2)), 0);
    ASSERT_GT(server.submitJob(first, "bob", kHostileName, sampleText(1)), 0);
    ASSERT_GT(server.submitJob(second, "eve", "Seating plan", sampleText(1)), 0);

    QTemporaryDir folder;
    MainWindowHarness harness;
    harness.useRealServers = true;
    FrmMain& w = harness.show(QStringLiteral("ReportPath=%1\r\nServer=%2\r\n")
                                  .arg(folder.path(), server.address())
                                  .toUtf8());
    bool written = false;
    ServerReport(w, server.address(), true, true, [&written](bool ok) { written = ok; });
    ASSERT_TRUE(waitForAnswers(w));
    ASSERT_TRUE(written);
    EXPECT_TRUE(harness.desktop.opened.isEmpty());

    const QString page = QDir(folder.path()).filePath("probed.html");
    ASSERT_TRUE(
        writeFile(page, readFile(reportFilePath(w, "SWR_ServerReport.html")) + probeFor(first)));
    const QString dom = domAfterScripts(page, QDir(folder.path()).filePath("profile"));

    EXPECT_TRUE(dom.contains("<h2><u>Server Report:</u> " + server.address() + "</h2>"))
        << dom.left(2000).toStdString();
    for (const QString& queue : {first, second})
        EXPECT_TRUE(dom.contains("<td>\\\\" + server.address() + "\\" + queue + "</td>"))
            << queue.toStdString();
    EXPECT_TRUE(dom.contains("<td>Quarterly figures</td>"));
    EXPECT_TRUE(dom.contains("<td>Seating plan</td>"));
    // Hidden at first, shown by the first click, hidden again by the second.
    EXPECT_TRUE(dom.contains("data-probe=\"none,block,none\"")) << dom.right(3000).toStdString();
    // The hostile name is text in its cell, and none of its script ran.
    EXPECT_TRUE(dom.contains("<td>&lt;img src=x onerror=\"document.body.setAttribute("));
    const qsizetype body = dom.indexOf("<body");
    const QString bodyTag = dom.mid(body, dom.indexOf('>', body) - body);
    EXPECT_TRUE(bodyTag.contains("data-probe")) << bodyTag.toStdString();
    EXPECT_FALSE(bodyTag.contains("data-hacked")) << bodyTag.toStdString();
}
