#pragma once

#include "form/WindowPart.h"

#include <QSet>
#include <QString>
#include <QStringList>

struct SpoolerQueue;

// What the operator is told of the watched printer and of jobs held long: the
// printer-state-reasons that need attention, as the last refresh read them, and the
// desktop notifications already sent, so that each new reason and each long-held job
// is announced once.
class PrinterAlerts : public WindowPart {
public:
    explicit PrinterAlerts(FrmMain& form) : WindowPart(form) {}
    static PrinterAlerts& of(FrmMain& form) { return windowPart<PrinterAlerts>(form); }

    // The queue the reasons are of, "server/queue"; empty before a refresh read one.
    const QString& watched() const { return watched_; }
    // Its reasons that need attention, in the server's order.
    const QStringList& attention() const { return attention_; }
    // Takes the reasons a refresh read of this queue; gives those that were not there
    // at the last refresh of the same queue. A reason that went and came back is new.
    QStringList takeReasons(const QString& watched, const QStringList& attention);
    // True the first time it is asked for this job; jobs not in `current` are forgotten.
    bool firstNoticeOf(const QString& jobName, const QSet<QString>& current);

private:
    QString watched_;
    QStringList attention_;
    QSet<QString> heldNoticed_;
};

// What a refresh of the job view reads of the queue: notes its reasons and, when the
// operator asked for it, notifies each new one.
void notePrinterAttention(FrmMain& form, const QString& server, const SpoolerQueue& queue);
// The part of the queue status text that says the printer needs attention,
// " - Needs Attention (paper jam, toner low)"; empty when it needs none.
QString attentionStatusText(FrmMain& form);
// Notifies each job of the grid held longer than the operator's minutes, once.
void noticeLongHeldJobs(FrmMain& form);
