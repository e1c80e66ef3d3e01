#include "shell/WebLinks.h"
#include "form/PanelFrame.h"
#include "shell/PanelBrowser.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

const QByteArray kUpdatesShown = "ShowUpdates=True\r\n";

} // namespace

TEST(UpdateCheck, AnAnsweringServerShowsItsPageOnTheUpdatesPanel) {
    MainWindowHarness harness;
    FrmMain& w = harness.show(kUpdatesShown);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.WebVersion->toPlainText().contains("Up to date."); },
                                15000));
    EXPECT_EQ(harness.vendor.requests.value(0),
              "GET /cgi-bin/updatecheck.cgi?soft=SWR&vers=5.1.2 HTTP/1.1");
    EXPECT_TRUE(w.frmOnline->isVisible());
}

TEST(UpdateCheck, ARefusingOrSilentServerOnlyHidesThePanelAndNeverHoldsTheWindow) {
    for (bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "silent" : "refusing");
        LocalWebServer quiet(true);
        MainWindowHarness harness;
        harness.vendorServer = silent ? quiet.address() : LocalWebServer::refusingAddress();
        FrmMain& w = harness.show(kUpdatesShown);
        if (silent) {
            // Start-up is over while the server still keeps its answer.
            EXPECT_TRUE(QTest::qWaitFor([&] { return !quiet.requests.isEmpty(); }, 5000));
            EXPECT_TRUE(w.frmOnline->isVisible());
            bool ticked = false;
            QTimer::singleShot(0, &w, [&] { ticked = true; });
            EXPECT_TRUE(QTest::qWaitFor([&] { return ticked; }, 1000)); // the window is free
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w.frmOnline->isVisible(); }, 20000));
        EXPECT_TRUE(w.menu("mnuOnline")->isChecked()); // the panel stays ticked
    }
}

TEST(UpdateCheck, AnErrorPageOrAnAnswerOfAnotherFormIsAFailedCheck) {
    struct Answer {
        QByteArray status, type, page;
    };
    for (const Answer& answer : {Answer{"404 Not Found", "text/html", "<h1>Not Found</h1>"},
                                 Answer{"503 Service Unavailable", "text/plain", "Not Found"},
                                 Answer{"200 OK", "application/octet-stream", "Not Found"},
                                 Answer{"200 OK", "text/html", ""}}) {
        SCOPED_TRACE((answer.status + " " + answer.type).toStdString());
        MainWindowHarness harness;
        harness.vendor.status = answer.status;
        harness.vendor.contentType = answer.type;
        harness.vendor.page = answer.page;
        FrmMain& w = harness.show(kUpdatesShown);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return PanelBrowser::of(w.WebVersion).statusText() == PanelBrowser::kSiteNotFound;
            },
            20000));
        EXPECT_FALSE(w.frmOnline->isVisible());
        EXPECT_FALSE(w.WebVersion->toPlainText().contains("Not Found"));
        EXPECT_TRUE(w.menu("mnuOnline")->isChecked());
    }
}

TEST(WebLinks, HelpAboutWebsiteAndUpdateGoThroughTheDesktop) {
    MainWindowHarness harness;
    FrmMain& w = harness.show();
    w.menu("Help")->trigger();
    ASSERT_EQ(harness.desktop.opened.size(), 1);
    const QString page = harness.desktop.opened[0].toLocalFile();
    EXPECT_TRUE(page.endsWith("/SWR.html"));
    EXPECT_TRUE(QFileInfo(page).isFile()) << page.toStdString();

    w.menu("mnuNew")->trigger(); // a second copy beside this one
    EXPECT_EQ(harness.newCopies, 1);
    EXPECT_EQ(harness.endCalls, 0);

    harness.splash().hide();
    w.menu("mnuAbout")->trigger();
    EXPECT_TRUE(harness.splash().isVisible());
    EXPECT_EQ(harness.splash().Timer1->interval(), 10000);
    EXPECT_TRUE(harness.splash().Timer1->isActive());

    harness.desktop.opens = false;
    emit w.lblWebsite->linkActivated("site");
    EXPECT_EQ(harness.prompter.asked.value(0).text,
              "Error launching website - " + harness.vendorServer);

    // Cancel in the update question: nothing opened, the program runs on.
    harness.desktop.opened.clear();
    harness.prompter.answers = {Prompter::Answer::Cancel};
    w.mnuUpdate->click();
    EXPECT_EQ(harness.prompter.asked.value(1).title, "Update Spoolwright");
    EXPECT_TRUE(harness.desktop.opened.isEmpty());
    EXPECT_EQ(harness.endCalls, 0);

    harness.prompter.answers = {Prompter::Answer::Ok};
    w.mnuUpdate->click();
    EXPECT_EQ(harness.prompter.asked.value(3).text, "Error launching web update.");
    EXPECT_EQ(harness.endCalls, 0);

    harness.desktop.opens = true;
    w.mnuUpdate->click();
    EXPECT_EQ(harness.desktop.opened.last().toString(),
              "http://" + harness.vendorServer + "/cgi-bin/update.cgi?soft=SWR&vers=5.1.2");
    EXPECT_EQ(harness.endCalls, 1); // closed, so the settings were saved
}

TEST(WebLinks, BackStopsAtTheTopOfAShareListAndForwardReturns) {
    MainWindowHarness harness;
    FrmMain& w = harness.show("ShowNetwork=True\r\n");
    PanelBrowser& browser = PanelBrowser::of(w.WebServer);
    w.networkButtons[1]->click(); // this computer's shares
    EXPECT_EQ(browser.locationURL(), "file://testhost/");
    w.networkButtons[2]->click(); // back from the top of the list: stays
    EXPECT_EQ(browser.locationURL(), "file://testhost/");

    browser.navigate("http://" + harness.vendor.address() + "/elsewhere");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return w.WebServer->toPlainText().contains("Up to date."); }, 15000));
    w.networkButtons[2]->click();
    EXPECT_EQ(browser.locationURL(), "file://testhost/");
    w.networkButtons[3]->click();
    EXPECT_EQ(browser.locationURL(), "http://" + harness.vendor.address() + "/elsewhere");
}
