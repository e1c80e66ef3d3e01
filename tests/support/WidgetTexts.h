#pragma once

#include <QComboBox>
#include <QStringList>
#include <QTreeWidget>

// The texts of one column of a job grid, top to bottom.
inline QStringList gridColumn(const QTreeWidget* grid, int column) {
    QStringList texts;
    for (int i = 0; i < grid->topLevelItemCount(); ++i)
        texts << grid->topLevelItem(i)->text(column);
    return texts;
}

// The entries of a list box, first to last.
inline QStringList boxEntries(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}
