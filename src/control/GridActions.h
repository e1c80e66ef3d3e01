#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

class FrmMain;
class QTreeWidget;

// The mouse on the job grids, and the job action dialog of a release station.

// A double-click on JobList: the job action dialog, or the default action of the
// settings (Delete, else Print).
void JobList_DblClick(FrmMain& form);
// A right click over JobList pops up the Jobs menu.
void JobList_MouseUp(FrmMain& form, Qt::MouseButtons buttons, const QPoint& globalPosition);
// A click on a column header sorts the grid by it, the other way round from last time.
void JobList_ColumnClick(FrmMain& form, int column);
void SearchList_ColumnClick(FrmMain& form, int column);

// Shows the job action dialog (not modal), made on first use, for the selected job.
void showJobActions(FrmMain& form);
// Fills the dialog from the selected job; run each time it is shown or activated.
void fillJobActions(FrmMain& form);
