#include "app/SignalBridge.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// What was already true when the process was asked to end.
struct AtEnd {
    bool timersStopped = false;
    bool splashOpen = true;
    bool settingsWritten = false;
};

class FrmMainLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        window = &harness.create();
        harness.onEnd = [this] {
            atEnd.timersStopped = !window->Timer1->isActive() && !window->Timer2->isActive();
            atEnd.splashOpen = harness.splash().isVisible();
            atEnd.settingsWritten = !harness.readAppDataFile(QStringLiteral("swr.ini")).isEmpty();
        };
    }

    MainWindowHarness harness;
    FrmMain* window = nullptr;
    AtEnd atEnd;
};

QStringList headers(const QTreeWidget* grid) {
    QStringList texts;
    for (int c = 0; c < grid->columnCount(); ++c)
        texts << grid->headerItem()->text(c);
    return texts;
}

} // namespace

TEST_F(FrmMainLifecycle, LoadsCaptionedWithBothGridsAndTheFullSplashLine) {
    harness.splash().show();
    ShowFrmMain(*window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Spoolwright"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_FALSE(window->Timer2->isActive()); // the poll starts only with a chosen queue

    EXPECT_EQ(headers(window->JobList),
              QStringList({"Status", "Description", "Computer", "User", "Pages", "Printed",
                           "Priority", "Size", "Submitted", "ID", "Name"}));
    EXPECT_EQ(headers(window->SearchList),
              QStringList({"Status", "Description", "Computer", "User", "Printer", "Pages",
                           "Printed", "Priority", "Size", "Submitted", "ID", "Name"}));

    // With no remembered server the local computer's name is used, and with no
    // remembered queue the splash still names the (empty) queue.
    EXPECT_EQ(window->CurrentPrinter->currentText(), QStringLiteral("testhost"));
    EXPECT_EQ(harness.splash().lblStatus->text(),
              QStringLiteral("Loading....     History, Internet Connection, Settings, "
                             "Favourites, Server (testhost), WMI Connection, Queue (), "
                             "WMI Job Monitor, Done."));
    EXPECT_EQ(
        window->StatusBar1->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly).size(), 4);
}

TEST_F(FrmMainLifecycle, ClosingRunsTheShutdownInOrderAndEndsTheProcessOnce) {
    harness.splash().show();
    ShowFrmMain(*window);
    window->Timer2->start();

    window->close();

    EXPECT_EQ(harness.endCalls, 1);
    EXPECT_TRUE(atEnd.timersStopped);
    EXPECT_TRUE(atEnd.settingsWritten);
    EXPECT_FALSE(atEnd.splashOpen);
    window->close(); // a second close must not run the shutdown again
    EXPECT_EQ(harness.endCalls, 1);
}

TEST_F(FrmMainLifecycle, ExitEntryUnloadsTheWindowAndEndsTheProcess) {
    ShowFrmMain(*window);
    window->Menu(QStringLiteral("menuExit"))->trigger();
    EXPECT_GE(harness.endCalls, 1);
    EXPECT_TRUE(atEnd.timersStopped);
    EXPECT_TRUE(atEnd.settingsWritten);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FrmMainLifecycle, SigtermClosesTheWindowThroughTheNormalShutdown) {
    SignalBridge bridge;
    CloseOnTermination(bridge, *window);
    ShowFrmMain(*window);

    ::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([this] { return harness.endCalls > 0; }, 5000));
    EXPECT_TRUE(atEnd.timersStopped);
    EXPECT_TRUE(atEnd.settingsWritten);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FrmMainLifecycle, SplashTimerShowsTheMainWindowAndCloses) {
    harness.splash().onTimer = [this] { ShowFrmMain(*window); };
    harness.splash().show();
    harness.splash().Timer1_Timer();
    EXPECT_TRUE(window->Loaded);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(harness.splash().isVisible());
    EXPECT_TRUE(harness.splash().lblStatus->text().endsWith(QStringLiteral("Done.")));
}

TEST(ProgramAudit, StartAndShutdownLeaveTheirRowsOnlyWhenAuditIsOn) {
    for (const bool audit : {true, false}) {
        MainWindowHarness harness;
        harness.writeAppDataFile(QStringLiteral("swr.ini"),
                                 audit ? "[Spoolwright]\r\nAudit=True\r\n"
                                       : "[Spoolwright]\r\nAudit=False\r\n");
        FrmMain& w = harness.create();
        ShowFrmMain(w);
        w.close();
        const auto rows = LogRows(w.Log(), QStringLiteral("SELECT Action, Description FROM "
                                                          "SWR_Audit WHERE Action = 'Program'"));
        if (audit)
            EXPECT_EQ(rows, QList<QStringList>({{"Program", "Spoolwright Started"},
                                                {"Program", "Spoolwright Shutdown"}}));
        else
            EXPECT_TRUE(rows.isEmpty());
    }
}

TEST_F(FrmMainLifecycle, ServerTextIsNeverTakenForMarkup) {
    harness.writeAppDataFile(QStringLiteral("swr.ini"),
                             "[Spoolwright]\r\nServer=<h1><font color=red>X\r\n");
    harness.splash().show();
    ShowFrmMain(*window);
    EXPECT_TRUE(harness.splash().lblStatus->text().contains(QStringLiteral("<h1>")));
    for (const QLabel* label :
         {harness.splash().lblStatus, window->StatusPanels[0], window->StatusPanels[1],
          window->SearchStatus, window->ServerStatus, window->LabelPrintQueues})
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}
