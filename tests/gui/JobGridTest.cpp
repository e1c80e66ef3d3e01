#include "form/JobGrid.h"
#include "platform/JobText.h"
#include "support/FakeSpooler.h"
#include "support/WidgetTexts.h"

#include <gtest/gtest.h>

namespace {

SpoolerJob job(const char* queue, int id, const QString& document = "doc") {
    return sampleJob(QString::fromLatin1(queue), id, document);
}

} // namespace

TEST(JobGrid, AMergeKeepsTheRowsOfJobsThatStayAndFollowsThePassOrder) {
    QTreeWidget widget;
    widget.setColumnCount(JobColumn::Count);
    JobGrid grid(&widget, false);
    grid.merge({job("Laser", 1), job("Laser", 2), job("Laser", 3)});
    QTreeWidgetItem* kept = grid.rowOf("Laser, 2");
    widget.setCurrentItem(kept);

    grid.merge({job("Laser", 4), job("Laser", 2, "renamed"), job("Laser", 1)});
    EXPECT_EQ(gridColumn(&widget, JobColumn::ID), QStringList({"4", "2", "1"}));
    EXPECT_EQ(gridColumn(&widget, JobColumn::Description), QStringList({"doc", "renamed", "doc"}));
    EXPECT_EQ(grid.rowOf("Laser, 2"), kept);
    EXPECT_EQ(widget.currentItem(), kept);
    EXPECT_EQ(grid.count(), 3);
    EXPECT_FALSE(grid.job("Laser, 3"));
    EXPECT_EQ(grid.jobOf(kept)->Document, "renamed");

    // Events: a rewrite of an unknown job adds it, a removal of an unknown one is nothing.
    grid.rewrite(job("Laser", 7));
    grid.remove("Laser, 4");
    grid.remove("Laser, 99");
    EXPECT_EQ(gridColumn(&widget, JobColumn::ID), QStringList({"2", "1", "7"}));
    // Many at once: those that stay keep their order and their rows.
    grid.rewrite(job("Laser", 8));
    grid.remove(QStringList({"Laser, 1", "Laser, 99", "Laser, 8"}));
    EXPECT_EQ(gridColumn(&widget, JobColumn::ID), QStringList({"2", "7"}));
    EXPECT_EQ(grid.rowOf("Laser, 2"), kept);
    EXPECT_FALSE(grid.job("Laser, 1"));
    EXPECT_EQ(grid.count(), 2);
    grid.clear();
    EXPECT_EQ(widget.topLevelItemCount(), 0);
    EXPECT_FALSE(grid.rowOf("Laser, 2"));
}

TEST(JobGrid, TheServerWideGridFiltersAQueueByItsRecords) {
    QTreeWidget widget;
    widget.setColumnCount(SearchColumn::Count);
    JobGrid grid(&widget, true);
    grid.merge({job("Laser", 1), job("Annex, West", 2), job("Laser", 3), job("Laser, Annex", 4),
                job("Laser2", 5)});
    EXPECT_EQ(gridColumn(&widget, SearchColumn::Printer),
              QStringList({"Laser", "Annex, West", "Laser", "Laser, Annex", "Laser2"}));
    const auto namesOf = [&grid](const QString& queue) {
        QStringList names;
        for (const SpoolerJob& j : grid.jobsOfQueue(queue))
            names << j.Name;
        return names;
    };
    // Printers whose names begin with another's keep their jobs apart.
    EXPECT_EQ(namesOf("Laser"), QStringList({"Laser, 1", "Laser, 3"}));
    EXPECT_EQ(namesOf("Laser, Annex"), QStringList({"Laser, Annex, 4"}));
    EXPECT_EQ(namesOf("Annex"), QStringList());
}

TEST(JobGrid, SelectedRowsStaySelectedWhileRowsMoveAndGo) {
    QTreeWidget widget;
    widget.setColumnCount(JobColumn::Count);
    widget.setSelectionMode(QAbstractItemView::ExtendedSelection);
    JobGrid grid(&widget, false);
    grid.merge({job("Laser", 1), job("Laser", 2), job("Laser", 3), job("Laser", 4)});
    grid.rowOf("Laser, 1")->setSelected(true);
    grid.rowOf("Laser, 3")->setSelected(true);
    widget.setCurrentItem(grid.rowOf("Laser, 3"), 0, QItemSelectionModel::NoUpdate);
    const auto selected = [&grid] {
        QStringList names;
        for (const SpoolerJob& j : grid.selectedJobs())
            names << j.Name;
        return names;
    };

    // In the order of the rows, whichever moved.
    grid.merge({job("Laser", 3), job("Laser", 2), job("Laser", 1), job("Laser", 4)});
    EXPECT_EQ(selected(), QStringList({"Laser, 3", "Laser, 1"}));
    EXPECT_EQ(widget.currentItem(), grid.rowOf("Laser, 3"));
    grid.remove(QStringList({"Laser, 2", "Laser, 4"}));
    EXPECT_EQ(selected(), QStringList({"Laser, 3", "Laser, 1"}));
    EXPECT_EQ(widget.currentItem(), grid.rowOf("Laser, 3"));
    grid.remove("Laser, 3");
    EXPECT_EQ(selected(), QStringList({"Laser, 1"}));
}
