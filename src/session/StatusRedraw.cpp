#include "session/StatusRedraw.h"

#include "form/FrmMain.h"
#include "form/ShapeColour.h"
#include "log/LogDatabase.h"
#include "session/QueueSession.h"
#include "shell/JobFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

void Timer1_Timer(FrmMain& f) {
    f.log().flushPending(); // never waits: rows the log could not take are tried again
    if (f.log().pendingCount() > 0)
        f.setPanelText(1, LogDatabase::backlogText(f.log().pendingCount()));
    const QString jobs = QString::number(f.JobList->topLevelItemCount());
    f.LabelPrintQueues->setText(QString::number(f.CurrentPrintQueue->count()) +
                                QStringLiteral(" Available Queues"));
    f.LabelPrintJobs->setText(QStringLiteral("Queued Print Jobs: ") + jobs);
    if (f.txtPrintPath->text().isEmpty()) {
        f.setPanelText(2, QString());
        f.setPanelText(3, QString());
    } else {
        f.setPanelText(2, QueueSession::of(f).CurrentQueue() + QStringLiteral(" on ") +
                              f.CurrentPrinter->currentText());
        f.setPanelText(3, QStringLiteral("Jobs: ") + jobs);
    }
    // While a filter narrows the grid, the count says how far.
    if (const QString filtered = jobFilterStatus(f); !filtered.isEmpty())
        f.setPanelText(3, filtered);
    f.FindPrintQueues->setEnabled(!f.CurrentPrinter->currentText().isEmpty());
    if (f.CurrentPrintQueue->currentText().isEmpty()) {
        f.chkAutoQueue->setEnabled(false);
        for (QLineEdit* box :
             {f.txtDescription, f.txtLocation, f.txtPrintPath, f.txtModel, f.txtPrintStatus})
            box->clear();
        f.setPanelText(4, QString());
        ShapeColour::set(f.txtPrintStatus, ShapeColour::white);
    } else {
        f.chkAutoQueue->setEnabled(true);
    }
}
