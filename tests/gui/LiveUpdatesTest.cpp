#include "control/JobActions.h"
#include "form/JobGrid.h"
#include "form/ShapeColour.h"
#include "platform/JobText.h"
#include "platform/MonitorProtocol.h"
#include "session/JobRetrieval.h"
#include "session/MonitorEvents.h"
#include "session/QueueSession.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/WidgetTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A window on "alpha" showing queue Laser, with jobs 12 and 123 listed.
class LiveUpdates : public ::testing::Test {
protected:
    void SetUp() override {
        FakeSpooler& alpha = harness.fake("alpha");
        alpha.addQueue({"Laser", {}, "ipp://alpha/printers/Laser", {}, {}, 0});
        alpha.addQueue({"Inkjet", {}, {}, {}, {}, 0});
        alpha.addJob("Laser", 12, "a", "ann");
        alpha.addJob("Laser", 123, "b", "bob");
        w = &harness.show("Server=alpha\r\nQueue=Laser\r\n");
        ASSERT_EQ(w->CurrentPrintQueue->currentText(), "Laser");
        ASSERT_EQ(w->JobList->topLevelItemCount(), 2);
    }
    MainWindowHarness harness;
    FrmMain* w = nullptr;
};

} // namespace

TEST_F(LiveUpdates, EventsAddRewriteAndRemoveExactlyTheirJobsRowAndEachLogsItsJobOnce) {
    // Job 12 changes: job 123's row, whose name begins the same way, stays as it was.
    mwcmnMonitor_JobEvent(*w, "Modified", sampleJob("Laser", 12, "renamed", "ann", 1));
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::Description), QStringList({"renamed", "b"}));
    EXPECT_EQ(w->JobList->topLevelItem(0)->text(JobColumn::Status), "Paused");
    EXPECT_EQ(gridColumn(w->SearchList, SearchColumn::Description), QStringList({"renamed", "b"}));
    EXPECT_TRUE(w->panelText(1).startsWith("Updated Job "));

    mwcmnMonitor_JobEvent(*w, "Deleted", sampleJob("Laser", 12, "doc.txt", "ann", 0));
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::ID), QStringList({"123"}));
    EXPECT_EQ(gridColumn(w->SearchList, SearchColumn::ID), QStringList({"123"}));
    EXPECT_TRUE(w->SearchStatus->text().startsWith("Deleted Job "));

    // A modified job not in the grids is added; a deleted one not there changes nothing.
    mwcmnMonitor_JobEvent(*w, "Modified", sampleJob("Laser", 40, "doc.txt", "ann", 0));
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::ID), QStringList({"123", "40"}));
    mwcmnMonitor_JobEvent(*w, "Deleted", sampleJob("Laser", 99, "doc.txt", "ann", 0));
    EXPECT_EQ(w->JobList->topLevelItemCount(), 2);
    EXPECT_TRUE(w->panelText(1).startsWith("Deleted Job "));

    // A job has one row: "New" for a listed job rewrites its row.
    mwcmnMonitor_JobEvent(*w, "New", sampleJob("Laser", 123, "again", "ann", 0));
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::Description), QStringList({"again", "doc.txt"}));
    EXPECT_TRUE(w->panelText(1).startsWith("New Job "));

    // Another queue's job changes only the server-wide grid.
    mwcmnMonitor_JobEvent(*w, "New", sampleJob("Inkjet", 7, "doc.txt", "ann", 0));
    EXPECT_EQ(w->JobList->topLevelItemCount(), 2);
    EXPECT_EQ(gridColumn(w->SearchList, SearchColumn::Printer).count("Inkjet"), 1);

    // Every event logs its job once, even one of an unknown action.
    mwcmnMonitor_JobEvent(*w, "Whatever", sampleJob("Inkjet", 77, "odd.pdf", "ann", 0));
    mwcmnMonitor_JobEvent(*w, "Deleted", sampleJob("Inkjet", 77, "odd.pdf", "ann", 0));
    mwcmnMonitor_JobEvent(*w, "New", sampleJob("Inkjet", 78, "printing.pdf", "ann", 16));
    const auto rows = logRows(w->log(), "SELECT TransactionID, Description, Pages, Size FROM "
                                        "SWR_Log WHERE Queue = 'Inkjet' ORDER BY TransactionID");
    EXPECT_EQ(rows, QList<QStringList>({{"7-2026-12-05 09:00:07", "doc.txt", "1", "2KB"},
                                        {"77-2026-12-05 09:01:17", "odd.pdf", "1", "2KB"},
                                        {"78-2026-12-05 09:01:18", "printing.pdf", kNull, kNull}}));
    EXPECT_EQ(w->SearchList->topLevelItemCount(), 4); // of these, only "New" added a row
}

TEST_F(LiveUpdates, ConnectionTextsShowInThreePlacesAndTheRedrawTimerShowsTheCounts) {
    mwcmnMonitor_ConnectEvent(*w, "Connected");
    EXPECT_TRUE(harness.prompter.asked.isEmpty());
    for (const QString& text : {w->panelText(1), w->SearchStatus->text(), w->ServerStatus->text()})
        EXPECT_TRUE(text.startsWith("Server Connected ")) << text.toStdString();
    mwcmnMonitor_ConnectEvent(*w, "WMI Connection Error");
    EXPECT_EQ(harness.prompter.asked,
              QList<RecordingPrompter::Asked>(
                  {{"Spoolwright", "Cannot connect to server, jobs will not update!",
                    Prompter::Icon::Critical}}));
    EXPECT_TRUE(w->ServerStatus->text().startsWith("Server WMI Connection Error "));

    // The redraw timer shows the counts, and empties the panels without a queue.
    Timer1_Timer(*w);
    EXPECT_EQ(w->LabelPrintQueues->text(), "2 Available Queues");
    EXPECT_EQ(w->LabelPrintJobs->text(), "Queued Print Jobs: 2");
    EXPECT_EQ(w->panelText(2), "Laser on alpha");
    EXPECT_EQ(w->panelText(3), "Jobs: 2");
    EXPECT_TRUE(w->chkAutoQueue->isEnabled());

    w->CurrentPrintQueue->setCurrentIndex(-1);
    Timer1_Timer(*w);
    EXPECT_FALSE(w->chkAutoQueue->isEnabled());
    EXPECT_TRUE(w->txtPrintPath->text().isEmpty());
    EXPECT_TRUE(w->panelText(4).isEmpty());
    Timer1_Timer(*w); // with the path empty, panels 2 and 3 are empty too
    EXPECT_TRUE(w->panelText(2).isEmpty());
    EXPECT_TRUE(w->panelText(3).isEmpty());
}

TEST_F(LiveUpdates, ThePollRefreshesAtTheIntervalOfItsState) {
    FakeSpooler& alpha = harness.fake("alpha");
    alpha.addJob("Laser", 50, "late", "cy");
    ASSERT_TRUE(runPollTick(*w));
    EXPECT_EQ(w->JobList->topLevelItemCount(), 2); // the refresh filters, it does not re-read
    EXPECT_EQ(w->Timer2->interval(), 10000);
    EXPECT_TRUE(w->Timer2->isActive());
    EXPECT_EQ(ShapeColour::of(w->ActiveUpdate), ShapeColour::green);

    // AutoQueue on pauses the queue; with nothing released each tick pauses it again
    // and held jobs stay held.
    w->chkAutoQueue->setChecked(true);
    ASSERT_TRUE(runPollTick(*w));
    EXPECT_EQ(alpha.calls["pauseQueue"], 2);
    EXPECT_EQ(w->Timer2->interval(), 6000);
    EXPECT_EQ(alpha.queueJobs("Laser")[0].StatusMask, 1); // held by the refresh

    // A released job still in the (running) queue: fast poll and the red indicator.
    alpha.resumeQueue("Laser");
    alpha.resumeJob("Laser", 50);
    QueueSession::of(*w).setLastReleasedJob("50");
    ASSERT_TRUE(runPollTick(*w));
    EXPECT_EQ(ShapeColour::of(w->ActiveUpdate), ShapeColour::red);
    EXPECT_EQ(w->Timer2->interval(), 10);
    EXPECT_EQ(alpha.calls["pauseQueue"], 2);
    EXPECT_TRUE(w->panelText(1).startsWith("Resume Print Job "));

    // Once it has left the queue, the next tick pauses the queue and holds again.
    alpha.deleteJob("Laser", 50);
    ASSERT_TRUE(runPollTick(*w));
    EXPECT_EQ(alpha.calls["pauseQueue"], 3);
    EXPECT_EQ(w->Timer2->interval(), 6000);

    // Without a queue a tick only turns the indicator orange.
    w->CurrentPrintQueue->setCurrentIndex(-1);
    ASSERT_TRUE(runPollTick(*w));
    EXPECT_EQ(ShapeColour::of(w->ActiveUpdate), ShapeColour::orange);
    EXPECT_EQ(alpha.calls["pauseQueue"], 3);
}

TEST_F(LiveUpdates, AWatchBeginningRereadsTheServerAndNoListingBringsAGoneJobBack) {
    // A job that came between the window's listing and the start of the watch, which
    // takes it as known; and job 12, gone by the monitor's word, still in a listing.
    FakeSpooler& alpha = harness.fake("alpha");
    alpha.addJob("Laser", 50, "between", "cy");
    mwcmnMonitor_JobEvent(*w, "Deleted", sampleJob("Laser", 12, "a", "ann", 0));
    mwcmnMonitor_ConnectEvent(*w, "Connected");
    ASSERT_TRUE(runPollTick(*w));
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::ID), QStringList({"123", "50"}));
    EXPECT_FALSE(QueueSession::of(*w).jobsStale());

    // A row whose job left without a word goes once an action finds it gone.
    alpha.deleteJob("Laser", 50);
    w->JobList->setCurrentItem(w->jobGrid().rowOf("Laser, 50"));
    MenuResumeJob(*w);
    EXPECT_EQ(w->panelText(1), "Job 50 is no longer in the queue");
    EXPECT_EQ(gridColumn(w->SearchList, SearchColumn::ID), QStringList({"123"}));
}

TEST_F(LiveUpdates, ADocumentNameLogsTheSameWhicheverPathSawItFirst) {
    const QString odd = "a|b\tc";
    harness.fake("alpha").addJob("Inkjet", 50, odd, "ann");
    cmdRefreshJobs_Click(*w);
    ASSERT_TRUE(waitForAnswers(*w));
    // The monitor's job arrives over its line, as the monitor writes it.
    SpoolerJob viaMonitor = sampleJob("Inkjet", 51, odd, "ann", 0);
    const QByteArray line = MonitorProtocol::encode(
        MonitorProtocol::JobEvent, QStringList{"New"} + MonitorProtocol::jobFields(viaMonitor));
    const auto decoded =
        MonitorProtocol::jobFromFields(MonitorProtocol::decode(line.chopped(1)).fields.mid(1));
    ASSERT_TRUE(decoded);
    mwcmnMonitor_JobEvent(*w, "New", *decoded);
    const auto rows = logRows(w->log(), QStringLiteral("SELECT Name, Description FROM SWR_Log "
                                                       "WHERE Name IN ('50', '51') ORDER BY Name"));
    EXPECT_EQ(rows, QList<QStringList>({{"50", "a b c"}, {"51", "a b c"}}));
}

TEST_F(LiveUpdates, RowsTheLogCannotTakeWaitAndTheStatusBarSaysSo) {
    {
        OtherProgram other(w->log().filePath(), "BEGIN EXCLUSIVE");
        ASSERT_TRUE(other.holds());
        mwcmnMonitor_JobEvent(*w, "New", sampleJob("Inkjet", 60, "waits.pdf", "ann", 0));
        Timer1_Timer(*w);
        EXPECT_EQ(w->panelText(1), "Log busy, 1 rows waiting");
        EXPECT_EQ(w->SearchList->topLevelItemCount(), 3); // the view did not wait for the log
    }
    Timer1_Timer(*w);
    EXPECT_EQ(w->log().pendingCount(), 0);
    EXPECT_FALSE(w->panelText(1).startsWith("Log busy"));
    EXPECT_EQ(logRows(w->log(), "SELECT Description FROM SWR_Log WHERE Name = '60'"),
              QList<QStringList>({{"waits.pdf"}}));
}
