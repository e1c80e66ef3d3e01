#include "session/QueueSession.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/TestPrintServer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

TEST(FavouritesOnServer, ActivatingConnectsSelectsTheQueueAndSetsItsAutoQueueControls) {
    TestPrintServer server;
    const QString queue = server.newQueue("Favourite");
    ASSERT_FALSE(queue.isEmpty());
    MainWindowHarness harness;
    harness.useRealServers = true;
    const QString favourite = QStringLiteral("%1 | %2 | AQ On | AR On | Print | 5:00 PM | AA ")
                                  .arg(server.address(), queue);
    FrmMain& w = harness.show(QStringLiteral("Server=%1\r\nAudit=True\r\n[Favourites]\r\n3=%2\r\n")
                                  .arg(server.address(), favourite)
                                  .toUtf8());
    ASSERT_TRUE(w.CurrentPrintQueue->currentText().isEmpty());
    ASSERT_TRUE(w.favbutton[3]->isVisibleTo(&w));
    const auto searches = [&] {
        return logRows(w.log(), QStringLiteral("SELECT Description FROM SWR_Audit WHERE "
                                               "Description = 'Search for queues on %1'")
                                    .arg(server.address()))
            .size();
    };
    ASSERT_EQ(searches(), 1); // at start-up
    w.optTimed[1]->setChecked(true);
    w.txtTimed->setText("9:00 AM");

    w.favbutton[3]->click();
    ASSERT_TRUE(waitForAnswers(w));
    EXPECT_EQ(searches(), 2);
    EXPECT_EQ(QueueSession::of(w).CurrentServer(), server.address());
    EXPECT_EQ(w.Settings.Server, server.address());
    EXPECT_EQ(w.CurrentPrintQueue->currentText(), queue);
    EXPECT_EQ(QueueSession::of(w).CurrentQueue(), queue);
    // The queue's properties were read from the server.
    EXPECT_TRUE(w.txtPrintPath->text().endsWith("/printers/" + queue))
        << w.txtPrintPath->text().toStdString();
    EXPECT_EQ(w.windowTitle(), queue + " on " + server.address() + " - Spoolwright");
    EXPECT_TRUE(w.chkAutoQueue->isChecked());
    EXPECT_TRUE(w.chkTimed->isChecked());
    EXPECT_TRUE(w.optTimed[0]->isChecked()); // "Print" replaces the "Delete" selected
    EXPECT_EQ(w.txtTimed->text(), "5:00 PM");
    EXPECT_TRUE(w.chkAA->isChecked());
    EXPECT_TRUE(harness.prompter.asked.isEmpty());
}
