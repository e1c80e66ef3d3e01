#include "form/JobGrid.h"
#include "session/QueueSession.h"
#include "support/MainWindowHarness.h"

#include <QCheckBox>
#include <QTreeWidget>
#include <gtest/gtest.h>

// Whose hold a job is under is told when its tool tip shows, from what is known then:
// ticking AutoQueue makes the queue's held jobs AutoQueue's without a word from the
// server, while a job held for authentication stays so, as releasing it would not
// print it.
TEST(WhyHeld, AutoQueuesHoldIsToldFromTheOperatorsAndFromAFailedLogin) {
    MainWindowHarness harness;
    FakeSpooler& fake = harness.fake("alpha");
    fake.addQueue({"Laser", {}, {}, {}, {}, 0});
    fake.addJob("Laser", 1, "Kept", "ann", 1).holdUntil = "indefinite";
    SpoolerJob& locked = fake.addJob("Laser", 2, "Locked out", "bob", 1);
    locked.holdUntil = "auth-info-required";
    locked.stateReasons = {"cups-held-for-authentication"};
    fake.addJob("Laser", 3, "Printing", "cy");
    FrmMain& w = harness.show("Server=alpha\r\nQueue=Laser\r\n");
    const auto tip = [&w](int id) {
        const QTreeWidgetItem* row = w.jobGrid().rowOf("Laser, " + QString::number(id));
        return row ? row->toolTip(JobColumn::Status) : QString("(no row)");
    };
    EXPECT_EQ(tip(1), "Held by the operator");
    EXPECT_EQ(tip(2), "Held for authentication");
    EXPECT_FALSE(tip(3).startsWith("Held")); // nothing holds it

    // Under AutoQueue every held job of the queue waits for its release.
    w.chkAutoQueue->setChecked(true);
    QueueSession::of(w).setJobsStale(true);
    ASSERT_TRUE(runPollTick(w));
    EXPECT_EQ(tip(1), "Held by AutoQueue");
    EXPECT_EQ(tip(2), "Held for authentication");
    EXPECT_EQ(tip(3), "Held by AutoQueue");

    // Off again: the program's own hold stays its own, the queue's hold is gone.
    w.chkAutoQueue->setChecked(false);
    EXPECT_EQ(tip(1), "Held by the operator");
    EXPECT_EQ(tip(3), "Held by AutoQueue");
}
