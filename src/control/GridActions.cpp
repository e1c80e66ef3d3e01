#include "control/GridActions.h"

#include "control/JobActions.h"
#include "control/QueueActions.h"
#include "control/ReleaseSteps.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/Twips.h"

#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

void sortGrid(QTreeWidget* grid, QString& order, int column) {
    const QString header = grid->headerItem()->text(column);
    int key = column;
    for (int i = 0; i < grid->columnCount(); ++i)
        if (grid->headerItem()->text(i) == header) {
            key = i;
            break;
        }
    const bool descending = order.isEmpty() || order == QLatin1String("ascending");
    order = descending ? QStringLiteral("descending") : QStringLiteral("ascending");
    grid->setSortingEnabled(true);
    grid->sortItems(key, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

// Closes the dialog once its job was acted on; fills it again each time it comes
// to the front, for the job selected then.
class JobActionsDialog : public QDialog {
public:
    JobActionsDialog(FrmMain& f) : QDialog(&f), f_(f) {
        setObjectName(QStringLiteral("frmAction"));
        setWindowTitle(QStringLiteral("Job Actions - Spoolwright"));
        txtPrintJob = new QPlainTextEdit(QStringLiteral("No Job Selected"), this);
        txtPrintJob->setObjectName(QStringLiteral("txtPrintJob"));
        txtPrintJob->setReadOnly(true);
        txtPrintJob->setFixedHeight(Twips::toPixels(700));
        lblWhyHeld = new QLabel(this);
        lblWhyHeld->setObjectName(QStringLiteral("lblWhyHeld"));
        lblWhyHeld->setTextFormat(Qt::PlainText);
        lblWhyHeld->hide();
        const auto button = [this](const char* name, const char* caption) {
            auto* made = new QPushButton(QString::fromLatin1(caption), this);
            made->setObjectName(QString::fromLatin1(name));
            made->setAutoDefault(false);
            return made;
        };
        PrintButton = button("PrintButton", "Print");
        DeleteButton = button("DeleteButton", "Delete");
        cmdPrintAll = button("cmdPrintAll", "Print All");
        cmdDeleteAll = button("cmdDeleteAll", "Delete All");
        CancelButton = button("CancelButton", "Cancel");
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(txtPrintJob);
        layout->addWidget(lblWhyHeld);
        auto* row = new QHBoxLayout;
        for (QPushButton* b : {PrintButton, DeleteButton, cmdPrintAll, cmdDeleteAll, CancelButton})
            row->addWidget(b, 0, Qt::AlignTop);
        layout->addLayout(row);
        buttonHeight = PrintButton->sizeHint().height();
        connect(PrintButton, &QPushButton::clicked, this, [this] {
            resumeSelectedJob(f_);
            close();
        });
        connect(DeleteButton, &QPushButton::clicked, this, [this] {
            removeSelectedJob(f_);
            close();
        });
        connect(cmdPrintAll, &QPushButton::clicked, this, [this] { mnuresumealljobs(f_); });
        connect(cmdDeleteAll, &QPushButton::clicked, this, [this] { PurgeAllJobs(f_, false); });
        connect(CancelButton, &QPushButton::clicked, this, &QDialog::close);
    }

    QPlainTextEdit* txtPrintJob;
    QLabel* lblWhyHeld; // why the server holds the job; hidden when nothing does
    QPushButton *PrintButton, *DeleteButton, *cmdPrintAll, *cmdDeleteAll, *CancelButton;
    int buttonHeight;

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)
            fillJobActions(f_);
        return QDialog::event(e);
    }

private:
    FrmMain& f_;
};

} // namespace

void JobList_DblClick(FrmMain& f) {
    if (f.JobList->topLevelItemCount() == 0)
        return;
    if (f.Settings.QuickAction == 1) {
        showJobActions(f);
    } else if (f.Settings.JobAction == QLatin1String("Delete")) {
        removeSelectedJob(f);
    } else {
        resumeSelectedJob(f);
        f.Settings.JobAction = QStringLiteral("Print");
    }
}

void JobList_MouseUp(FrmMain& f, Qt::MouseButtons buttons, const QPoint& at) {
    QAction* jobs = f.menu(QStringLiteral("menuJobs"));
    if (!(buttons & Qt::RightButton) || f.JobList->topLevelItemCount() == 0 || !jobs ||
        !jobs->isEnabled() || !jobs->menu())
        return;
    jobs->menu()->popup(at);
}

void JobList_ColumnClick(FrmMain& f, int column) {
    sortGrid(f.JobList, f.jobGrid().sortOrder(), column);
}

void SearchList_ColumnClick(FrmMain& f, int column) {
    sortGrid(f.SearchList, f.searchGrid().sortOrder(), column);
}

void showJobActions(FrmMain& f) {
    if (!f.frmAction)
        f.frmAction = new JobActionsDialog(f);
    f.frmAction->show();
    f.frmAction->raise();
    f.frmAction->activateWindow();
}

void fillJobActions(FrmMain& f) {
    auto* dialog = static_cast<JobActionsDialog*>(f.frmAction.data());
    if (!dialog)
        return;
    const bool hideAll = f.Settings.QAHideAllButtons;
    const int height = dialog->buttonHeight + (hideAll ? Twips::toPixels(250) : 0);
    dialog->PrintButton->setFixedHeight(height);
    dialog->DeleteButton->setFixedHeight(height);
    dialog->cmdPrintAll->setVisible(!hideAll);
    dialog->cmdDeleteAll->setVisible(!hideAll);
    const SpoolerJob* job = selectedJob(f);
    for (QPushButton* b :
         {dialog->PrintButton, dialog->DeleteButton, dialog->cmdPrintAll, dialog->cmdDeleteAll})
        b->setEnabled(job != nullptr);
    const QString whyHeld = job ? heldJobToolTip(f, *job) : QString();
    dialog->lblWhyHeld->setText(whyHeld);
    dialog->lblWhyHeld->setVisible(!whyHeld.isEmpty());
    if (!job) {
        dialog->txtPrintJob->setPlainText(QStringLiteral("No Job Selected"));
        return;
    }
    const QStringList text = f.jobGrid().texts(*job);
    dialog->txtPrintJob->setPlainText(text[JobColumn::Description] + QLatin1Char('\n') +
                                      text[JobColumn::Computer] + QStringLiteral(" - ") +
                                      text[JobColumn::Size] + QStringLiteral(" - Pages: ") +
                                      text[JobColumn::Pages]);
}
