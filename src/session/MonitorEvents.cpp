#include "session/MonitorEvents.h"

#include "app/FrmMain.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Prompter.h"
#include "session/JobLog.h"
#include "session/JobRow.h"

#include <QComboBox>
#include <QLabel>
#include <QTreeWidget>

namespace {

// The row of a job: the first whose Name cell is the job name exactly. (Matching
// the beginning of the text would take job 123's row for job 12.)
QTreeWidgetItem* rowOfJob(QTreeWidget* grid, int nameColumn, const QString& jobName) {
    for (int i = 0; i < grid->topLevelItemCount(); ++i)
        if (grid->topLevelItem(i)->text(nameColumn) == jobName)
            return grid->topLevelItem(i);
    return nullptr;
}

void addOrRewrite(QTreeWidget* grid, int nameColumn, const QStringList& texts, bool add) {
    QTreeWidgetItem* row = add ? nullptr : rowOfJob(grid, nameColumn, texts.value(nameColumn));
    FillJobRow(row ? row : new QTreeWidgetItem(grid), texts);
}

void removeRow(QTreeWidget* grid, int nameColumn, const QString& jobName) {
    delete rowOfJob(grid, nameColumn, jobName);
}

void setStatus(FrmMain& f, const QString& text) {
    const QString line = text + DateText::format(f.services().clock->now());
    f.SearchStatus->setText(line);
    f.SetPanelText(1, line);
}

} // namespace

void mwcmnMonitor_JobEvent(FrmMain& f, const QString& action, const QString& detail) {
    const QStringList fields = detail.split(QLatin1Char('|'));
    const QStringList row = SearchRowFromEventFields(fields);
    LogNewJobs(f, {row});

    const bool shownQueue = row[SearchColumn::Printer] == f.CurrentPrintQueue->currentText();
    const QString jobName = row[SearchColumn::Name];
    if (action == QLatin1String("New") || action == QLatin1String("Modified")) {
        const bool add = action == QLatin1String("New");
        addOrRewrite(f.SearchList, SearchColumn::Name, row, add);
        if (shownQueue)
            addOrRewrite(f.JobList, JobColumn::Name, JobRowFromSearchRow(row), add);
        setStatus(f, add ? QStringLiteral("New Job ") : QStringLiteral("Updated Job "));
    } else if (action == QLatin1String("Deleted")) {
        removeRow(f.SearchList, SearchColumn::Name, jobName);
        if (shownQueue)
            removeRow(f.JobList, JobColumn::Name, jobName);
        setStatus(f, QStringLiteral("Deleted Job "));
    }
}

void mwcmnMonitor_ConnectEvent(FrmMain& f, const QString& text) {
    if (text == QLatin1String("WMI Connection Error"))
        f.services().prompter->message(
            QStringLiteral("Spoolwright"),
            QStringLiteral("Cannot connect to server, jobs will not update!"),
            Prompter::Icon::Critical);
    const QString line = QStringLiteral("Server ") + text + QLatin1Char(' ') +
                         DateText::format(f.services().clock->now());
    f.SetPanelText(1, line);
    f.SearchStatus->setText(line);
    f.ServerStatus->setText(line);
}
