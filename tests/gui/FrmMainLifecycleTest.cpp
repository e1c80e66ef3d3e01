#include "app/SignalBridge.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>

namespace {

class FrmMainLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        window = &harness.create();
        harness.onEnd = [this] {
            timersStopped = !window->Timer1->isActive() && !window->Timer2->isActive();
            splashOpen = harness.splash().isVisible();
            settingsWritten = harness.readAppDataFile("swr.ini").startsWith("[Spoolwright]");
        };
    }

    // The process was ended, the timers stopped and the settings written before.
    void expectShutDown() {
        EXPECT_GE(harness.endCalls, 1);
        EXPECT_TRUE(timersStopped);
        EXPECT_TRUE(settingsWritten);
        EXPECT_FALSE(window->isVisible());
    }

    MainWindowHarness harness;
    FrmMain* window = nullptr;
    // What was already true when the process was asked to end.
    bool timersStopped = false, splashOpen = true, settingsWritten = false;
};

} // namespace

TEST_F(FrmMainLifecycle, TheSplashTimerLoadsTheWindowAndClosesWithTheFullSplashLine) {
    harness.splash().onTimer = [this] { showFrmMain(*window); };
    harness.splash().show();
    harness.splash().Timer1_Timer();
    ASSERT_TRUE(waitForAnswers(*window));
    EXPECT_TRUE(window->loaded);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(harness.splash().isVisible());
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_FALSE(window->Timer2->isActive()); // the poll starts only with a chosen queue

    // With no remembered server the local computer's name is used, and with no
    // remembered queue the splash still names the (empty) queue.
    EXPECT_EQ(window->CurrentPrinter->currentText(), "testhost");
    EXPECT_EQ(harness.splash().lblStatus->text(),
              QStringLiteral("Loading....     History, Internet Connection, Settings, "
                             "Favourites, Server (testhost), WMI Connection, Queue (), "
                             "WMI Job Monitor, Done."));
}

TEST_F(FrmMainLifecycle, ClosingRunsTheShutdownInOrderAndEndsTheProcessOnce) {
    harness.splash().show();
    showFrmMain(*window);
    window->Timer2->start();

    window->close();
    expectShutDown();
    EXPECT_EQ(harness.endCalls, 1);
    EXPECT_FALSE(splashOpen);
    window->close(); // a second close must not run the shutdown again
    EXPECT_EQ(harness.endCalls, 1);
}

TEST_F(FrmMainLifecycle, ExitEntryUnloadsTheWindowAndEndsTheProcess) {
    showFrmMain(*window);
    window->menu("menuExit")->trigger();
    expectShutDown();
}

TEST_F(FrmMainLifecycle, SigtermClosesTheWindowThroughTheNormalShutdown) {
    SignalBridge bridge;
    closeOnTermination(bridge, *window);
    showFrmMain(*window);

    ::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([this] { return harness.endCalls > 0; }, 5000));
    expectShutDown();
}

TEST(ProgramAudit, StartAndShutdownLeaveTheirRowsOnlyWhenAuditIsOn) {
    for (const char* audit : {"True", "False"}) {
        MainWindowHarness harness;
        FrmMain& w = harness.show(QByteArray("Audit=") + audit);
        w.close();
        EXPECT_EQ(logRows(w.log(), "SELECT Description FROM SWR_Audit WHERE Action = 'Program'"),
                  qstrcmp(audit, "True") == 0
                      ? QList<QStringList>({{"Spoolwright Started"}, {"Spoolwright Shutdown"}})
                      : QList<QStringList>())
            << audit;
    }
}

TEST_F(FrmMainLifecycle, ServerTextIsNeverTakenForMarkup) {
    harness.writeAppDataFile(QStringLiteral("swr.ini"),
                             "[Spoolwright]\r\nServer=<h1><font color=red>X\r\n");
    harness.splash().show();
    showFrmMain(*window);
    EXPECT_TRUE(harness.splash().lblStatus->text().contains(QStringLiteral("<h1>")));
    for (const QLabel* label :
         {harness.splash().lblStatus, window->statusPanels[0], window->statusPanels[1],
          window->SearchStatus, window->ServerStatus, window->LabelPrintQueues})
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}
