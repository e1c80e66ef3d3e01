#include "app/ReleaseEvents.h"

#include "control/GridActions.h"
#include "control/ReleaseSteps.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

// Hands every mouse button released over the job grid to its procedure.
class MouseUpFilter : public QObject {
public:
    MouseUpFilter(FrmMain& f) : QObject(f.JobList), f_(f) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            JobList_MouseUp(f_, mouse->button() | mouse->buttons(),
                            mouse->globalPosition().toPoint());
        }
        return false;
    }

private:
    FrmMain& f_;
};

} // namespace

void wireReleaseControls(FrmMain& f) {
    // Off until AutoQueue (and then AutoRelease) is ticked.
    for (QWidget* control : std::initializer_list<QWidget*>{f.chkTimed, f.txtTimed, f.optTimed[0],
                                                            f.optTimed[1], f.chkAA})
        control->setEnabled(false);
    // Ticked by code or by hand alike, the boxes run their handlers.
    QObject::connect(f.chkAutoQueue, &QCheckBox::toggled, &f, [&f] { chkAutoQueue_Click(f); });
    QObject::connect(f.chkTimed, &QCheckBox::toggled, &f, [&f] { chkTimed_Click(f); });
    QObject::connect(f.chkAA, &QCheckBox::toggled, &f, [&f] { chkAA_Click(f); });

    for (JobGrid* grid : {&f.jobGrid(), &f.searchGrid()})
        grid->setStatusToolTipOf([&f](const SpoolerJob& job) { return heldJobToolTip(f, job); });
    f.JobList->setToolTip(
        QStringLiteral("Double Click to action or Right Click for all job Options"));
    // A double-click acts on its row alone, whatever else was selected.
    QObject::connect(f.JobList, &QTreeWidget::itemDoubleClicked, &f, [&f](QTreeWidgetItem* row) {
        f.JobList->setCurrentItem(row, 0,
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        JobList_DblClick(f);
    });
    f.JobList->viewport()->installEventFilter(new MouseUpFilter(f));
    f.JobList->header()->setSectionsClickable(true);
    f.SearchList->header()->setSectionsClickable(true);
    QObject::connect(f.JobList->header(), &QHeaderView::sectionClicked, &f,
                     [&f](int column) { JobList_ColumnClick(f, column); });
    QObject::connect(f.SearchList->header(), &QHeaderView::sectionClicked, &f,
                     [&f](int column) { SearchList_ColumnClick(f, column); });
}
