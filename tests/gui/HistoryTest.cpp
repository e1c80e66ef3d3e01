#include "shell/History.h"
#include "support/MainWindowHarness.h"
#include "support/WidgetTexts.h"

#include <gtest/gtest.h>

TEST(History, LoadsEachPlausibleServerNameOnceAndTheWindowSavesItWithItsServer) {
    MainWindowHarness harness;
    const QByteArray longest(255, 'a');
    harness.writeAppDataFile("other.his",
                             "beta\r\nalpha\r\nprint\tserver\r\n\r\ngamma\r\nbeta\r\n\x01\x02\r\n" +
                                 QByteArray(300, 'b') + "\r\nBeta\r\n" + longest +
                                 "\r\nlf-only\nesc\x1b[31m\r\nalpha\r\n");
    QComboBox box;
    box.setEditable(true);
    box.addItem("alpha");
    box.setCurrentIndex(-1);
    box.setEditText("typed");

    List_Load(&box, harness.appDataPath() + QStringLiteral("/other.his"));
    List_Load(&box, harness.appDataPath() + QStringLiteral("/missing.his"));

    EXPECT_EQ(boxEntries(&box), QStringList({"alpha", "beta", "gamma", "Beta",
                                             QString::fromLatin1(longest), "lf-only"}));
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.currentText(), "typed");

    // Adding one name keeps to the same rule: exact, case-sensitive, never empty.
    List_Add(&box, "gamma");
    List_Add(&box, QString());
    List_Add(&box, "GAMMA");
    EXPECT_EQ(boxEntries(&box).mid(5), QStringList({"lf-only", "GAMMA"}));
    EXPECT_EQ(box.currentText(), "typed");

    // The window loads it at start and saves it, with the server it used, at close.
    harness.writeAppDataFile("swr.his", "alpha\r\nbeta\r\nalpha\r\nAlpha\r\n");
    FrmMain& w = harness.show();
    EXPECT_EQ(boxEntries(w.CurrentPrinter), QStringList({"alpha", "beta", "Alpha", "testhost"}));
    w.close();
    EXPECT_EQ(harness.readAppDataFile("swr.his"),
              QByteArray("alpha\r\nbeta\r\nAlpha\r\ntesthost\r\n"));
}
