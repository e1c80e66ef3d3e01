#pragma once

#include <QStringList>
#include <QTreeWidget>

// The texts of one column of a job grid, top to bottom.
inline QStringList GridColumn(const QTreeWidget* grid, int column) {
    QStringList texts;
    for (int i = 0; i < grid->topLevelItemCount(); ++i)
        texts << grid->topLevelItem(i)->text(column);
    return texts;
}
