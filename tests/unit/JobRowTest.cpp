#include "session/JobRow.h"
#include "platform/DateText.h"
#include "platform/PrintSpooler.h"
#include "session/JobIcons.h"

#include <QTreeWidgetItem>
#include <gtest/gtest.h>

TEST(JobRow, GridHeadersPutPrinterAfterUserOnlyInTheServerWideGrid) {
    const QStringList jobList{"Status",   "Description", "Computer",  "User", "Pages", "Printed",
                              "Priority", "Size",        "Submitted", "ID",   "Name"};
    EXPECT_EQ(JobListHeaders(), jobList);
    QStringList searchList = jobList;
    searchList.insert(4, QStringLiteral("Printer"));
    EXPECT_EQ(SearchListHeaders(), searchList);
}

TEST(JobRow, SpoolerJobFillsTheServerWideRowAndTheQueueRowDropsPrinter) {
    SpoolerJob job;
    job.JobId = 17;
    job.Name = QStringLiteral("Office-Laser, 17");
    job.Document = QStringLiteral("Budget, final.pdf");
    job.Owner = QStringLiteral("alice");
    job.HostPrintQueue = QStringLiteral("desk7");
    job.TotalPages = 5;
    job.PagesPrinted = 2;
    job.Priority = 50;
    job.Size = 5 * 1024 + 1023; // the remainder is dropped
    job.TimeSubmitted = QDateTime(QDate(2026, 12, 5), QTime(9, 4, 7));
    job.StatusMask = 1;

    const QStringList row = SearchRowFromJob(job);
    const QStringList expected{
        "Paused", "Budget, final.pdf",   "desk7", "alice",           "Office-Laser", "5", "2", "50",
        "5KB",    "2026-12-05 09:04:07", "17",    "Office-Laser, 17"};
    EXPECT_EQ(row, expected);

    QStringList queueRow = expected;
    queueRow.removeAt(4);
    EXPECT_EQ(JobRowFromSearchRow(row), queueRow);
    EXPECT_EQ(TransactionID(row[SearchColumn::ID], row[SearchColumn::Submitted]),
              QStringLiteral("17-2026-12-05 09:04:07"));
}

TEST(JobRow, SizeTextUsesWholeKilobytes) {
    EXPECT_EQ(SizeText(0), QStringLiteral("0KB"));
    EXPECT_EQ(SizeText(1023), QStringLiteral("0KB"));
    EXPECT_EQ(SizeText(1024), QStringLiteral("1KB"));
    EXPECT_EQ(SizeText(3LL * 1024 * 1024 * 1024), QStringLiteral("3145728KB")); // past 32 bits
}

TEST(JobRow, MonitorEventFieldsKeepTheirTextsButDecodeTheStatus) {
    const QStringList fields =
        QStringLiteral("24|report.txt|desk7|bob|Lab-PDF|3|0|40|12 KB|05/12/2026 09:04|8|Lab-PDF, 8")
            .split('|');
    const QStringList row = SearchRowFromEventFields(fields);
    ASSERT_EQ(row.size(), 12);
    EXPECT_EQ(row[SearchColumn::Status], QStringLiteral("OK"));
    EXPECT_EQ(row[SearchColumn::Printer], QStringLiteral("Lab-PDF"));
    EXPECT_EQ(row[SearchColumn::Size], QStringLiteral("12 KB")); // as received
    EXPECT_EQ(row[SearchColumn::Submitted], QStringLiteral("05/12/2026 09:04"));
    EXPECT_EQ(row[SearchColumn::Name], QStringLiteral("Lab-PDF, 8"));
    // A short detail gives empty cells rather than shifting columns.
    const QStringList shortRow = SearchRowFromEventFields({QStringLiteral("1"), "doc"});
    EXPECT_EQ(shortRow.size(), 12);
    EXPECT_EQ(shortRow[SearchColumn::Status], QStringLiteral("Paused"));
    EXPECT_TRUE(shortRow[SearchColumn::Name].isEmpty());
}

TEST(JobRow, PrinterOfAJobNameIsTheTextBeforeTheFirstComma) {
    EXPECT_EQ(PrinterOfJobName(QStringLiteral("Office-Laser, 17")), QStringLiteral("Office-Laser"));
    EXPECT_EQ(PrinterOfJobName(QStringLiteral("NoComma")), QStringLiteral("NoComma"));
    EXPECT_EQ(PrinterOfJobName(QString()), QString());
}

TEST(JobRow, FillingARowSetsEveryCellAndTheIconOfItsStatus) {
    QTreeWidgetItem item;
    QStringList texts{"Spooling", "a", "b", "c", "1", "0", "1", "1KB", "t", "9", "Q, 9"};
    FillJobRow(&item, texts);
    EXPECT_EQ(RowTexts(&item), texts);
    EXPECT_EQ(item.icon(0).pixmap(16).toImage(), JobIcons::icon(4).pixmap(16).toImage());
    texts[0] = QStringLiteral("Paused");
    FillJobRow(&item, texts);
    EXPECT_EQ(item.icon(0).pixmap(16).toImage(), JobIcons::icon(5).pixmap(16).toImage());
    EXPECT_NE(JobIcons::icon(4).pixmap(16).toImage(), JobIcons::icon(5).pixmap(16).toImage());
}
