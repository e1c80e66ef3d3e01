#include "shell/WebLinks.h"
#include "support/MainWindowHarness.h"
#include "support/TestPrintServer.h"

#include <QComboBox>
#include <QTextBrowser>
#include <gtest/gtest.h>

TEST(NetworkPanel, ServerSharesListTheSharedPrintersWithTheirAddresses) {
    TestPrintServer server;
    const QString shared = server.newQueue("Shared");
    const QString hidden = server.newQueue("Private");
    ASSERT_FALSE(shared.isEmpty());
    ASSERT_FALSE(hidden.isEmpty());
    ASSERT_TRUE(runCupsTool(
        "lpadmin", {"-h", server.address(), "-p", shared, "-o", "printer-is-shared=true"}));
    ASSERT_TRUE(runCupsTool(
        "lpadmin", {"-h", server.address(), "-p", hidden, "-o", "printer-is-shared=false"}));

    MainWindowHarness harness;
    harness.useRealServers = true;
    FrmMain& w = harness.show("ShowNetwork=True\r\nServer=" + server.address().toUtf8() + "\r\n");
    w.CurrentPrinter->setEditText(server.address());
    Image2_Click(w);
    const QString page = w.WebServer->toPlainText();
    EXPECT_TRUE(page.contains(shared)) << page.toStdString();
    EXPECT_TRUE(page.contains("ipp://" + server.address() + "/printers/" + shared))
        << page.toStdString();
    EXPECT_FALSE(page.contains(hidden)) << page.toStdString();
}
