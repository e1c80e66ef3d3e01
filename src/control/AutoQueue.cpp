#include "control/ActionSteps.h"
#include "control/ReleaseSteps.h"
#include "form/FrmMain.h"
#include "form/SettingsRecord.h"
#include "form/WaitCursor.h"
#include "log/LogDatabase.h"
#include "platform/GuardedSpooler.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString kHoldEveryJob = QStringLiteral("indefinite");

// The server holds every job that arrives from now on; the queue's own setting is
// kept to be given back. A queue found holding already was left so by a run that
// ended with AutoQueue on: its own setting is the server's, printing at once.
void holdArrivingJobs(FrmMain& f, GuardedSpooler& spooler, const QString& queue) {
    const QString before = spooler.jobHoldUntilDefault(queue).value_or(QStringLiteral("no-hold"));
    f.HoldDefaultServer = &spooler;
    f.HoldDefaultQueue = queue;
    f.HoldDefaultBefore = before == kHoldEveryJob ? QStringLiteral("no-hold") : before;
    spooler.setJobHoldUntilDefault(queue, kHoldEveryJob);
}

void giveBackArrivingJobs(FrmMain& f) {
    if (!f.HoldDefaultServer || f.HoldDefaultQueue.isEmpty())
        return;
    f.HoldDefaultServer->setJobHoldUntilDefault(f.HoldDefaultQueue, f.HoldDefaultBefore);
    f.HoldDefaultServer = nullptr;
    f.HoldDefaultQueue.clear();
}

void switchOn(FrmMain& f) {
    const QString queue = f.CurrentPrintQueue->currentText();
    ShowActionStatus(f, QStringLiteral("Enable AutoQueue "));
    f.Log().WriteAudit(QStringLiteral("AutoQueue"), QStringLiteral("Enable AutoQueue - ") + queue);
    GuardedSpooler* spooler = ActionSpooler(f);
    if (spooler && !queue.isEmpty()) {
        const WaitCursor wait;
        spooler->pauseQueue(queue);
        holdArrivingJobs(f, *spooler, queue);
    }
    f.Menu(QStringLiteral("MenuPause"))->setEnabled(false);
    f.Menu(QStringLiteral("MenuResume"))->setEnabled(false);
    RestartPoll(f, PollInterval(f.Settings.PollAQ, kPollAQDefaultMs));
    f.chkTimed->setEnabled(true);
    if (!spooler || queue.isEmpty())
        return;
    const WaitCursor wait;
    for (const SpoolerJob& job : spooler->queueJobs(queue)) {
        if (!f.chkAutoQueue->isChecked())
            break;
        if (job.StatusMask != 1 && spooler->pauseJob(queue, job.JobId) == SpoolerResult::Success)
            f.HeldByProgram.insert(QString::number(job.JobId));
    }
}

void switchOff(FrmMain& f) {
    // The queue AutoQueue held: a change of queue unticks the box before the window
    // takes the new one.
    const QString queue =
        f.CurrentQueue.isEmpty() ? f.CurrentPrintQueue->currentText() : f.CurrentQueue;
    f.chkTimed->setChecked(false);
    f.chkAA->setChecked(false);
    ShowActionStatus(f, QStringLiteral("Disable AutoQueue "));
    f.Log().WriteAudit(QStringLiteral("AutoQueue"), QStringLiteral("Disable AutoQueue - ") + queue);
    {
        const WaitCursor wait;
        giveBackArrivingJobs(f);
    }
    f.Menu(QStringLiteral("MenuPause"))->setEnabled(true);
    f.Menu(QStringLiteral("MenuResume"))->setEnabled(true);
    RestartPoll(f, PollInterval(f.Settings.PollNorm, kPollNormDefaultMs));
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
    ShowActionStatus(f, words + QLatin1Char(' '));
    f.Log().WriteAudit(QStringLiteral("AutoRelease"), words + QStringLiteral(" - ") + queue);
    for (QWidget* control :
         std::initializer_list<QWidget*>{f.optTimed[0], f.optTimed[1], f.txtTimed, f.chkAA})
        control->setEnabled(on);
}

void chkAA_Click(FrmMain&) {
    // Its colours follow the tick by themselves; the box is read when a favourite
    // is stored.
}
