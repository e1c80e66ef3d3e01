#include "shell/JobFilter.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/PanelFrame.h"
#include "form/Twips.h"

#include <QLineEdit>
#include <QTreeWidget>
#include <algorithm>

namespace {

constexpr int kFilterTwips = 360;
// In the ServerView the server-wide grid starts this far down its panel's body,
// below the line of its status texts.
constexpr int kServerViewGridTwips = 360;

JobGrid& shownGrid(FrmMain& f) {
    return f.ServerViewShown ? f.searchGrid() : f.jobGrid();
}

} // namespace

void txtFilter_Change(FrmMain& f) {
    const QString text = f.txtFilter->text();
    f.jobGrid().setFilter(text);
    f.searchGrid().setFilter(text);
}

void focusJobFilter(FrmMain& f) {
    f.txtFilter->setFocus(Qt::ShortcutFocusReason);
    f.txtFilter->selectAll();
}

int jobFilterHeightTwips() {
    return kFilterTwips;
}

void placeJobFilter(FrmMain& f) {
    // One box for both grids: it goes with the ServerView's panel while that is up
    // (the panel covers the job grid), and comes back when it is hidden.
    QWidget* home = f.ServerViewShown ? f.FrameSearch->body() : f.centralWidget();
    const bool focused = f.txtFilter->hasFocus();
    if (f.txtFilter->parentWidget() != home) {
        f.txtFilter->setParent(home);
        f.txtFilter->show();
        if (focused)
            f.txtFilter->setFocus();
    }
    if (f.ServerViewShown) {
        f.txtFilter->setGeometry(0, Twips::toPixels(kServerViewGridTwips), f.SearchList->width(),
                                 Twips::toPixels(kFilterTwips));
        f.txtFilter->raise();
    } else {
        const int height = Twips::toPixels(kFilterTwips);
        f.txtFilter->setGeometry(f.JobList->x(), std::max(f.JobList->y() - height, 0),
                                 f.JobList->width(), height);
    }
    f.SearchList->move(0, Twips::toPixels(kServerViewGridTwips + kFilterTwips));
}

QString jobFilterStatus(FrmMain& f) {
    const JobGrid& grid = shownGrid(f);
    if (grid.filter().isEmpty())
        return QString();
    return QStringLiteral("%1 of %2 jobs shown").arg(grid.shownCount()).arg(grid.count());
}
