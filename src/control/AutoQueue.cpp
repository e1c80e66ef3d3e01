#include "control/ActionSteps.h"
#include "control/ReleaseQueue.h"
#include "control/ReleaseSteps.h"
#include "form/FrmMain.h"
#include "form/SettingsRecord.h"
#include "form/WaitCursor.h"
#include "log/LogDatabase.h"
#include "platform/CupsStatus.h"
#include "platform/GuardedSpooler.h"
#include "session/QueueSession.h"
#include "shell/IniFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString kHoldEveryJob = QStringLiteral("indefinite");
// The queues whose own hold AutoQueue has changed, "server/queue=its own hold", kept
// in swr.ini from the moment AutoQueue is ticked until it gives the hold back.
const QString kChangedHolds = QStringLiteral("AutoQueue Holds");

QString changedHoldKey(const GuardedSpooler& spooler, const QString& queue) {
    return spooler.serverName() + QLatin1Char('/') + queue;
}

void noteChangedHold(FrmMain& f, const GuardedSpooler& spooler, const QString& queue,
                     const QString& before) {
    if (!writeSettings(*f.services().environment,
                       {{kChangedHolds, changedHoldKey(spooler, queue), before}}))
        f.setPanelText(1, QStringLiteral("The hold of %1 could not be noted in %2")
                              .arg(queue, settingsFilePath(*f.services().environment)));
}

// The server holds every job that arrives from now on. The queue's own setting is
// noted first, so that a run that ends without unticking AutoQueue leaves it to be
// given back; one noted by such a run is the queue's own, not the server's.
void holdArrivingJobs(FrmMain& f, GuardedSpooler& spooler, const QString& queue) {
    const QString noted =
        ReadSetting(*f.services().environment, kChangedHolds, changedHoldKey(spooler, queue));
    const QString before =
        noted.isEmpty() ? spooler.jobHoldUntilDefault(queue).value_or(QStringLiteral("no-hold"))
                        : noted;
    noteChangedHold(f, spooler, queue, before);
    QueueSession::of(f).noteHoldDefault(&spooler, queue, before);
    spooler.setJobHoldUntilDefault(queue, kHoldEveryJob);
}

// Gives the queue its own hold back; the note goes once the server took it.
bool giveBackHold(FrmMain& f, GuardedSpooler& spooler, const QString& queue,
                  const QString& before) {
    auto [result, message] = spooler.exclusive([&](PrintSpooler& s) {
        const SpoolerResult set = s.setJobHoldUntilDefault(queue, before);
        return std::make_pair(set, s.lastMessage());
    });
    if (result != SpoolerResult::Success) {
        showRefusal(f, QStringLiteral("Hold of ") + queue, result, message);
        return false;
    }
    noteChangedHold(f, spooler, queue, QString());
    return true;
}

void giveBackArrivingJobs(FrmMain& f) {
    QueueSession& session = QueueSession::of(f);
    if (!session.holdDefaultServer() || session.holdDefaultQueue().isEmpty())
        return;
    giveBackHold(f, *session.holdDefaultServer(), session.holdDefaultQueue(),
                 session.holdDefaultBefore());
    session.forgetHoldDefault();
}

void switchOn(FrmMain& f) {
    const QString queue = f.CurrentPrintQueue->currentText();
    showActionStatus(f, QStringLiteral("Enable AutoQueue "));
    f.log().WriteAudit(QStringLiteral("AutoQueue"), QStringLiteral("Enable AutoQueue - ") + queue);
    GuardedSpooler* spooler = actionSpooler(f);
    if (spooler && !queue.isEmpty()) {
        const WaitCursor wait;
        spooler->pauseQueue(queue);
        holdArrivingJobs(f, *spooler, queue);
        prepareReleaseQueue(f, *spooler, queue);
    }
    f.menu(QStringLiteral("MenuPause"))->setEnabled(false);
    f.menu(QStringLiteral("MenuResume"))->setEnabled(false);
    restartPoll(f, pollInterval(f.Settings.PollAQ, kPollAQDefaultMs));
    f.chkTimed->setEnabled(true);
    if (!spooler || queue.isEmpty())
        return;
    const WaitCursor wait;
    for (const SpoolerJob& job : spooler->queueJobs(queue)) {
        if (!f.chkAutoQueue->isChecked())
            break;
        if (!isHeld(job) && spooler->pauseJob(queue, job.JobId) == SpoolerResult::Success)
            QueueSession::of(f).noteHeldByProgram(job.JobId);
    }
}

void switchOff(FrmMain& f) {
    // The queue AutoQueue held: a change of queue unticks the box before the window
    // takes the new one.
    const QString& current = QueueSession::of(f).CurrentQueue();
    const QString queue = current.isEmpty() ? f.CurrentPrintQueue->currentText() : current;
    f.chkTimed->setChecked(false);
    f.chkAA->setChecked(false);
    showActionStatus(f, QStringLiteral("Disable AutoQueue "));
    f.log().WriteAudit(QStringLiteral("AutoQueue"), QStringLiteral("Disable AutoQueue - ") + queue);
    {
        const WaitCursor wait;
        giveBackArrivingJobs(f);
    }
    f.menu(QStringLiteral("MenuPause"))->setEnabled(true);
    f.menu(QStringLiteral("MenuResume"))->setEnabled(true);
    restartPoll(f, pollInterval(f.Settings.PollNorm, kPollNormDefaultMs));
    for (QWidget* control :
         std::initializer_list<QWidget*>{f.chkTimed, f.txtTimed, f.optTimed[0], f.optTimed[1]})
        control->setEnabled(false);
}

} // namespace

void chkAutoQueue_Click(FrmMain& f) {
    if (f.chkAutoQueue->isChecked())
        switchOn(f);
    else
        switchOff(f);
}

void chkTimed_Click(FrmMain& f) {
    const QString queue = f.CurrentPrintQueue->currentText();
    const bool on = f.chkTimed->isChecked();
    const QString words =
        on ? QStringLiteral("Enable AutoRelease") : QStringLiteral("Disable AutoRelease");
    showActionStatus(f, words + QLatin1Char(' '));
    f.log().WriteAudit(QStringLiteral("AutoRelease"), words + QStringLiteral(" - ") + queue);
    for (QWidget* control :
         std::initializer_list<QWidget*>{f.optTimed[0], f.optTimed[1], f.txtTimed, f.chkAA})
        control->setEnabled(on);
}

void chkAA_Click(FrmMain&) {
    // Its colours follow the tick by themselves; the box is read when a favourite
    // is stored.
}

void giveBackHoldLeftBehind(FrmMain& f) {
    GuardedSpooler* spooler = actionSpooler(f);
    const QString queue = f.CurrentPrintQueue->currentText();
    if (!spooler || queue.isEmpty() || f.chkAutoQueue->isChecked())
        return;
    const QString before =
        ReadSetting(*f.services().environment, kChangedHolds, changedHoldKey(*spooler, queue));
    if (before.isEmpty())
        return;
    const WaitCursor wait;
    if (giveBackHold(f, *spooler, queue, before))
        f.setPanelText(1, QStringLiteral("AutoQueue was left on when Spoolwright last ended: %1 "
                                         "holds new jobs as before (%2) again")
                              .arg(queue, before));
}
