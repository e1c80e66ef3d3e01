#include "form/PanelFrame.h"
#include "form/Twips.h"
#include "platform/ProfileFile.h"
#include "support/MainWindowHarness.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace {

// The value of a key of the main section in the swr.ini the window wrote.
QString saved(const MainWindowHarness& harness, const char* key) {
    return ProfileFile::read(harness.appDataPath() + QStringLiteral("/swr.ini"), "Spoolwright",
                             QString::fromLatin1(key), "<missing>");
}

// Starts and closes a window on this main section of swr.ini; the value of `key`
// it wrote back.
QString roundTrip(const QByteArray& ini, const char* key) {
    MainWindowHarness harness;
    harness.show(ini).close();
    return saved(harness, key);
}

} // namespace

TEST(Settings, FirstStartUsesTheDefaultsAndShutdownWritesThem) {
    MainWindowHarness harness;
    FrmMain& w = harness.show();

    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    for (PanelFrame* panel : {w.PrintQueue, w.frmQueueInfo, w.frmQueueControl, w.FrameFavourites,
                              w.frmServer, w.frmOnline})
        EXPECT_TRUE(panel->isVisible()) << panel->objectName().toStdString();
    EXPECT_FALSE(w.StatusBar1->isVisible());
    EXPECT_EQ(w.Settings.ReportPath, harness.environment.temp());
    EXPECT_EQ(w.Settings.LogPath, harness.appDataPath());

    w.close();
    EXPECT_TRUE(harness.readAppDataFile("swr.ini").contains("\r\n"));
    EXPECT_EQ(saved(harness, "Server"), "testhost");
    EXPECT_EQ(saved(harness, "ShowStatusBar"), "False");
    EXPECT_EQ(saved(harness, "SimpleView"), "Full Menu"); // repaired from empty
    EXPECT_EQ(saved(harness, "ColumnPositions"), "1,2,3,4,5,6,7,8,9,10,11");
}

TEST(Settings, PanelSwitchesColumnListsAndFavouriteSlotsApplyAsTheFileHoldsThem) {
    MainWindowHarness harness;
    FrmMain& w = harness.show(
        "ShowSearch=False\r\nShowQueueInfo=maybe\r\nShowNetwork=\r\nShowQueueControl=0\r\n"
        "ShowUpdates=true\r\nShowStatusBar=True\r\nStartMax=False\r\nAudit=True\r\n"
        "ColumnWidths=600,1500,x,900,450\r\nColumnPositions=2,1\r\n[Favourites]\r\n"
        "0=srv | Lab-PDF | AQ On | AR On | PRINT | 17:00 | AA\r\n1=\r\n2=srv | Office | AQ "
        "Off\r\n");
    // Panels show on True, a missing value or garbage, and hide on False alone.
    EXPECT_FALSE(w.PrintQueue->isVisible());
    EXPECT_TRUE(w.frmQueueInfo->isVisible());
    EXPECT_TRUE(w.frmServer->isVisible());
    EXPECT_FALSE(w.frmQueueControl->isVisible());
    EXPECT_TRUE(w.frmOnline->isVisible());
    EXPECT_TRUE(w.FrameFavourites->isVisible());
    EXPECT_FALSE(w.menu("mnuSearchQueue")->isChecked());
    EXPECT_TRUE(w.menu("mnuQueueInfo")->isChecked());
    EXPECT_TRUE(w.StatusBar1->isVisible());
    EXPECT_FALSE(w.windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(w.Settings.Audit);

    // Short column lists change only the columns they name.
    EXPECT_NEAR(Twips::fromPixels(w.JobList->columnWidth(0)), 600, 15);
    EXPECT_NEAR(Twips::fromPixels(w.JobList->columnWidth(1)), 1500, 15);
    EXPECT_NEAR(Twips::fromPixels(w.JobList->columnWidth(2)), 1800,
                15); // malformed item: design width kept
    EXPECT_NEAR(Twips::fromPixels(w.JobList->columnWidth(4)), 450, 15);
    EXPECT_NEAR(Twips::fromPixels(w.JobList->columnWidth(8)), 2500, 15);
    EXPECT_EQ(w.JobList->header()->visualIndex(0), 1);
    EXPECT_EQ(w.JobList->header()->visualIndex(1), 0);
    EXPECT_EQ(w.JobList->header()->visualIndex(5), 5);

    // Favourite slots load whatever gaps lie between them.
    EXPECT_TRUE(w.menu("mnuFav0")->isVisible());
    EXPECT_TRUE(w.menu("mnuFav0")->isChecked());
    EXPECT_FALSE(w.menu("mnuFav1")->isVisible());
    EXPECT_TRUE(w.menu("mnuFav2")->isVisible());
    EXPECT_FALSE(w.menu("mnuFav2")->isChecked());
    EXPECT_EQ(w.menu("mnuFav2")->text(), "srv | Office | AQ Off");
    EXPECT_TRUE(w.favbutton[0]->isVisibleTo(&w));
    EXPECT_FALSE(w.favbutton[1]->isVisibleTo(&w));
    EXPECT_EQ(w.favbutton[2]->toolTip(), "srv | Office | AQ Off");
    EXPECT_TRUE(w.menu("mnuDelFav")->isVisible());
    EXPECT_TRUE(w.menu("mnuExportFav")->isVisible());
}

TEST(Settings, MaximisedAtShutdownSavesTheLastNormalSize) {
    MainWindowHarness harness;
    FrmMain& w = harness.show("StartMax=False\r\nDisplaySizeWidth=9000\r\n"
                              "DisplaySizeHeight=6000\r\n");
    EXPECT_NEAR(Twips::fromPixels(w.width()), 9000, 15);
    w.showMaximized();
    QCoreApplication::processEvents();
    w.close();
    EXPECT_NEAR(saved(harness, "DisplaySizeWidth").toInt(), 9000, 15);
    EXPECT_NEAR(saved(harness, "DisplaySizeHeight").toInt(), 6000, 15);
}

TEST(Settings, AnUnwritableSettingsFileGivesTheSaveMessage) {
    MainWindowHarness harness;
    FrmMain& w = harness.show();
    // A folder path that runs through a regular file can never be written, even by root.
    harness.writeAppDataFile("plain-file", "x");
    qputenv("APPDATA", (harness.appDataPath() + QStringLiteral("/plain-file/sub")).toLocal8Bit());
    w.close();
    EXPECT_EQ(harness.prompter.asked,
              QList<RecordingPrompter::Asked>(
                  {{"Spoolwright", "Spoolwright had problems saving your data.",
                    Prompter::Icon::Information}}));
    EXPECT_EQ(harness.endCalls, 1);
}

TEST(Settings, EveryColumnOrderComesBackAsItWasSaved) {
    std::array<int, 5> first{1, 2, 3, 4, 5};
    do {
        QStringList order;
        for (int position : first)
            order << QString::number(position);
        order << QStringList({"6", "7", "8", "9", "10", "11"});
        const QString positions = order.join(QLatin1Char(','));
        EXPECT_EQ(roundTrip("StartMax=False\r\nColumnPositions=" + positions.toLatin1(),
                            "ColumnPositions"),
                  positions);
    } while (std::next_permutation(first.begin(), first.end()));
    EXPECT_EQ(roundTrip("ColumnPositions=7,6,5,3,4,2,1,8,9,10,11", "ColumnPositions"),
              "7,6,5,3,4,2,1,8,9,10,11");
}

TEST(Settings, SizesNobodyChangedAreWrittenBackExactly) {
    MainWindowHarness harness;
    FrmMain& w = harness.show("StartMax=False\r\nDisplaySizeWidth=9001\r\n"
                              "DisplaySizeHeight=6007\r\nGridFontSize=9.3\r\nColumnWidths=800,"
                              "7000,1801,1200,800,800,700,1300,2500,800,1800");
    w.close();
    EXPECT_EQ(saved(harness, "DisplaySizeWidth"), "9001");
    EXPECT_EQ(saved(harness, "DisplaySizeHeight"), "6007");
    EXPECT_EQ(saved(harness, "GridFontSize"), "9.3");
    EXPECT_EQ(saved(harness, "ColumnWidths"), "800,7000,1801,1200,800,800,700,1300,2500,800,1800");

    // Never shown at a normal size, with every panel hidden: still a real height.
    EXPECT_GT(roundTrip("ShowSearch=False\r\nShowQueueInfo=False\r\nShowQueueControl=False\r\n"
                        "FavouritesPanel=False\r\nShowNetwork=False\r\nShowUpdates=False\r\n"
                        "ShowStatusBar=True\r\n",
                        "DisplaySizeHeight")
                  .toInt(),
              0);
}

TEST(Settings, AbsurdSizesAreBroughtWithinTheScreenAndSavedSo) {
    MainWindowHarness harness;
    FrmMain& w = harness.show("StartMax=False\r\nDisplaySizeWidth=2147483647\r\n"
                              "DisplaySizeHeight=2147483647\r\nGridFontSize=1e300\r\n"
                              "ResetTotal=not a date\r\n");
    const QRect screen = w.screen()->availableGeometry();
    EXPECT_LE(w.width(), screen.width());
    EXPECT_LE(w.height(), screen.height());
    EXPECT_EQ(w.JobList->font().pointSizeF(), 9.0); // no size to read a grid at
    w.close();
    EXPECT_LE(Twips::toPixels(saved(harness, "DisplaySizeWidth").toInt()), screen.width());
    EXPECT_LE(Twips::toPixels(saved(harness, "DisplaySizeHeight").toInt()), screen.height());
    EXPECT_EQ(saved(harness, "GridFontSize"), "9");
    EXPECT_EQ(saved(harness, "ResetTotal"), "not a date"); // kept as it was read

    // Outside 6 to 72 points a size is taken as unreadable: the default comes back.
    for (const char* unusable : {"4000", "72.5", "5.9", "0.5", "inf", "nan", "-3", "large"})
        EXPECT_EQ(roundTrip(QByteArray("GridFontSize=") + unusable, "GridFontSize"), "9")
            << unusable;
    for (const char* usable : {"6", "72", "8.25"})
        EXPECT_EQ(roundTrip(QByteArray("GridFontSize=") + usable, "GridFontSize"), usable)
            << usable;
}
