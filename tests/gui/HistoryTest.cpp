#include "shell/History.h"
#include "support/MainWindowHarness.h"

#include <QComboBox>
#include <gtest/gtest.h>

TEST(History, ExactDuplicatesOnceCaseVariantsKeptEmptyLinesSkipped) {
    MainWindowHarness harness;
    harness.writeAppDataFile(QStringLiteral("swr.his"), "alpha\r\nbeta\r\nalpha\r\nAlpha\r\n\r\n");
    harness.writeAppDataFile(QStringLiteral("empty.his"), "");
    FrmMain& w = harness.create();
    ShowFrmMain(w);
    QStringList entries;
    for (int i = 0; i < w.CurrentPrinter->count(); ++i)
        entries << w.CurrentPrinter->itemText(i);
    EXPECT_EQ(entries, QStringList({"alpha", "beta", "Alpha", "testhost"}));

    QComboBox box;
    List_Load(&box, harness.appDataPath() + QStringLiteral("/empty.his"));
    List_Load(&box, harness.appDataPath() + QStringLiteral("/missing.his"));
    EXPECT_EQ(box.count(), 0);

    w.close();
    EXPECT_EQ(harness.readAppDataFile(QStringLiteral("swr.his")),
              QByteArray("alpha\r\nbeta\r\nAlpha\r\ntesthost\r\n"));
}
