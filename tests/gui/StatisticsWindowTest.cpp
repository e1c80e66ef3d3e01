#include "log/LogDatabase.h"
#include "platform/ProfileFile.h"
#include "shell/FrmStats.h"
#include "shell/PageCounters.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// A window whose swr.ini holds running totals since a reset in March 2024 and whose
// log holds jobs released and deleted today and earlier.
class StatisticsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        w = &harness.show("Audit=True\r\nResetTotal=2024-03-05 14:30:00\r\n" + extraSettings +
                          "[Log Counters]\r\nDeletedCounter=40000\r\nPrintedCounter=10000x\r\n");
        const QString today = harness.clock.now().toString("yyyy-MM-dd");
        w->log().setLogFieldsOfRows({{"1-a",
                                      {{"Server", "PRN10"},
                                       {"Queue", "Laser"},
                                       {"User", "ann"},
                                       {"Pages", "6"},
                                       {"Printed Pages", "6"},
                                       {"Resumed", today + " 08:00:00"},
                                       {"Time Submitted", "2024-01-02 07:00:00"}}},
                                     {"2-a",
                                      {{"Server", "PRN1"},
                                       {"Queue", "laser"},
                                       {"User", "Bob"},
                                       {"Pages", "2"},
                                       {"Deleted Pages", "2"},
                                       {"Deleted", today + " 09:00:00"}}}});
        SessionPages::of(*w).addDeleted(400);
        SessionPages::of(*w).addPrinted(100);
    }
    FrmStats* open() {
        w->menu("MenuStatistics")->trigger();
        auto* shown = w->findChild<FrmStats*>("FrmStats");
        return shown && shown->isVisible() ? shown : nullptr;
    }
    QString counter(const char* key) {
        return ProfileFile::read(harness.appDataPath() + "/swr.ini", "Log Counters", key,
                                 "<missing>");
    }

    QByteArray extraSettings;
    MainWindowHarness harness;
    FrmMain* w = nullptr;
};

class SimpleMenuStatistics : public StatisticsWindow {
protected:
    void SetUp() override {
        extraSettings = "SimpleView=Simple Menu\r\n";
        StatisticsWindow::SetUp();
    }
};

} // namespace

TEST_F(StatisticsWindow, RefreshShowsTheSessionTheTotalsAndTheLogWithTheirSavings) {
    FrmStats* stats = open();
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->windowTitle(), "Statistics - Spoolwright");
    EXPECT_EQ(stats->lblSessionPrinted->text(), "Current Session - Printed Pages: 100");
    EXPECT_EQ(stats->lblSessionDeleted->text(), "Current Session - Deleted Pages: 400");
    EXPECT_EQ(stats->lblSessionSavings->text(), "Your Current Saving is 80.00%");
    EXPECT_EQ(stats->lblTotalDeleted->text(), "Total Deleted Pages: 40000");
    EXPECT_EQ(stats->lblTotalPrinted->text(), "Total Printed Pages: 10000");
    EXPECT_EQ(stats->lblTotalSavings->text(), "Your Total Saving is 80.00%");
    EXPECT_EQ(stats->lblTotalReset->text(), "Total Last Reset: 2024-03-05");

    const QString today = harness.clock.now().toString("yyyy-MM-dd");
    const QStringList log = {"Log Printed Pages: 6",   "Log Deleted Pages: 2",
                             "Log Saving is 25.00%",   "Log Started: 2024-01-02",
                             "Log Finished: " + today, "Pages Managed: 8",
                             "Jobs Managed: 2",        "Servers Managed: 2",
                             "Queues Managed: 1",      "Users Managed: 2"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(stats->lblLog[size_t(i)]->text(), log[i]);
    EXPECT_EQ(stats->lblSheets->text(), "Sheets Saved (log): 2 (one sheet a page)");
    EXPECT_EQ(stats->lblTrees->text(), "Trees Saved: 0.00 (8,333 sheets a tree)");
    EXPECT_EQ(stats->lblCo2->text(), "CO2 Saved: 0.03 kg (12.7 g a sheet)");

    // Today's bars, the last of 30 days.
    const auto* series = qobject_cast<QBarSeries*>(stats->chartPages->chart()->series().value(0));
    ASSERT_NE(series, nullptr);
    ASSERT_EQ(series->barSets().size(), 2);
    EXPECT_EQ(series->barSets()[0]->count(), 30);
    EXPECT_EQ(series->barSets()[0]->at(29), 6);
    EXPECT_EQ(series->barSets()[1]->at(29), 2);

    // The labels change on Refresh only, and then in the system's number format.
    SessionPages::of(*w).reset();
    SessionPages::of(*w).addPrinted(100);
    EXPECT_EQ(stats->lblSessionDeleted->text(), "Current Session - Deleted Pages: 400");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    stats->cmdRefreshStats->click();
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(stats->lblSessionSavings->text(), "Your Current Saving is ");
    EXPECT_EQ(stats->lblTotalSavings->text(), "Your Total Saving is 80,00%");
    EXPECT_EQ(stats->lblLog[2]->text(), "Log Saving is 25,00%");
    EXPECT_EQ(stats->lblTrees->text(), "Trees Saved: 0,00 (8.333 sheets a tree)");
}

TEST_F(StatisticsWindow, ResetZeroesTheTotalsAndTheSessionAndLeavesTheLog) {
    FrmStats* stats = open();
    ASSERT_NE(stats, nullptr);
    EXPECT_FALSE(stats->cmdResetStats->isHidden());
    stats->cmdResetStats->click();
    EXPECT_TRUE(harness.prompter.asked.isEmpty()); // without asking
    EXPECT_EQ(counter("DeletedCounter"), "0");
    EXPECT_EQ(counter("PrintedCounter"), "0");
    EXPECT_EQ(
        SessionPages::of(*w).SessionPrintedPages() + SessionPages::of(*w).SessionDeletedPages(), 0);
    EXPECT_EQ(stats->lblTotalDeleted->text(), "Total Deleted Pages: 0");
    EXPECT_EQ(stats->lblTotalSavings->text(), "Your Total Saving is ");
    EXPECT_EQ(stats->lblSessionSavings->text(), "Your Current Saving is ");
    EXPECT_EQ(stats->lblTotalReset->text(),
              "Total Last Reset: " + harness.clock.now().toString("yyyy-MM-dd"));
    EXPECT_EQ(stats->lblLog[1]->text(), "Log Deleted Pages: 2");

    w->close(); // the reset date is saved with the settings
    EXPECT_TRUE(ProfileFile::read(harness.appDataPath() + "/swr.ini", "Spoolwright", "ResetTotal",
                                  QString())
                    .startsWith(harness.clock.now().toString("yyyy-MM-dd")));
}

TEST_F(StatisticsWindow, AccessOpensTheLogFileAndWritesItsAuditRow) {
    FrmStats* stats = open();
    ASSERT_NE(stats, nullptr);
    QFile::remove(w->log().filePath()); // made again from the template first
    stats->CmdAccess->click();
    ASSERT_EQ(harness.desktop.opened.size(), 1);
    EXPECT_EQ(harness.desktop.opened[0], QUrl::fromLocalFile(w->log().filePath()));
    EXPECT_EQ(logRows(w->log(), "SELECT Action, Description FROM SWR_Audit ORDER BY rowid DESC "
                                "LIMIT 1"),
              (QList<QStringList>{{"Log", "Log opened in Access"}}));

    // A log that cannot be had: the message, and no audit row.
    w->Settings.LogPath = harness.appDataPath() + "/no-such-folder";
    stats->CmdAccess->click();
    EXPECT_EQ(harness.desktop.opened.size(), 1);
    ASSERT_EQ(harness.prompter.asked.size(), 1);
    EXPECT_EQ(harness.prompter.asked[0].text,
              "The database cannot be opened or Lookup cannot connect to Access");
    EXPECT_EQ(harness.prompter.asked[0].title, "Spoolwright");
}

TEST_F(SimpleMenuStatistics, TheSimpleMenuStyleHidesResetAndAccessEvenWithTheFullMenuShown) {
    w->menu("mnuMenu")->trigger(); // the full menu for this run
    FrmStats* stats = open();
    ASSERT_NE(stats, nullptr);
    EXPECT_TRUE(stats->cmdResetStats->isHidden());
    EXPECT_TRUE(stats->CmdAccess->isHidden());
    EXPECT_FALSE(stats->cmdRefreshStats->isHidden());
    EXPECT_FALSE(stats->cmdExportLog->isHidden());
}
