#include "app/Timers.h"

#include "control/ReleaseSteps.h"
#include "form/FrmMain.h"
#include "form/ShapeColour.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/PrintSpooler.h"
#include "session/QueueSelection.h"
#include "session/ServerConnection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

int PollInterval(const QString& setting, int defaultMs) {
    bool ok = false;
    const int ms = setting.trimmed().toInt(&ok);
    return ok && ms > 0 ? ms : defaultMs;
}

void Timer1_Timer(FrmMain& f) {
    const QString jobs = QString::number(f.JobList->topLevelItemCount());
    f.LabelPrintQueues->setText(QString::number(f.CurrentPrintQueue->count()) +
                                QStringLiteral(" Available Queues"));
    f.LabelPrintJobs->setText(QStringLiteral("Queued Print Jobs: ") + jobs);
    if (f.txtPrintPath->text().isEmpty()) {
        f.SetPanelText(2, QString());
        f.SetPanelText(3, QString());
    } else {
        f.SetPanelText(2,
                       f.CurrentQueue + QStringLiteral(" on ") + f.CurrentPrinter->currentText());
        f.SetPanelText(3, QStringLiteral("Jobs: ") + jobs);
    }
    f.FindPrintQueues->setEnabled(!f.CurrentPrinter->currentText().isEmpty());
    if (f.CurrentPrintQueue->currentText().isEmpty()) {
        f.chkAutoQueue->setEnabled(false);
        for (QLineEdit* box :
             {f.txtDescription, f.txtLocation, f.txtPrintPath, f.txtModel, f.txtPrintStatus})
            box->clear();
        f.SetPanelText(4, QString());
        ShapeColour::set(f.txtPrintStatus, ShapeColour::White);
    } else {
        f.chkAutoQueue->setEnabled(true);
    }
}

void Timer2_Timer(FrmMain& f) {
    ShapeColour::set(f.ActiveUpdate, ShapeColour::Orange);
    if (f.CurrentPrintQueue->currentText().isEmpty())
        return;
    f.Timer2->stop();
    const QString queueName = f.CurrentPrintQueue->currentText();

    // A job released under AutoQueue is still in the queue: keep watching it closely.
    // The queue is asked for only while a release is being watched.
    bool releasedJobPrinting = false;
    const bool watching = f.chkAutoQueue->isChecked() && !f.LastReleasedJob.isEmpty();
    const std::optional<SpoolerQueue> queue = watching ? GetQueueObject(f) : std::nullopt;
    if (queue && f.ServerContainer && queue->Status == 0)
        for (const SpoolerJob& job : f.ServerContainer->queueJobs(queueName))
            if (job.StatusMask != 1 && job.Name == f.LastReleasedJob) {
                releasedJobPrinting = true;
                break;
            }

    if (releasedJobPrinting) {
        if (f.JobList->topLevelItemCount() > 0)
            f.SetPanelText(1, QStringLiteral("Resume Print Job ") +
                                  DateText::timeOfDay(f.services().clock->now()));
        CurrentPrintQueue_Click(f);
        ShapeColour::set(f.ActiveUpdate, ShapeColour::Red);
        if (f.chkAutoQueue->isChecked())
            f.Timer2->setInterval(PollInterval(f.Settings.PollAQactive, 10));
        f.Timer2->start();
        return;
    }

    if (f.chkAutoQueue->isChecked()) {
        if (f.ServerContainer)
            f.ServerContainer->pauseQueue(queueName);
        f.Timer2->setInterval(PollInterval(f.Settings.PollAQ, 6000));
    } else {
        f.Timer2->setInterval(PollInterval(f.Settings.PollNorm, 10000));
    }
    CurrentPrintQueue_Click(f);
    chkTimedRelease(f);
    if (f.ResumeAllInProgress)
        ResumeAllJobs(f);
    else
        ResumeExceptions(f);
    ShapeColour::set(f.ActiveUpdate, ShapeColour::Green);
    f.Timer2->start();
}
