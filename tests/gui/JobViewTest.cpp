#include "app/Timers.h"
#include "form/JobGrid.h"
#include "form/ShapeColour.h"
#include "form/frmSplash.h"
#include "platform/JobText.h"
#include "session/JobRetrieval.h"
#include "session/QueueSelection.h"
#include "session/ServerConnection.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/WidgetTexts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <atomic>
#include <future>
#include <gtest/gtest.h>

namespace {

void selectQueue(FrmMain& w, const QString& queue) {
    w.CurrentPrintQueue->setCurrentIndex(w.CurrentPrintQueue->findText(queue));
    CurrentPrintQueue_Click(w);
}

// A window on server "alpha" with two queues and jobs in both, audit on.
class JobView : public ::testing::Test {
protected:
    void SetUp() override {
        harness.writeAppDataFile(QStringLiteral("swr.ini"),
                                 "[Spoolwright]\r\nServer=alpha\r\nAudit=True\r\n");
        FakeSpooler& alpha = harness.fake(QStringLiteral("alpha"));
        alpha.addQueue({QStringLiteral("Laser"), QStringLiteral("Office laser"),
                        QStringLiteral("ipp://alpha:631/printers/Laser"), QStringLiteral("Room 1"),
                        QStringLiteral("Generic PS"), 0});
        alpha.addQueue({QStringLiteral("Inkjet"), {}, {}, {}, {}, 0x1});
        alpha.addJob(QStringLiteral("Laser"), 12, QStringLiteral("report.pdf"),
                     QStringLiteral("ann"));
        alpha.addJob(QStringLiteral("Inkjet"), 13, QStringLiteral("photo.png"),
                     QStringLiteral("bob"), 1);
        alpha.addJob(QStringLiteral("Laser"), 123, QStringLiteral("plan.txt"), QStringLiteral("cy"),
                     16);
        w = &harness.create();
        ShowFrmMain(*w);
    }

    int auditRows(const QString& description) {
        return LogRows(w->Log(), QStringLiteral("SELECT * FROM SWR_Audit WHERE Description = '") +
                                     description + QStringLiteral("'"))
            .size();
    }

    MainWindowHarness harness;
    FrmMain* w = nullptr;
};

} // namespace

TEST_F(JobView, ConnectingListsQueuesReadsAllJobsAndRemembersTheServerOnce) {
    EXPECT_EQ(BoxEntries(w->CurrentPrintQueue), QStringList({"Laser", "Inkjet"}));
    EXPECT_TRUE(w->CurrentPrintQueue->currentText().isEmpty()); // listing selects nothing
    EXPECT_EQ(GridColumn(w->SearchList, SearchColumn::Name),
              QStringList({"Laser, 12", "Inkjet, 13", "Laser, 123"}));
    EXPECT_EQ(w->JobList->topLevelItemCount(), 0); // no queue chosen yet
    EXPECT_TRUE(w->PanelText(1).startsWith(QStringLiteral("Queues Found ")));
    EXPECT_TRUE(w->SearchStatus->text().startsWith(QStringLiteral("Retrieved Jobs (")));
    EXPECT_EQ(ShapeColour::of(w->SearchProgress), ShapeColour::Green);
    EXPECT_EQ(auditRows(QStringLiteral("Search for queues on alpha")), 1);

    CurrentPrinter_KeyDown(*w, 13, 0);
    CurrentPrinter_KeyDown(*w, 13, 0);
    CurrentPrinter_KeyDown(*w, 65, 0); // any other key does nothing
    EXPECT_EQ(BoxEntries(w->CurrentPrinter), QStringList({"alpha"}));
    EXPECT_EQ(auditRows(QStringLiteral("Search for queues on alpha")), 3);
}

TEST_F(JobView, AnEmptyServerBoxConnectsToTheRememberedServer) {
    w->CurrentPrinter->setEditText(QString());
    FindPrintQueues_Click(*w);
    EXPECT_EQ(w->CurrentPrinter->currentText(), QStringLiteral("alpha"));
    EXPECT_EQ(BoxEntries(w->CurrentPrinter), QStringList({"alpha"}));
    EXPECT_EQ(w->CurrentPrintQueue->count(), 2);
}

TEST_F(JobView, ASecondServerWithoutQueuesClearsBothGridsAndSaysSo) {
    selectQueue(*w, QStringLiteral("Laser"));
    ASSERT_EQ(w->JobList->topLevelItemCount(), 2);
    harness.fake(QStringLiteral("empty-server"));
    w->CurrentPrinter->setEditText(QStringLiteral("empty-server"));
    FindPrintQueues_Click(*w);
    EXPECT_EQ(w->JobList->topLevelItemCount(), 0);
    EXPECT_EQ(w->SearchList->topLevelItemCount(), 0);
    EXPECT_EQ(w->CurrentPrintQueue->count(), 0);
    EXPECT_FALSE(w->imgPause->isVisible());
    EXPECT_FALSE(w->imgPlay->isVisible());
    EXPECT_TRUE(w->PanelText(1).startsWith(QStringLiteral("No Queues Found ")));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Spoolwright"));
    EXPECT_EQ(auditRows(QStringLiteral("Search for queues on empty-server")), 1);
    EXPECT_EQ(BoxEntries(w->CurrentPrinter), QStringList({"alpha", "empty-server"}));
}

TEST_F(JobView, AnUnreachableServerLeavesAnEmptyQueueBox) {
    harness.fake(QStringLiteral("down")).reachable = false;
    w->CurrentPrinter->setEditText(QStringLiteral("down"));
    FindPrintQueues_Click(*w);
    EXPECT_EQ(w->CurrentPrintQueue->count(), 0);
    EXPECT_TRUE(w->PanelText(1).startsWith(QStringLiteral("No Queues Found ")));
    EXPECT_TRUE(harness.prompter.asked.isEmpty());
}

TEST_F(JobView, ConnectingDuringResumeAllIsRefusedWithTheQueueNamed) {
    selectQueue(*w, QStringLiteral("Laser"));
    w->ResumeAllInProgress = true;
    w->CurrentPrinter->setEditText(QStringLiteral("elsewhere"));
    FindPrintQueues_Click(*w);
    EXPECT_EQ(w->CurrentPrinter->currentText(), QStringLiteral("alpha"));
    EXPECT_EQ(w->CurrentPrintQueue->currentText(), QStringLiteral("Laser"));
    EXPECT_EQ(w->CurrentPrintQueue->count(), 2);
    EXPECT_EQ(harness.prompter.asked,
              QList<RecordingPrompter::Asked>(
                  {{"Laser Resume All",
                    "Laser is currently resuming print jobs. Please wait until all jobs are "
                    "printed!",
                    Prompter::Icon::Exclamation}}));
}

TEST_F(JobView, PickingAQueueShowsItsJobsPropertiesStatusAndTitle) {
    EXPECT_FALSE(w->Menu(QStringLiteral("menuJobs"))->isEnabled());
    selectQueue(*w, QStringLiteral("Laser"));
    EXPECT_EQ(GridColumn(w->JobList, JobColumn::ID), QStringList({"12", "123"}));
    EXPECT_EQ(w->txtDescription->text(), QStringLiteral("Office laser"));
    EXPECT_EQ(w->txtPrintPath->text(), QStringLiteral("ipp://alpha:631/printers/Laser"));
    EXPECT_EQ(w->txtLocation->text(), QStringLiteral("Room 1"));
    EXPECT_EQ(w->txtModel->text(), QStringLiteral("Generic PS"));
    EXPECT_EQ(w->txtPrintStatus->text(), QStringLiteral("OK"));
    EXPECT_EQ(ShapeColour::of(w->txtPrintStatus), ShapeColour::Green);
    EXPECT_EQ(w->PanelText(4), QStringLiteral("OK"));
    EXPECT_TRUE(w->imgPlay->isVisible());
    EXPECT_FALSE(w->imgPause->isVisible());
    EXPECT_TRUE(w->Menu(QStringLiteral("menuJobs"))->isEnabled());
    EXPECT_TRUE(w->Menu(QStringLiteral("menuPrinter"))->isEnabled());
    EXPECT_TRUE(w->Timer2->isActive());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Laser on alpha - Spoolwright"));
    EXPECT_EQ(auditRows(QStringLiteral("Queue changed to alpha-Laser")), 1);
    EXPECT_EQ(ShapeColour::of(w->ActiveUpdate), ShapeColour::Green);

    // The same queue again: no audit row; the selected job keeps its selection.
    w->JobList->setCurrentItem(w->JobList->topLevelItem(1));
    selectQueue(*w, QStringLiteral("Laser"));
    EXPECT_EQ(auditRows(QStringLiteral("Queue changed to alpha-Laser")), 1);
    ASSERT_NE(w->JobList->currentItem(), nullptr);
    EXPECT_EQ(w->JobList->currentItem()->text(JobColumn::ID), QStringLiteral("123"));

    selectQueue(*w, QStringLiteral("Inkjet"));
    EXPECT_EQ(w->txtPrintStatus->text(), QStringLiteral(" Paused"));
    EXPECT_EQ(ShapeColour::of(w->txtPrintStatus), ShapeColour::Orange);
    EXPECT_TRUE(w->imgPause->isVisible());
    EXPECT_FALSE(w->imgPlay->isVisible());
}

TEST_F(JobView, AutoQueueIsSwitchedOffByAQueueChangeButNotByTheSameQueue) {
    selectQueue(*w, QStringLiteral("Laser"));
    w->chkAutoQueue->setChecked(true);
    selectQueue(*w, QStringLiteral("Laser"));
    EXPECT_TRUE(w->chkAutoQueue->isChecked());
    EXPECT_EQ(w->PanelText(4), QStringLiteral("AQ:OK"));
    EXPECT_FALSE(w->imgPlay->isEnabled());
    selectQueue(*w, QStringLiteral("Inkjet"));
    EXPECT_FALSE(w->chkAutoQueue->isChecked());
    EXPECT_EQ(w->PanelText(4), QStringLiteral(" Paused"));
}

TEST(QueueStatusColour, LaterWordsOverrideAndUnknownTextsKeepTheColour) {
    EXPECT_EQ(QueueStatusColour(QStringLiteral("OK")), ShapeColour::Green);
    EXPECT_EQ(QueueStatusColour(QStringLiteral(" Paused Error")), ShapeColour::Red);
    EXPECT_EQ(QueueStatusColour(QStringLiteral(" Error Busy")), ShapeColour::Red);
    EXPECT_EQ(QueueStatusColour(QStringLiteral(" Busy Printing")), ShapeColour::Orange);
    EXPECT_FALSE(QueueStatusColour(QStringLiteral(" OffLine")).isValid()); // not "Offline"
    EXPECT_FALSE(QueueStatusColour(QStringLiteral(" Toner Low")).isValid());
}

TEST_F(JobView, ErrorStatusShowsTheMessageOnEveryRefreshWhenAskedTo) {
    harness.fake(QStringLiteral("alpha"))
        .addQueue({QStringLiteral("Broken"), {}, {}, QStringLiteral("Cellar"), {}, 0x1 | 0x2});
    FindPrintQueues_Click(*w);
    w->Settings.ShowErrors = QStringLiteral("True");
    selectQueue(*w, QStringLiteral("Broken"));
    selectQueue(*w, QStringLiteral("Broken"));
    EXPECT_EQ(ShapeColour::of(w->txtPrintStatus), ShapeColour::Red);
    const RecordingPrompter::Asked error{"Spoolwright",
                                         "An Error has been reported!\r\nPlease check the "
                                         "printer: alpha\r\nLocation: Cellar",
                                         Prompter::Icon::Critical};
    EXPECT_EQ(harness.prompter.asked, QList<RecordingPrompter::Asked>(2, error));
}

TEST_F(JobView, EachNewJobGetsOneLogRowAndPrintingJobsNoPagesOrSize) {
    auto logged = [this](const QString& column, const QString& key) {
        const auto rows =
            LogRows(w->Log(), QStringLiteral("SELECT \"") + column +
                                  QStringLiteral("\" FROM SWR_Log WHERE TransactionID = '") + key +
                                  QStringLiteral("'"));
        return rows.size() == 1 ? rows[0][0] : QStringLiteral("<%1 rows>").arg(rows.size());
    };
    const QString key12 = TransactionID(
        QStringLiteral("12"), w->SearchList->topLevelItem(0)->text(SearchColumn::Submitted));
    const QString key123 = TransactionID(
        QStringLiteral("123"), w->SearchList->topLevelItem(2)->text(SearchColumn::Submitted));
    EXPECT_EQ(logged(QStringLiteral("Description"), key12), QStringLiteral("report.pdf"));
    EXPECT_EQ(logged(QStringLiteral("Server"), key12), QStringLiteral("alpha"));
    EXPECT_EQ(logged(QStringLiteral("Queue"), key12), QStringLiteral("Laser"));
    EXPECT_EQ(logged(QStringLiteral("Pages"), key12), QStringLiteral("1"));
    EXPECT_EQ(logged(QStringLiteral("Size"), key12), QStringLiteral("2KB"));
    EXPECT_EQ(logged(QStringLiteral("Pages"), key123), kNull); // printing when first seen
    EXPECT_EQ(logged(QStringLiteral("Size"), key123), kNull);

    // A second pass over the same jobs writes nothing, even where the job changed.
    harness.fake(QStringLiteral("alpha"))
        .addJob(QStringLiteral("Laser"), 14, QStringLiteral("new.doc"), QStringLiteral("di"));
    cmdRefreshJobs_Click(*w);
    EXPECT_EQ(LogRows(w->Log(), QStringLiteral("SELECT * FROM SWR_Log")).size(), 4);
    EXPECT_EQ(logged(QStringLiteral("Description"), key12), QStringLiteral("report.pdf"));
}

TEST_F(JobView, APrinterNameWithACommaKeepsItsJobs) {
    FakeSpooler& alpha = harness.fake(QStringLiteral("alpha"));
    alpha.addQueue({QStringLiteral("Annex,West"), {}, {}, {}, {}, 0});
    alpha.addJob(QStringLiteral("Annex,West"), 20, QStringLiteral("x"), QStringLiteral("y"));
    FindPrintQueues_Click(*w);
    selectQueue(*w, QStringLiteral("Annex,West"));
    EXPECT_EQ(GridColumn(w->SearchList, SearchColumn::Printer),
              QStringList({"Laser", "Inkjet", "Laser", "Annex,West"}));
    EXPECT_EQ(GridColumn(w->JobList, JobColumn::Name), QStringList({"Annex,West, 20"}));
}

TEST(StartUp, ARememberedQueueTheServerNoLongerHasSelectsNothing) {
    MainWindowHarness harness;
    harness.writeAppDataFile(
        QStringLiteral("swr.ini"),
        "[Spoolwright]\r\nServer=alpha\r\nQueue=Gone\r\n"
        "TimedReleaseAction=print\r\nAutoQueue=yes\r\nTimedReleaseTime=18:30\r\n");
    harness.fake(QStringLiteral("alpha")).addQueue({QStringLiteral("Laser"), {}, {}, {}, {}, 0});
    FrmMain& w = harness.create();
    ShowFrmMain(w);
    EXPECT_TRUE(w.CurrentPrintQueue->currentText().isEmpty());
    EXPECT_TRUE(harness.splash().lblStatus->text().contains(QStringLiteral("Queue (Gone), ")));
    EXPECT_FALSE(w.Menu(QStringLiteral("menuJobs"))->isEnabled());
    EXPECT_FALSE(w.Timer2->isActive());
    // "print" in lower case chooses neither action; a switch that is no number changes nothing.
    EXPECT_FALSE(w.optTimed[0]->isChecked());
    EXPECT_FALSE(w.optTimed[1]->isChecked());
    EXPECT_FALSE(w.chkAutoQueue->isChecked());
    EXPECT_EQ(w.txtTimed->text(), QStringLiteral("18:30"));
}

TEST_F(JobView, AFailedRefreshKeepsTheJobsAndTheNextTickThatReachesTheServerReadsThemAnew) {
    selectQueue(*w, QStringLiteral("Laser"));
    FakeSpooler& alpha = harness.fake(QStringLiteral("alpha"));
    alpha.reachable = false;
    cmdRefreshJobs_Click(*w);
    EXPECT_EQ(w->JobList->topLevelItemCount(), 2);
    EXPECT_EQ(w->SearchList->topLevelItemCount(), 3);

    alpha.reachable = true;
    alpha.addJob(QStringLiteral("Laser"), 14, QStringLiteral("late.doc"), QStringLiteral("di"));
    ASSERT_TRUE(RunPollTick(*w));
    EXPECT_EQ(GridColumn(w->JobList, JobColumn::ID), QStringList({"12", "123", "14"}));
}

TEST_F(JobView, AServerTypedWithoutEnterIsNotReadUntilConnected) {
    FakeSpooler& beta = harness.fake(QStringLiteral("beta"));
    beta.addQueue({QStringLiteral("Laser"), {}, {}, {}, {}, 0});
    beta.addJob(QStringLiteral("Laser"), 99, QStringLiteral("other.doc"), QStringLiteral("zed"));
    w->CurrentPrinter->setEditText(QStringLiteral("beta"));
    selectQueue(*w, QStringLiteral("Laser"));
    ASSERT_TRUE(RunPollTick(*w));
    EXPECT_EQ(GridColumn(w->JobList, JobColumn::ID), QStringList({"12", "123"}));
    EXPECT_EQ(beta.calls.value("jobs"), 0);
}

TEST_F(JobView, TheWindowHandlesEventsWhileThePollWaitsForTheServer) {
    selectQueue(*w, QStringLiteral("Laser"));
    FakeSpooler& alpha = harness.fake(QStringLiteral("alpha"));
    ASSERT_EQ(alpha.calls.value("queue"), 1);
    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    std::atomic<bool> waiting{false};
    alpha.stall = [answered, &waiting] {
        waiting = true;
        answered.wait();
    };

    Timer2_Timer(*w);
    ASSERT_TRUE(w->PollInFlight);
    ASSERT_TRUE(QTest::qWaitFor([&waiting] { return waiting.load(); }, 10000));
    bool handled = false;
    QTimer::singleShot(0, w, [&handled] { handled = true; });
    EXPECT_TRUE(QTest::qWaitFor([&handled] { return handled; }, 10000));
    Timer2_Timer(*w); // a tick meanwhile asks nothing more

    answer.set_value();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !w->PollInFlight; }, 10000));
    EXPECT_EQ(alpha.calls.value("queue"), 2);
    EXPECT_TRUE(w->Timer2->isActive());
}
