#include "form/PanelFrame.h"
#include "form/Twips.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace {

// The keys of one section of an INI text, in file order, with their values.
QList<QPair<QString, QString>> sectionKeys(const QByteArray& ini, const QString& section) {
    QList<QPair<QString, QString>> keys;
    bool inside = false;
    for (const QByteArray& raw : ini.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inside = line.compare(QLatin1Char('[') + section + QLatin1Char(']'),
                                  Qt::CaseInsensitive) == 0;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (inside && equals > 0)
            keys.append({line.left(equals).trimmed(), line.mid(equals + 1).trimmed()});
    }
    return keys;
}

QStringList names(const QList<QPair<QString, QString>>& keys) {
    QStringList result;
    for (const auto& key : keys)
        result << key.first;
    return result;
}

QString value(const QList<QPair<QString, QString>>& keys, const QString& name) {
    for (const auto& key : keys)
        if (key.first == name)
            return key.second;
    return QStringLiteral("<missing>");
}

int widthTwips(const FrmMain& w, int column) {
    return Twips::fromPixels(w.JobList->columnWidth(column));
}

} // namespace

TEST(Settings, FirstStartUsesTheDefaultsAndShutdownWritesEveryKeyInOrder) {
    MainWindowHarness harness;
    FrmMain& w = harness.create();
    ShowFrmMain(w);

    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    for (PanelFrame* panel : {w.PrintQueue, w.frmQueueInfo, w.frmQueueControl, w.FrameFavourites,
                              w.frmServer, w.frmOnline})
        EXPECT_TRUE(panel->isVisible()) << panel->objectName().toStdString();
    EXPECT_FALSE(w.StatusBar1->isVisible());
    EXPECT_FALSE(w.Settings.Audit);
    EXPECT_EQ(w.Settings.PollNorm, QStringLiteral("10000"));
    EXPECT_EQ(w.Settings.PollAQ, QStringLiteral("6000"));
    EXPECT_EQ(w.Settings.PollAQactive, QStringLiteral("10"));
    EXPECT_EQ(w.Settings.ReportPath, harness.environment.temp());
    EXPECT_EQ(w.Settings.LogPath, harness.appDataPath());
    const int defaults[] = {1200, 3000, 1800, 1200, 800, 800, 700, 1300, 2500, 800, 1800};
    for (int c = 0; c < 11; ++c) {
        EXPECT_NEAR(widthTwips(w, c), defaults[c], 15) << c;
        EXPECT_EQ(w.JobList->header()->visualIndex(c), c);
    }

    w.close();
    const QByteArray ini = harness.readAppDataFile(QStringLiteral("swr.ini"));
    EXPECT_TRUE(ini.contains("\r\n"));
    const auto main = sectionKeys(ini, QStringLiteral("Spoolwright"));
    EXPECT_EQ(names(main), QStringList({"Server",           "Queue",
                                        "AutoQueue",        "TimedRelease",
                                        "TimedReleaseTime", "TimedReleaseAction",
                                        "DisplaySizeWidth", "DisplaySizeHeight",
                                        "ColumnWidths",     "ColumnPositions",
                                        "GridFontSize",     "ShowErrors",
                                        "ShowServerView",   "StartMax",
                                        "Company",          "Tagline",
                                        "ShowUpdates",      "FavouritesPanel",
                                        "ShowNetwork",      "ShowQueueInfo",
                                        "ShowQueueControl", "ShowSearch",
                                        "ShowStatusBar",    "Audit",
                                        "PollNorm",         "PollAQ",
                                        "PollAQactive",     "QuickAction",
                                        "JobAction",        "Exceptions",
                                        "ResetTotal",       "ReportPath",
                                        "LogPath",          "SimpleView",
                                        "QAHideAllButtons"}));
    EXPECT_EQ(value(main, "Server"), QStringLiteral("testhost"));
    EXPECT_EQ(value(main, "AutoQueue"), QStringLiteral("0"));
    EXPECT_EQ(value(main, "TimedReleaseAction"), QStringLiteral("CLEAR"));
    EXPECT_EQ(value(main, "ShowSearch"), QStringLiteral("True"));
    EXPECT_EQ(value(main, "ShowStatusBar"), QStringLiteral("False"));
    EXPECT_EQ(value(main, "Audit"), QStringLiteral("False"));
    EXPECT_EQ(value(main, "SimpleView"), QStringLiteral("Full Menu")); // repaired from empty
    EXPECT_EQ(value(main, "Company"), QStringLiteral("Spoolwright"));
    EXPECT_EQ(value(main, "ColumnPositions"), QStringLiteral("1,2,3,4,5,6,7,8,9,10,11"));
    EXPECT_EQ(value(main, "PollAQactive"), QStringLiteral("10"));
    const auto favourites = sectionKeys(ini, QStringLiteral("Favourites"));
    ASSERT_EQ(favourites.size(), 20);
    for (int slot = 0; slot < 20; ++slot)
        EXPECT_EQ(favourites[slot].first, QString::number(slot));
}

TEST(Settings, PanelSwitchesShowOnTrueMissingOrGarbageAndHideOnFalse) {
    MainWindowHarness harness;
    harness.writeAppDataFile(QStringLiteral("swr.ini"),
                             "[Spoolwright]\r\nShowSearch=False\r\nShowQueueInfo=maybe\r\n"
                             "ShowNetwork=\r\nShowQueueControl=0\r\nShowUpdates=true\r\n"
                             "ShowStatusBar=True\r\nStartMax=False\r\nAudit=True\r\n");
    FrmMain& w = harness.create();
    ShowFrmMain(w);
    EXPECT_FALSE(w.PrintQueue->isVisible());
    EXPECT_TRUE(w.frmQueueInfo->isVisible());
    EXPECT_TRUE(w.frmServer->isVisible());
    EXPECT_FALSE(w.frmQueueControl->isVisible());
    EXPECT_TRUE(w.frmOnline->isVisible());
    EXPECT_TRUE(w.FrameFavourites->isVisible());
    EXPECT_FALSE(w.Menu(QStringLiteral("mnuSearchQueue"))->isChecked());
    EXPECT_TRUE(w.Menu(QStringLiteral("mnuQueueInfo"))->isChecked());
    EXPECT_TRUE(w.StatusBar1->isVisible());
    EXPECT_FALSE(w.windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(w.Settings.Audit);
}

TEST(Settings, ShortColumnListsChangeOnlyTheColumnsTheyName) {
    MainWindowHarness harness;
    harness.writeAppDataFile(QStringLiteral("swr.ini"),
                             "[Spoolwright]\r\nColumnWidths=600,1500,x,900,450\r\n"
                             "ColumnPositions=2,1\r\n");
    FrmMain& w = harness.create();
    ShowFrmMain(w);
    EXPECT_NEAR(widthTwips(w, 0), 600, 15);
    EXPECT_NEAR(widthTwips(w, 1), 1500, 15);
    EXPECT_NEAR(widthTwips(w, 2), 1800, 15); // malformed item: design width kept
    EXPECT_NEAR(widthTwips(w, 4), 450, 15);
    EXPECT_NEAR(widthTwips(w, 8), 2500, 15);
    EXPECT_EQ(w.JobList->header()->visualIndex(0), 1);
    EXPECT_EQ(w.JobList->header()->visualIndex(1), 0);
    EXPECT_EQ(w.JobList->header()->visualIndex(5), 5);
}

TEST(Settings, FavouriteSlotsLoadIndependentlyOfGaps) {
    MainWindowHarness harness;
    harness.writeAppDataFile(QStringLiteral("swr.ini"),
                             "[Spoolwright]\r\nSimpleView=Full Menu\r\n[Favourites]\r\n"
                             "0=srv | Lab-PDF | AQ On | AR On | PRINT | 17:00 | AA\r\n1=\r\n2=srv "
                             "| Office | AQ Off\r\n");
    FrmMain& w = harness.create();
    ShowFrmMain(w);
    EXPECT_TRUE(w.Menu(QStringLiteral("mnuFav0"))->isVisible());
    EXPECT_TRUE(w.Menu(QStringLiteral("mnuFav0"))->isChecked());
    EXPECT_FALSE(w.Menu(QStringLiteral("mnuFav1"))->isVisible());
    EXPECT_TRUE(w.Menu(QStringLiteral("mnuFav2"))->isVisible());
    EXPECT_FALSE(w.Menu(QStringLiteral("mnuFav2"))->isChecked());
    EXPECT_EQ(w.Menu(QStringLiteral("mnuFav2"))->text(), QStringLiteral("srv | Office | AQ Off"));
    EXPECT_TRUE(w.favbutton[0]->isVisibleTo(&w));
    EXPECT_FALSE(w.favbutton[1]->isVisibleTo(&w));
    EXPECT_EQ(w.favbutton[2]->toolTip(), QStringLiteral("srv | Office | AQ Off"));
    EXPECT_TRUE(w.Menu(QStringLiteral("mnuDelFav"))->isVisible());
    EXPECT_TRUE(w.Menu(QStringLiteral("mnuExportFav"))->isVisible());
}

TEST(Settings, MaximisedAtShutdownSavesTheLastNormalSize) {
    MainWindowHarness harness;
    harness.writeAppDataFile(QStringLiteral("swr.ini"),
                             "[Spoolwright]\r\nStartMax=False\r\nDisplaySizeWidth=9000\r\n"
                             "DisplaySizeHeight=6000\r\n");
    FrmMain& w = harness.create();
    ShowFrmMain(w);
    EXPECT_NEAR(Twips::fromPixels(w.width()), 9000, 15);
    w.showMaximized();
    QCoreApplication::processEvents();
    w.close();
    const auto main = sectionKeys(harness.readAppDataFile(QStringLiteral("swr.ini")),
                                  QStringLiteral("Spoolwright"));
    EXPECT_NEAR(value(main, "DisplaySizeWidth").toInt(), 9000, 15);
    EXPECT_NEAR(value(main, "DisplaySizeHeight").toInt(), 6000, 15);
}

TEST(Settings, AnUnwritableSettingsFileGivesTheSaveMessage) {
    MainWindowHarness harness;
    FrmMain& w = harness.create();
    ShowFrmMain(w);
    // A folder path that runs through a regular file can never be written, even by root.
    harness.writeAppDataFile(QStringLiteral("plain-file"), "x");
    qputenv("APPDATA", (harness.appDataPath() + QStringLiteral("/plain-file/sub")).toLocal8Bit());
    w.close();
    ASSERT_EQ(harness.prompter.asked.size(), 1);
    EXPECT_EQ(harness.prompter.asked[0].title, QStringLiteral("Spoolwright"));
    EXPECT_EQ(harness.prompter.asked[0].text,
              QStringLiteral("Spoolwright had problems saving your data."));
    EXPECT_EQ(harness.prompter.asked[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(harness.endCalls, 1);
}

namespace {

// Starts and closes a window on this swr.ini; the main section it wrote back.
QList<QPair<QString, QString>> roundTrip(const QByteArray& ini) {
    MainWindowHarness harness;
    harness.writeAppDataFile(QStringLiteral("swr.ini"), "[Spoolwright]\r\n" + ini);
    FrmMain& w = harness.create();
    ShowFrmMain(w);
    w.close();
    return sectionKeys(harness.readAppDataFile(QStringLiteral("swr.ini")),
                       QStringLiteral("Spoolwright"));
}

} // namespace

TEST(Settings, EveryColumnOrderComesBackAsItWasSaved) {
    std::array<int, 5> first{1, 2, 3, 4, 5};
    do {
        QStringList order;
        for (int position : first)
            order << QString::number(position);
        order << QStringList({"6", "7", "8", "9", "10", "11"});
        const QString positions = order.join(QLatin1Char(','));
        EXPECT_EQ(value(roundTrip("StartMax=False\r\nColumnPositions=" + positions.toLatin1()),
                        "ColumnPositions"),
                  positions);
    } while (std::next_permutation(first.begin(), first.end()));
    EXPECT_EQ(value(roundTrip("ColumnPositions=7,6,5,3,4,2,1,8,9,10,11"), "ColumnPositions"),
              QStringLiteral("7,6,5,3,4,2,1,8,9,10,11"));
}

TEST(Settings, SizesNobodyChangedAreWrittenBackExactly) {
    const auto main = roundTrip("StartMax=False\r\nDisplaySizeWidth=9001\r\n"
                                "DisplaySizeHeight=6007\r\nGridFontSize=9.3\r\n"
                                "ColumnWidths=800,7000,1801,1200,800,800,700,1300,2500,800,1800");
    EXPECT_EQ(value(main, "DisplaySizeWidth"), QStringLiteral("9001"));
    EXPECT_EQ(value(main, "DisplaySizeHeight"), QStringLiteral("6007"));
    EXPECT_EQ(value(main, "GridFontSize"), QStringLiteral("9.3"));
    EXPECT_EQ(value(main, "ColumnWidths"),
              QStringLiteral("800,7000,1801,1200,800,800,700,1300,2500,800,1800"));

    // Never shown at a normal size, with every panel hidden: still a real height.
    const auto hidden =
        roundTrip("ShowSearch=False\r\nShowQueueInfo=False\r\nShowQueueControl=False\r\n"
                  "FavouritesPanel=False\r\nShowNetwork=False\r\nShowUpdates=False\r\n"
                  "ShowStatusBar=True\r\n");
    EXPECT_GT(value(hidden, "DisplaySizeHeight").toInt(), 0);
}

TEST(Settings, AbsurdSizesAreBroughtWithinTheScreenAndSavedSo) {
    MainWindowHarness harness;
    harness.writeAppDataFile(QStringLiteral("swr.ini"),
                             "[Spoolwright]\r\nStartMax=False\r\nDisplaySizeWidth=2147483647\r\n"
                             "DisplaySizeHeight=2147483647\r\nGridFontSize=1e300\r\n"
                             "ResetTotal=not a date\r\n");
    FrmMain& w = harness.create();
    ShowFrmMain(w);
    const QRect screen = w.screen()->availableGeometry();
    EXPECT_LE(w.width(), screen.width());
    EXPECT_LE(w.height(), screen.height());
    EXPECT_EQ(w.JobList->font().pointSizeF(), 72.0);
    w.close();
    const auto main = sectionKeys(harness.readAppDataFile(QStringLiteral("swr.ini")),
                                  QStringLiteral("Spoolwright"));
    EXPECT_LE(Twips::toPixels(value(main, "DisplaySizeWidth").toInt()), screen.width());
    EXPECT_LE(Twips::toPixels(value(main, "DisplaySizeHeight").toInt()), screen.height());
    EXPECT_EQ(value(main, "GridFontSize"), QStringLiteral("72"));
    EXPECT_EQ(value(main, "ResetTotal"), QStringLiteral("not a date")); // kept as it was read

    for (const char* tiny : {"0.5", "inf", "-3"})
        EXPECT_GE(value(roundTrip(QByteArray("GridFontSize=") + tiny), "GridFontSize").toDouble(),
                  6.0)
            << tiny;
}
