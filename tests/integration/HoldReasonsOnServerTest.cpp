#include "control/GridActions.h"
#include "form/JobGrid.h"
#include "log/LiveReports.h"
#include "platform/CupsSpooler.h"
#include "platform/JobText.h"
#include "support/MainWindowHarness.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// The job as the server lists it now; nothing once it is gone.
std::optional<SpoolerJob> listed(CupsSpooler& spooler, const QString& queue, int id) {
    for (const SpoolerJob& job : spooler.queueJobs(queue))
        if (job.JobId == id)
            return job;
    return std::nullopt;
}

} // namespace

// Jobs held and kept waiting for every reason the sandbox server can give: the words
// the operator reads in the grids' tool tips, the job action dialog and the live
// report are made from what the server says of each.
TEST(HoldReasonsOnServer, TheServersReasonsBecomeTheOperatorsWords) {
    TestPrintServer server;
    const QString held = server.newQueue("WhyHeld");
    const QString stopped = server.newQueue("WhyStopped");
    const QString locked = server.newQueue("WhyLocked", true);
    // A queue that passes its jobs on to the locked one without a password: the
    // server holds them for authentication once the forwarding fails for want of one.
    const QString forwarding = server.newQueue("WhyForward");
    ASSERT_FALSE(held.isEmpty() || stopped.isEmpty() || locked.isEmpty() || forwarding.isEmpty());
    ASSERT_TRUE(runCupsTool("lpadmin", {"-h", server.address(), "-p", forwarding, "-v",
                                        "ipp://" + server.address() + "/printers/" + locked}));
    ASSERT_TRUE(runCupsTool("cupsdisable", {"-h", server.address(), stopped}));

    // Twelve hours from now, so that the time never comes during the test.
    const QDateTime later = QDateTime::currentDateTimeUtc().addSecs(12 * 3600);
    const int byHand = server.submitJob(held, "ann", "Kept", sampleText(2));
    const int timed = submitJobWith(server.address(), held, "bob", "Timed", sampleText(2),
                                    {"-H", later.toString("HH:mm")});
    const int waiting =
        submitJobWith(server.address(), stopped, "carol", "Waiting", sampleText(2), {});
    const int needsLogin =
        submitJobWith(server.address(), forwarding, "dave", "Locked out", sampleText(2), {});
    ASSERT_GT(std::min({byHand, timed, waiting, needsLogin}), 0);

    CupsSpooler spooler(server.address(), kShortTimeouts);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::optional<SpoolerJob> job = listed(spooler, forwarding, needsLogin);
            return job && job->holdUntil == "auth-info-required";
        },
        30000));
    // What the server said, as the spooler reads it.
    const std::optional<SpoolerJob> loginJob = listed(spooler, forwarding, needsLogin);
    ASSERT_TRUE(loginJob);
    EXPECT_TRUE(loginJob->stateReasons.contains("cups-held-for-authentication"))
        << loginJob->stateReasons.join(',').toStdString();
    const std::optional<SpoolerJob> timedJob = listed(spooler, held, timed);
    ASSERT_TRUE(timedJob);
    EXPECT_EQ(timedJob->holdUntil, later.toString("HH:mm"));
    EXPECT_TRUE(timedJob->stateReasons.contains("job-hold-until-specified"));

    const QString heldUntil = "Held until " + later.toLocalTime().toString("HH:mm");
    const QString stoppedText = "Waiting: the printer is stopped";

    // The window shows the stopped queue; the server-wide grid has them all.
    MainWindowHarness harness;
    harness.useRealServers = true;
    FrmMain& w = harness.show(
        QStringLiteral("Server=%1\r\nQueue=%2").arg(server.address(), stopped).toUtf8());
    ASSERT_EQ(w.CurrentPrintQueue->currentText(), stopped);
    const auto tip = [&w](const QString& queue, int id) {
        const QTreeWidgetItem* row = w.searchGrid().rowOf(jobNameOf(queue, id));
        return row ? row->toolTip(SearchColumn::Status) : QString("(no row)");
    };
    EXPECT_EQ(tip(held, byHand), "Held by the operator");
    EXPECT_EQ(tip(held, timed), heldUntil);
    EXPECT_EQ(tip(forwarding, needsLogin), "Held for authentication");
    QTreeWidgetItem* waitingRow = w.jobGrid().rowOf(jobNameOf(stopped, waiting));
    ASSERT_NE(waitingRow, nullptr);
    EXPECT_EQ(waitingRow->toolTip(JobColumn::Status), stoppedText);

    // The job action dialog says the same of the selected job.
    w.JobList->setCurrentItem(waitingRow);
    showJobActions(w);
    ASSERT_TRUE(w.frmAction);
    const auto* why = w.frmAction->findChild<QLabel*>("lblWhyHeld");
    ASSERT_NE(why, nullptr);
    EXPECT_EQ(why->text(), stoppedText);
    EXPECT_TRUE(why->isVisible());
    w.frmAction->close();

    // The live report's jobs tables gain the same words in their "Why Held" column.
    LiveReports::WatchedQueue watched;
    watched.today = QDate::currentDate();
    LiveReports reports([&](const QString&) -> PrintSpooler* { return &spooler; }, watched, {});
    const auto report = [&](const QString& queue) {
        return reports.PrinterReport(server.address(), queue, false);
    };
    EXPECT_TRUE(report(held).contains("Why Held"));
    EXPECT_TRUE(report(held).contains("<td>Held by the operator</td>"));
    EXPECT_TRUE(report(held).contains("<td>" + heldUntil + "</td>"));
    EXPECT_TRUE(report(forwarding).contains("<td>Held for authentication</td>"));
    EXPECT_TRUE(report(stopped).contains("<td>" + stoppedText + "</td>"));
}
