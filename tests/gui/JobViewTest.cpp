#include "form/JobGrid.h"
#include "form/ShapeColour.h"
#include "platform/JobText.h"
#include "session/JobRetrieval.h"
#include "session/QueuePoll.h"
#include "session/QueueSelection.h"
#include "session/QueueSession.h"
#include "session/ServerConnection.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/WidgetTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace {

void selectQueue(FrmMain& w, const QString& queue) {
    w.CurrentPrintQueue->setCurrentIndex(w.CurrentPrintQueue->findText(queue));
    CurrentPrintQueue_Click(w);
}

// Keeps the fake server's answer to every queue or job list it is asked for until
// answer() (or its end), as a server slow to answer would.
class HeldAnswer {
public:
    explicit HeldAnswer(FakeSpooler& server) : server_(server) {
        server.stall = [answered = answered_, asked = asked_] {
            *asked = true;
            answered.wait();
        };
    }
    ~HeldAnswer() {
        answer();
        server_.stall = nullptr;
    }
    HeldAnswer(const HeldAnswer&) = delete;
    HeldAnswer& operator=(const HeldAnswer&) = delete;
    bool waitUntilAsked() {
        return QTest::qWaitFor([this] { return asked_->load(); }, 10000);
    }
    void answer() {
        if (!given_)
            answer_.set_value();
        given_ = true;
    }

private:
    FakeSpooler& server_;
    std::promise<void> answer_;
    std::shared_future<void> answered_ = answer_.get_future().share();
    std::shared_ptr<std::atomic<bool>> asked_ = std::make_shared<std::atomic<bool>>(false);
    bool given_ = false;
};

// A window on server "alpha" with two queues and jobs in both, audit on.
class JobView : public ::testing::Test {
protected:
    void SetUp() override {
        FakeSpooler& alpha = harness.fake("alpha");
        alpha.addQueue(
            {"Laser", "Office laser", "ipp://alpha:631/printers/Laser", "Room 1", "Generic PS", 0});
        alpha.addQueue({"Inkjet", {}, {}, {}, {}, 0x1});
        alpha.addJob("Laser", 12, "report.pdf", "ann");
        alpha.addJob("Inkjet", 13, "photo.png", "bob", 1);
        alpha.addJob("Laser", 123, "plan.txt", "cy", 16);
        w = &harness.show("Server=alpha\r\nAudit=True\r\n");
    }

    int auditRows(const QString& description) {
        return logRows(w->log(),
                       "SELECT * FROM SWR_Audit WHERE Description = '" + description + "'")
            .size();
    }
    // The operator types a server's name and connects.
    void connectTo(const QString& server) {
        w->CurrentPrinter->setEditText(server);
        FindPrintQueues_Click(*w);
        waitForAnswers(*w);
    }

    MainWindowHarness harness;
    FrmMain* w = nullptr;
};

} // namespace

TEST_F(JobView, ConnectingListsQueuesReadsAllJobsAndRemembersTheServerOnceEvenFromAnEmptyBox) {
    EXPECT_EQ(boxEntries(w->CurrentPrintQueue), QStringList({"Laser", "Inkjet"}));
    EXPECT_TRUE(w->CurrentPrintQueue->currentText().isEmpty()); // listing selects nothing
    EXPECT_EQ(gridColumn(w->SearchList, SearchColumn::Name),
              QStringList({"Laser, 12", "Inkjet, 13", "Laser, 123"}));
    EXPECT_EQ(w->JobList->topLevelItemCount(), 0); // no queue chosen yet
    EXPECT_TRUE(w->panelText(1).startsWith("Queues Found "));
    EXPECT_TRUE(w->SearchStatus->text().startsWith("Retrieved Jobs ("));
    EXPECT_EQ(ShapeColour::of(w->SearchProgress), ShapeColour::green);
    EXPECT_EQ(auditRows("Search for queues on alpha"), 1);

    for (const int key : {13, 13, 65}) { // any other key than Enter does nothing
        CurrentPrinter_KeyDown(*w, key, 0);
        ASSERT_TRUE(waitForAnswers(*w));
    }
    EXPECT_EQ(boxEntries(w->CurrentPrinter), QStringList({"alpha"}));
    EXPECT_EQ(auditRows("Search for queues on alpha"), 3);

    // An empty server box connects to the remembered server.
    connectTo(QString());
    EXPECT_EQ(w->CurrentPrinter->currentText(), "alpha");
    EXPECT_EQ(boxEntries(w->CurrentPrinter), QStringList({"alpha"}));
    EXPECT_EQ(w->CurrentPrintQueue->count(), 2);
}

TEST_F(JobView, ASecondServerWithoutQueuesOrAnswerClearsBothGridsAndSaysSo) {
    selectQueue(*w, "Laser");
    ASSERT_EQ(w->JobList->topLevelItemCount(), 2);
    harness.fake("empty-server");
    connectTo("empty-server");
    EXPECT_EQ(w->JobList->topLevelItemCount(), 0);
    EXPECT_EQ(w->SearchList->topLevelItemCount(), 0);
    EXPECT_EQ(w->CurrentPrintQueue->count(), 0);
    EXPECT_FALSE(w->imgPause->isVisible());
    EXPECT_FALSE(w->imgPlay->isVisible());
    EXPECT_TRUE(w->panelText(1).startsWith("No Queues Found "));
    EXPECT_EQ(w->windowTitle(), "Spoolwright");
    EXPECT_EQ(auditRows("Search for queues on empty-server"), 1);
    EXPECT_EQ(boxEntries(w->CurrentPrinter), QStringList({"alpha", "empty-server"}));

    // A server that does not answer: the same, and nothing to ask the operator.
    harness.fake("down").reachable = false;
    connectTo("down");
    EXPECT_EQ(w->CurrentPrintQueue->count(), 0);
    EXPECT_TRUE(w->panelText(1).startsWith("No Queues Found "));
    EXPECT_TRUE(harness.prompter.asked.isEmpty());
}

TEST_F(JobView, ConnectingDuringResumeAllIsRefusedWithTheQueueNamed) {
    selectQueue(*w, "Laser");
    QueueSession::of(*w).beginResumeAll();
    connectTo("elsewhere");
    EXPECT_EQ(w->CurrentPrinter->currentText(), "alpha");
    EXPECT_EQ(w->CurrentPrintQueue->currentText(), "Laser");
    EXPECT_EQ(w->CurrentPrintQueue->count(), 2);
    EXPECT_EQ(harness.prompter.asked,
              QList<RecordingPrompter::Asked>(
                  {{"Laser Resume All",
                    "Laser is currently resuming print jobs. Please wait until all jobs are "
                    "printed!",
                    Prompter::Icon::Exclamation}}));
}

TEST_F(JobView, PickingAQueueShowsItsJobsPropertiesStatusAndTitleAndAnotherSwitchesAutoQueueOff) {
    EXPECT_FALSE(w->menu("menuJobs")->isEnabled());
    selectQueue(*w, "Laser");
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::ID), QStringList({"12", "123"}));
    EXPECT_EQ(w->txtDescription->text(), "Office laser");
    EXPECT_EQ(w->txtPrintPath->text(), "ipp://alpha:631/printers/Laser");
    EXPECT_EQ(w->txtLocation->text(), "Room 1");
    EXPECT_EQ(w->txtModel->text(), "Generic PS");
    EXPECT_EQ(w->txtPrintStatus->text(), "OK");
    EXPECT_EQ(ShapeColour::of(w->txtPrintStatus), ShapeColour::green);
    EXPECT_EQ(w->panelText(4), "OK");
    EXPECT_TRUE(w->imgPlay->isVisible());
    EXPECT_FALSE(w->imgPause->isVisible());
    EXPECT_TRUE(w->menu("menuJobs")->isEnabled());
    EXPECT_TRUE(w->menu("menuPrinter")->isEnabled());
    EXPECT_TRUE(w->Timer2->isActive());
    EXPECT_EQ(w->windowTitle(), "Laser on alpha - Spoolwright");
    EXPECT_EQ(auditRows("Queue changed to alpha-Laser"), 1);
    EXPECT_EQ(ShapeColour::of(w->ActiveUpdate), ShapeColour::green);

    // The same queue again: no audit row; the selected job keeps its selection, and
    // AutoQueue stays on.
    w->JobList->setCurrentItem(w->JobList->topLevelItem(1));
    w->chkAutoQueue->setChecked(true);
    selectQueue(*w, "Laser");
    EXPECT_EQ(auditRows("Queue changed to alpha-Laser"), 1);
    ASSERT_NE(w->JobList->currentItem(), nullptr);
    EXPECT_EQ(w->JobList->currentItem()->text(JobColumn::ID), "123");
    EXPECT_TRUE(w->chkAutoQueue->isChecked());
    EXPECT_EQ(w->panelText(4), "AQ: Paused"); // ticking AutoQueue paused the queue
    EXPECT_FALSE(w->imgPlay->isEnabled());

    // Another queue switches AutoQueue off.
    selectQueue(*w, "Inkjet");
    EXPECT_FALSE(w->chkAutoQueue->isChecked());
    EXPECT_EQ(w->txtPrintStatus->text(), " Paused");
    EXPECT_EQ(w->panelText(4), " Paused");
    EXPECT_EQ(ShapeColour::of(w->txtPrintStatus), ShapeColour::orange);
    EXPECT_TRUE(w->imgPause->isVisible());
    EXPECT_FALSE(w->imgPlay->isVisible());

    // The status colour: later words override, and unknown texts keep the colour.
    EXPECT_EQ(queueStatusColour("OK"), ShapeColour::green);
    EXPECT_EQ(queueStatusColour(" Paused Error"), ShapeColour::red);
    EXPECT_EQ(queueStatusColour(" Error Busy"), ShapeColour::red);
    EXPECT_EQ(queueStatusColour(" Busy Printing"), ShapeColour::orange);
    EXPECT_FALSE(queueStatusColour(" OffLine").isValid()); // not "Offline"
    EXPECT_FALSE(queueStatusColour(" Toner Low").isValid());
}

TEST_F(JobView, ErrorStatusShowsTheMessageOnEveryRefreshWhenAskedTo) {
    harness.fake("alpha").addQueue({"Broken", {}, {}, "Cellar", {}, 0x1 | 0x2});
    FindPrintQueues_Click(*w);
    ASSERT_TRUE(waitForAnswers(*w));
    w->Settings.ShowErrors = "True";
    selectQueue(*w, "Broken");
    selectQueue(*w, "Broken");
    EXPECT_EQ(ShapeColour::of(w->txtPrintStatus), ShapeColour::red);
    const RecordingPrompter::Asked error{"Spoolwright",
                                         "An Error has been reported!\r\nPlease check the "
                                         "printer: alpha\r\nLocation: Cellar",
                                         Prompter::Icon::Critical};
    EXPECT_EQ(harness.prompter.asked, QList<RecordingPrompter::Asked>(2, error));
}

TEST_F(JobView, EachNewJobGetsOneLogRowAndPrintingJobsNoPagesOrSize) {
    const QString sql =
        "SELECT TransactionID, Description, Server, Queue, Pages, Size FROM SWR_Log "
        "ORDER BY rowid";
    const QList<QStringList> first = {
        {"12-2026-12-05 09:00:12", "report.pdf", "alpha", "Laser", "1", "2KB"},
        {"13-2026-12-05 09:00:13", "photo.png", "alpha", "Inkjet", "1", "2KB"},
        {"123-2026-12-05 09:02:03", "plan.txt", "alpha", "Laser", kNull, kNull}}; // printing
    EXPECT_EQ(logRows(w->log(), sql), first);

    // A second pass over the same jobs writes nothing, even where the job changed.
    FakeSpooler& alpha = harness.fake("alpha");
    alpha.addJob("Laser", 14, "new.doc", "di");
    alpha.deleteJob("Laser", 12);
    alpha.addJob("Laser", 12, "renamed.pdf", "ann");
    cmdRefreshJobs_Click(*w);
    ASSERT_TRUE(waitForAnswers(*w));
    const QList<QStringList> after = logRows(w->log(), sql);
    ASSERT_EQ(after.size(), 4);
    EXPECT_EQ(after.mid(0, 3), first);
}

TEST_F(JobView, APrinterNameWithACommaKeepsItsJobs) {
    FakeSpooler& alpha = harness.fake("alpha");
    alpha.addQueue({"Annex,West", {}, {}, {}, {}, 0});
    alpha.addJob("Annex,West", 20, "x", "y");
    FindPrintQueues_Click(*w);
    ASSERT_TRUE(waitForAnswers(*w));
    selectQueue(*w, "Annex,West");
    EXPECT_EQ(gridColumn(w->SearchList, SearchColumn::Printer),
              QStringList({"Laser", "Inkjet", "Laser", "Annex,West"}));
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::Name), QStringList({"Annex,West, 20"}));
}

TEST(StartUp, ARememberedQueueTheServerNoLongerHasSelectsNothing) {
    MainWindowHarness harness;
    harness.fake("alpha").addQueue({"Laser", {}, {}, {}, {}, 0});
    FrmMain& w =
        harness.show("Server=alpha\r\nQueue=Gone\r\n"
                     "TimedReleaseAction=print\r\nAutoQueue=yes\r\nTimedReleaseTime=18:30\r\n");
    EXPECT_TRUE(w.CurrentPrintQueue->currentText().isEmpty());
    EXPECT_TRUE(harness.splash().lblStatus->text().contains("Queue (Gone), "));
    EXPECT_FALSE(w.menu("menuJobs")->isEnabled());
    EXPECT_FALSE(w.Timer2->isActive());
    // "print" in lower case chooses neither action; a switch that is no number changes nothing.
    EXPECT_FALSE(w.optTimed[0]->isChecked());
    EXPECT_FALSE(w.optTimed[1]->isChecked());
    EXPECT_FALSE(w.chkAutoQueue->isChecked());
    EXPECT_EQ(w.txtTimed->text(), "18:30");
}

TEST_F(JobView, AFailedRefreshKeepsTheJobsAndTheNextTickReadsTheConnectedServerNotOneTyped) {
    selectQueue(*w, "Laser");
    FakeSpooler& alpha = harness.fake("alpha");
    alpha.reachable = false;
    cmdRefreshJobs_Click(*w);
    ASSERT_TRUE(waitForAnswers(*w));
    EXPECT_EQ(w->JobList->topLevelItemCount(), 2);
    EXPECT_EQ(w->SearchList->topLevelItemCount(), 3);

    alpha.reachable = true;
    alpha.addJob("Laser", 14, "late.doc", "di");
    ASSERT_TRUE(runPollTick(*w));
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::ID), QStringList({"12", "123", "14"}));

    // A server typed without Enter is not read until it is connected.
    FakeSpooler& beta = harness.fake("beta");
    beta.addQueue({"Laser", {}, {}, {}, {}, 0});
    beta.addJob("Laser", 99, "other.doc", "zed");
    w->CurrentPrinter->setEditText("beta");
    selectQueue(*w, "Laser");
    ASSERT_TRUE(runPollTick(*w));
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::ID), QStringList({"12", "123", "14"}));
    EXPECT_EQ(beta.calls.value("jobs"), 0);
}

TEST_F(JobView, TheWindowHandlesEventsWhileThePollWaitsForTheServer) {
    selectQueue(*w, "Laser");
    FakeSpooler& alpha = harness.fake("alpha");
    ASSERT_EQ(alpha.calls.value("queue"), 1);
    HeldAnswer held(alpha);

    Timer2_Timer(*w);
    ASSERT_TRUE(QueuePoll::of(*w).inFlight());
    ASSERT_TRUE(held.waitUntilAsked());
    bool handled = false;
    QTimer::singleShot(0, w, [&handled] { handled = true; });
    EXPECT_TRUE(QTest::qWaitFor([&handled] { return handled; }, 10000));
    Timer2_Timer(*w); // a tick meanwhile asks nothing more

    held.answer();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !QueuePoll::of(*w).inFlight(); }, 10000));
    EXPECT_EQ(alpha.calls.value("queue"), 2);
    EXPECT_TRUE(w->Timer2->isActive());
}

TEST_F(JobView, AReloadOrAConnectionWaitsOffTheWindowsThreadAndIsNotSentAgainMeanwhile) {
    selectQueue(*w, "Laser");
    FakeSpooler& alpha = harness.fake("alpha");
    const auto waitOnce = [&](const std::function<void()>& action) {
        HeldAnswer held(alpha);
        const int reads = alpha.calls.value("jobs");
        action();
        ASSERT_TRUE(held.waitUntilAsked());
        bool handled = false;
        QTimer::singleShot(0, w, [&handled] { handled = true; });
        EXPECT_TRUE(QTest::qWaitFor([&handled] { return handled; }, 10000));
        EXPECT_EQ(w->panelText(1), "Finding Jobs");
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // Again while the server has not answered, and a reload, which either reads.
        action();
        cmdRefreshJobs_Click(*w);
        held.answer();
        EXPECT_TRUE(waitForAnswers(*w));
        EXPECT_EQ(alpha.calls.value("jobs"), reads + 1);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    };

    alpha.addJob("Laser", 14, "late.doc", "di");
    waitOnce([this] { cmdRefreshJobs_Click(*w); });
    EXPECT_EQ(gridColumn(w->JobList, JobColumn::ID), QStringList({"12", "123", "14"}));
    EXPECT_TRUE(w->SearchStatus->text().startsWith("Retrieved Jobs ("));

    waitOnce([this] { CurrentPrinter_KeyDown(*w, 13, 0); });
    EXPECT_EQ(auditRows("Search for queues on alpha"), 2);
    EXPECT_EQ(boxEntries(w->CurrentPrintQueue), QStringList({"Laser", "Inkjet"}));
    EXPECT_TRUE(w->panelText(1).startsWith("Queues Found "));
}
