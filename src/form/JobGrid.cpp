#include "form/JobGrid.h"

#include "form/JobIcons.h"
#include "platform/DateText.h"
#include "platform/JobStatus.h"
#include "platform/JobText.h"
#include "platform/NumberText.h"

#include <QItemSelectionModel>
#include <QSet>
#include <QTreeWidget>
#include <algorithm>
#include <utility>

namespace {

// Where a row keeps the Name of its job, to find its record.
constexpr int kNameRole = Qt::UserRole + 1;

// A row that sorts numbers as numbers and the submission time as a time, so that
// 10 pages come after 9 and a job submitted at 10:00 after one at 9:00.
class JobRow : public QTreeWidgetItem {
public:
    explicit JobRow(const JobGrid& grid) : grid_(grid) {}

    QVariant data(int column, int role) const override {
        if (role == Qt::ToolTipRole && column == JobColumn::Status)
            if (const SpoolerJob* job = grid_.jobOf(this))
                if (const QString tip = grid_.statusToolTip(*job); !tip.isEmpty())
                    return tip;
        return QTreeWidgetItem::data(column, role);
    }

    bool operator<(const QTreeWidgetItem& other) const override {
        const QTreeWidget* grid = treeWidget();
        const int column = grid ? grid->sortColumn() : 0;
        const QString header = grid ? grid->headerItem()->text(column) : QString();
        const QString mine = text(column);
        const QString theirs = other.text(column);
        static const QSet<QString> numbers{QStringLiteral("Pages"), QStringLiteral("Printed"),
                                           QStringLiteral("Priority"), QStringLiteral("Size"),
                                           QStringLiteral("ID")};
        if (numbers.contains(header) && leadingNumberOf(mine) != leadingNumberOf(theirs))
            return leadingNumberOf(mine) < leadingNumberOf(theirs);
        if (header == QLatin1String("Submitted")) {
            const QDateTime a = DateText::parse(mine);
            const QDateTime b = DateText::parse(theirs);
            if (a.isValid() && b.isValid() && a != b)
                return a < b;
        }
        return QTreeWidgetItem::operator<(other);
    }

private:
    const JobGrid& grid_;
};

} // namespace

QStringList jobListHeaders() {
    return {QStringLiteral("Status"),   QStringLiteral("Description"), QStringLiteral("Computer"),
            QStringLiteral("User"),     QStringLiteral("Pages"),       QStringLiteral("Printed"),
            QStringLiteral("Priority"), QStringLiteral("Size"),        QStringLiteral("Submitted"),
            QStringLiteral("ID"),       QStringLiteral("Name")};
}

QStringList searchListHeaders() {
    QStringList headers = jobListHeaders();
    headers.insert(SearchColumn::Printer, QStringLiteral("Printer"));
    return headers;
}

JobGrid::JobGrid(QTreeWidget* widget, bool withPrinter)
    : widget_(widget), withPrinter_(withPrinter) {}

QStringList JobGrid::texts(const SpoolerJob& job) const {
    QStringList texts = jobTexts(job);
    if (!withPrinter_)
        texts.removeAt(SearchColumn::Printer);
    return texts;
}

// The filter reads the same columns in both grids: the server-wide grid's Printer
// comes after them.
static_assert(int(JobColumn::Status) == int(SearchColumn::Status) &&
              int(JobColumn::Description) == int(SearchColumn::Description) &&
              int(JobColumn::User) == int(SearchColumn::User));

bool JobGrid::passes(const QTreeWidgetItem* item) const {
    if (filter_.isEmpty())
        return true;
    for (const int column : {JobColumn::User, JobColumn::Description, JobColumn::Status})
        if (item->text(column).contains(filter_, Qt::CaseInsensitive))
            return true;
    return false;
}

void JobGrid::showOrHide(Row& row, bool hide, bool placed) {
    // A widget row's hidden state lives in the view, and asking it for a row costs
    // a search of the grid: the row's own flag says what the view was told.
    if (hide == row.hidden && !(placed && hide))
        return;
    row.hidden = hide;
    if (row.item->treeWidget())
        row.item->setHidden(hide);
}

void JobGrid::hidePlaced(const QList<QTreeWidgetItem*>& items) {
    if (filter_.isEmpty())
        return;
    for (QTreeWidgetItem* item : items) {
        const auto found = rows_.find(item->data(0, kNameRole).toString());
        if (found != rows_.end() && found->hidden)
            showOrHide(*found, true, true);
    }
}

void JobGrid::setFilter(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed == filter_)
        return;
    filter_ = trimmed;
    widget_->setUpdatesEnabled(false);
    for (Row& row : rows_) {
        const bool hide = !passes(row.item);
        showOrHide(row, hide);
        // What the operator cannot see is not what the next action acts on.
        if (hide && row.item->isSelected())
            row.item->setSelected(false);
    }
    const QTreeWidgetItem* current = widget_->currentItem();
    const auto currentRow =
        current ? rows_.constFind(current->data(0, kNameRole).toString()) : rows_.constEnd();
    if (currentRow != rows_.constEnd() && currentRow->hidden)
        widget_->setCurrentItem(nullptr);
    widget_->setUpdatesEnabled(true);
}

int JobGrid::shownCount() const {
    int shown = 0;
    for (const Row& row : rows_)
        shown += row.hidden ? 0 : 1;
    return shown;
}

void JobGrid::fill(Row& row) {
    const QStringList cells = texts(row.job);
    for (int column = 0; column < cells.size(); ++column)
        row.item->setText(column, cells.at(column));
    showOrHide(row, !passes(row.item));
    row.item->setIcon(0, JobIcons::icon(JobIconIndex(cells.first())));
    row.item->setData(0, kNameRole, row.job.Name);
    const QString tip = toolTipOf_ ? toolTipOf_(row.job) : QString();
    // The row's own tool tip, not the Status cell's, which is asked for as it shows.
    if (!tip.isEmpty() || !row.item->QTreeWidgetItem::data(0, Qt::ToolTipRole).toString().isEmpty())
        for (int column = 0; column < cells.size(); ++column)
            row.item->setToolTip(column, tip);
}

// A row is filled before it joins the grid: filled in the grid, each of its cells
// would tell the view of its change, which for thousands of rows at once (a first
// listing, a burst of new jobs) costs more than all the rest.
void JobGrid::fillNew(Row& row, const QString& jobName) {
    row.item = new JobRow(*this);
    fill(row);
    namesByPrinter_[printerOfJobName(jobName)].insert(jobName);
}

void JobGrid::forget(const QString& jobName) {
    const auto printer = namesByPrinter_.find(printerOfJobName(jobName));
    if (printer == namesByPrinter_.end())
        return;
    printer->remove(jobName);
    if (printer->isEmpty())
        namesByPrinter_.erase(printer);
}

void JobGrid::clear() {
    rows_.clear();
    namesByPrinter_.clear();
    widget_->clear();
}

void JobGrid::add(const SpoolerJob& job) {
    Row& row = rows_[job.Name];
    row.job = job;
    if (row.item) {
        fill(row);
        return;
    }
    fillNew(row, job.Name);
    widget_->addTopLevelItem(row.item);
    if (row.hidden)
        showOrHide(row, true, true);
}

void JobGrid::rewrite(const SpoolerJob& job) {
    add(job);
}

void JobGrid::remove(const QString& jobName) {
    const auto found = rows_.constFind(jobName);
    if (found == rows_.constEnd())
        return;
    forget(jobName);
    delete found->item;
    rows_.erase(found);
}

void JobGrid::remove(const QStringList& jobNames) {
    QSet<QTreeWidgetItem*> going;
    for (const QString& name : jobNames) {
        const auto found = rows_.constFind(name);
        if (found == rows_.constEnd())
            continue;
        going.insert(found->item);
        forget(name);
        rows_.erase(found);
    }
    if (going.isEmpty())
        return;
    // Taken out of the grid, the rows lose their selection: the rows that stay get
    // theirs back.
    const QList<QTreeWidgetItem*> selected = widget_->selectedItems();
    QTreeWidgetItem* current = widget_->currentItem();
    const QList<QTreeWidgetItem*> all = widget_->invisibleRootItem()->takeChildren();
    QList<QTreeWidgetItem*> staying;
    staying.reserve(all.size() - going.size());
    for (QTreeWidgetItem* item : all) {
        if (going.contains(item))
            delete item;
        else
            staying << item;
    }
    widget_->addTopLevelItems(staying);
    if (current && !going.contains(current))
        widget_->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* item : selected)
        if (!going.contains(item))
            item->setSelected(true);
    hidePlaced(staying);
}

void JobGrid::merge(const QList<SpoolerJob>& jobs) {
    const SpoolerJob* current = jobOf(widget_->currentItem());
    const QString currentName = current ? current->Name : QString();
    QSet<QString> names;
    names.reserve(jobs.size());
    for (const SpoolerJob& job : jobs)
        names.insert(job.Name);
    for (auto it = rows_.begin(); it != rows_.end();) {
        if (names.contains(it.key())) {
            ++it;
        } else {
            forget(it.key());
            delete it->item;
            it = rows_.erase(it);
        }
    }
    // Rows that are already in their place are rewritten where they stand; only a
    // job that moved or came is placed anew. New rows that follow one another join
    // the grid together.
    QSet<QString> placed;
    QList<QTreeWidgetItem*> coming;
    int index = 0;
    auto placeComing = [&] {
        if (coming.isEmpty())
            return;
        const int first = index - int(coming.size());
        widget_->insertTopLevelItems(first, coming);
        hidePlaced(std::exchange(coming, {}));
    };
    for (const SpoolerJob& job : jobs) {
        if (placed.contains(job.Name))
            continue; // a name the pass lists twice keeps its first place
        placed.insert(job.Name);
        Row& row = rows_[job.Name];
        if (!row.item) {
            row.job = job;
            fillNew(row, job.Name);
            coming.append(row.item);
            ++index;
            continue;
        }
        placeComing();
        QTreeWidgetItem* standing = widget_->topLevelItem(index);
        // A sorted grid keeps its own order. A row moved keeps its selection.
        if (row.item != standing && !widget_->isSortingEnabled()) {
            const bool selected = row.item->isSelected();
            widget_->takeTopLevelItem(widget_->indexOfTopLevelItem(row.item));
            widget_->insertTopLevelItem(index, row.item);
            if (selected)
                row.item->setSelected(true);
            if (row.hidden)
                showOrHide(row, true, true);
        }
        ++index;
        // A job whose hold alone changed is the same job, but its tool tip reads it.
        if (row.job == job && row.job.holdUntil == job.holdUntil &&
            row.job.stateReasons == job.stateReasons && row.item->data(0, kNameRole).isValid())
            continue;
        row.job = job;
        fill(row);
    }
    placeComing();
    // Moving rows may move the current row; the current job keeps it while it stays,
    // and the other selected rows stay selected.
    QTreeWidgetItem* reselect = rowOf(currentName);
    if (reselect && widget_->currentItem() != reselect)
        widget_->setCurrentItem(reselect, 0, QItemSelectionModel::NoUpdate);
}

const SpoolerJob* JobGrid::job(const QString& jobName) const {
    const auto found = rows_.constFind(jobName);
    return found == rows_.constEnd() ? nullptr : &found->job;
}

const SpoolerJob* JobGrid::jobOf(const QTreeWidgetItem* row) const {
    return row ? job(row->data(0, kNameRole).toString()) : nullptr;
}

QTreeWidgetItem* JobGrid::rowOf(const QString& jobName) const {
    const auto found = rows_.constFind(jobName);
    return found == rows_.constEnd() ? nullptr : found->item;
}

QList<SpoolerJob> JobGrid::jobs() const {
    QList<SpoolerJob> list;
    list.reserve(rows_.size());
    for (int i = 0; i < widget_->topLevelItemCount(); ++i)
        if (const SpoolerJob* found = jobOf(widget_->topLevelItem(i)))
            list << *found;
    return list;
}

QList<SpoolerJob> JobGrid::jobsOfQueue(const QString& queue) const {
    // The fast poll asks this many times a second of a grid that can hold the
    // thousands of jobs of a whole server: the queue's rows are found by name, and
    // the grid is walked only to put them in its order.
    const auto names = namesByPrinter_.constFind(queue);
    if (names == namesByPrinter_.constEnd())
        return {};
    QHash<const QTreeWidgetItem*, const SpoolerJob*> ofQueue;
    for (const QString& name : *names) {
        const auto row = rows_.constFind(name);
        ofQueue.insert(row->item, &row->job);
    }
    QList<SpoolerJob> list;
    list.reserve(ofQueue.size());
    for (int i = 0; i < widget_->topLevelItemCount() && list.size() < ofQueue.size(); ++i)
        if (const SpoolerJob* found = ofQueue.value(widget_->topLevelItem(i)))
            list << *found;
    return list;
}

QList<SpoolerJob> JobGrid::selectedJobs() const {
    QList<int> rows;
    for (const QModelIndex& index : widget_->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<SpoolerJob> list;
    list.reserve(rows.size());
    // Ctrl+A and Shift ranges take in rows the filter hides: those are not acted on.
    for (int row : rows) {
        const QTreeWidgetItem* item = widget_->topLevelItem(row);
        if (item->isHidden())
            continue;
        if (const SpoolerJob* found = jobOf(item))
            list << *found;
    }
    return list;
}
