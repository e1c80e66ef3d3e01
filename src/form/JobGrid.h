#pragma once

#include "platform/PrintSpooler.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

// The columns of the job grid of one queue (JobList): the twelve texts of a job
// without Printer. The server-wide grid (SearchList) shows all twelve (SearchColumn).
namespace JobColumn {
enum : int {
    Status,
    Description,
    Computer,
    User,
    Pages,
    Printed,
    Priority,
    Size,
    Submitted,
    ID,
    Name,
    Count
};
}

QStringList jobListHeaders();
QStringList searchListHeaders();

// One of the two job grids: the widget and the job records its rows show, with a
// hash from the job's Name ("printer, id") to its row, so that an event finds its
// row at once. Every path that adds, rewrites or removes a row goes through here;
// filtering and logging read the records, never the widget's cells.
class JobGrid {
public:
    // withPrinter: the server-wide grid, which has the Printer column.
    JobGrid(QTreeWidget* widget, bool withPrinter);

    QTreeWidget* widget() const { return widget_; }
    int count() const { return static_cast<int>(rows_.size()); }

    void clear();
    // Appends a row for the job (the row of a job already shown is rewritten).
    void add(const SpoolerJob& job);
    // Rewrites the job's row, adding it when there is none.
    void rewrite(const SpoolerJob& job);
    void remove(const QString& jobName);
    // Removes many rows at once: the widget is emptied and the rows that stay put
    // back, in their order, instead of searching it for each row that goes.
    void remove(const QStringList& jobNames);
    // Makes the grid show exactly these jobs in this order, keeping the rows (and so
    // the selection) of jobs that stay.
    void merge(const QList<SpoolerJob>& jobs);

    // The job of a row or of a name; nothing when the grid has no such job.
    const SpoolerJob* job(const QString& jobName) const;
    const SpoolerJob* jobOf(const QTreeWidgetItem* row) const;
    QTreeWidgetItem* rowOf(const QString& jobName) const;
    // The jobs in the order of the rows.
    QList<SpoolerJob> jobs() const;
    // The jobs of one queue, in the order of the rows.
    QList<SpoolerJob> jobsOfQueue(const QString& queue) const;
    // The jobs of the selected rows, in the order of the rows.
    QList<SpoolerJob> selectedJobs() const;

    // The texts a row shows for the job.
    QStringList texts(const SpoolerJob& job) const;

    // What the tool tip of a job's row says (nothing: no tool tip), asked whenever
    // the row is filled.
    void setToolTipOf(std::function<QString(const SpoolerJob&)> toolTipOf) {
        toolTipOf_ = std::move(toolTipOf);
    }

    // What the tool tip of a job's Status cell says (nothing: the row's tool tip),
    // asked each time the tool tip shows, so that it tells what is known then.
    void setStatusToolTipOf(std::function<QString(const SpoolerJob&)> statusToolTipOf) {
        statusToolTipOf_ = std::move(statusToolTipOf);
    }
    QString statusToolTip(const SpoolerJob& job) const {
        return statusToolTipOf_ ? statusToolTipOf_(job) : QString();
    }

    // Shows only the rows of jobs whose user, document or status holds the text,
    // without regard to case; an empty text (or blanks) shows every row. The rows it
    // hides stay in the grid, so whatever reads the grid's jobs sees every one.
    void setFilter(const QString& text);
    const QString& filter() const { return filter_; }
    // The rows the filter lets through.
    int shownCount() const;

    // The order the operator last sorted the grid in: "" (not yet, counts as
    // ascending), "ascending" or "descending".
    QString& sortOrder() { return sortOrder_; }

private:
    struct Row {
        SpoolerJob job;
        QTreeWidgetItem* item = nullptr;
        bool hidden = false; // by the filter; the widget follows once the row is in it
    };
    void fill(Row& row);
    // Whether the filter lets a filled widget row through.
    bool passes(const QTreeWidgetItem* item) const;
    // Hides or shows the row as the filter says; `placed`: its widget row has just
    // joined the grid (again), which shows it whatever it was before.
    void showOrHide(Row& row, bool hide, bool placed = false);
    // The same for widget rows that have just joined the grid.
    void hidePlaced(const QList<QTreeWidgetItem*>& items);
    // Drops a job from namesByPrinter_.
    void forget(const QString& jobName);
    // Makes the row's widget row, filled but not yet in the grid.
    void fillNew(Row& row, const QString& jobName);

    QTreeWidget* widget_;
    bool withPrinter_;
    QHash<QString, Row> rows_;
    // The names of rows_ by their printer, so that one queue's rows are found
    // without going through the whole server's.
    QHash<QString, QSet<QString>> namesByPrinter_;
    std::function<QString(const SpoolerJob&)> toolTipOf_;
    std::function<QString(const SpoolerJob&)> statusToolTipOf_;
    QString sortOrder_;
    QString filter_;
};
