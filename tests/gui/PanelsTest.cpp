#include "shell/Panels.h"
#include "form/PanelFrame.h"
#include "form/Twips.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// A window of a known size with every panel off, the status bar shown.
class Panels : public ::testing::Test {
protected:
    void SetUp() override {
        w = &harness.show("StartMax=False\r\nShowStatusBar=True\r\nShowUpdates=False\r\n"
                          "FavouritesPanel=False\r\nShowNetwork=False\r\nShowQueueInfo=False\r\n"
                          "ShowQueueControl=False\r\nShowSearch=False\r\nDisplaySizeWidth=15000\r\n"
                          "DisplaySizeHeight=9000\r\n");
    }
    MainWindowHarness harness;
    FrmMain* w = nullptr;
};

} // namespace

TEST_F(Panels, TheGridStartsBelowWhateverPanelsAreShown) {
    // The filter box stands where the grid starts, the grid right below it.
    const auto filterTop = [this] {
        EXPECT_EQ(w->txtFilter->parentWidget(), w->centralWidget());
        EXPECT_EQ(w->txtFilter->y() + w->txtFilter->height(), w->JobList->y());
        EXPECT_EQ(w->txtFilter->width(), w->JobList->width());
        return Twips::fromPixels(w->txtFilter->y());
    };
    EXPECT_NEAR(filterTop(), 0, 15);
    const int fullHeight = w->JobList->height() + w->JobList->y();

    mnuSearchQueue_Click(*w);
    EXPECT_NEAR(filterTop(), 1155, 15);
    mnuQueueInfo_Click(*w);
    EXPECT_NEAR(filterTop(), 1155 + 1500 + 100, 15);
    mnuFavouritesPanel_Click(*w);
    EXPECT_NEAR(filterTop(), 2760, 15);
    EXPECT_EQ(w->JobList->height() + w->JobList->y(), fullHeight);

    // Hiding the status bar lengthens the grid by the bar's height.
    const int withBar = w->JobList->height();
    mnuStatusBar_Click(*w);
    QCoreApplication::processEvents(); // the window lays itself out again
    EXPECT_FALSE(w->StatusBar1->isVisible());
    EXPECT_GT(w->JobList->height(), withBar);
}

TEST_F(Panels, WidePanelsCloseUpFromTheLeftAndNetworkStretchesToTheEdge) {
    mnuQueueControl_Click(*w);
    mnuFavouritesPanel_Click(*w);
    mnuNetwork_Click(*w);
    EXPECT_EQ(w->frmQueueControl->leftTwips(), 120);
    EXPECT_EQ(w->FrameFavourites->leftTwips(), 120 + 3495 + 100);
    EXPECT_EQ(w->frmServer->leftTwips(), 3715 + 2010 + 100);
    const int scaleWidth = Twips::fromPixels(w->centralWidget()->width());
    EXPECT_EQ(w->frmServer->widthTwips(), scaleWidth - 5825 - 100);

    // With Updates shown too, Updates takes the right edge and Network stops before it.
    mnuOnline_Click(*w);
    EXPECT_EQ(w->frmOnline->leftTwips(), scaleWidth - 2010 - 100);
    EXPECT_EQ(w->frmServer->widthTwips(), scaleWidth - 5825 - 100 - 2010 - 100);
}

TEST_F(Panels, MenuEntriesToggleTheirPanelAndCloseAllHidesEveryPanel) {
    QAction* entry = w->menu("mnuQueueInfo");
    entry->trigger();
    EXPECT_TRUE(entry->isChecked());
    EXPECT_TRUE(w->frmQueueInfo->isVisible());
    EXPECT_EQ(w->Settings.ShowQueueInfo, "True");
    entry->trigger();
    EXPECT_FALSE(entry->isChecked());
    EXPECT_FALSE(w->frmQueueInfo->isVisible());
    EXPECT_EQ(w->Settings.ShowQueueInfo, "False");

    for (const char* name : {"mnuSearchQueue", "mnuQueueInfo", "mnuNetwork", "mnuOnline"})
        w->menu(QString::fromLatin1(name))->trigger();
    w->menu("mnuClosePanel")->trigger();
    for (PanelFrame* panel : {w->PrintQueue, w->frmQueueInfo, w->frmQueueControl,
                              w->FrameFavourites, w->frmServer, w->frmOnline})
        EXPECT_FALSE(panel->isVisible()) << panel->objectName().toStdString();
    EXPECT_TRUE(w->StatusBar1->isVisible());
}

TEST_F(Panels, ServerViewCoversTheWindowAndIsNeverSaved) {
    const QString saved = w->Settings.ShowServerView;
    mnuSearch_Click(*w);
    EXPECT_TRUE(w->FrameSearch->isVisible());
    EXPECT_EQ(w->FrameSearch->leftTwips() + w->FrameSearch->topTwips(), 0);
    EXPECT_EQ(w->menu("mnuSearch")->text(), "Hide ServerView");
    EXPECT_EQ(w->Settings.ShowServerView, saved);
    mnuSearch_Click(*w);
    EXPECT_FALSE(w->FrameSearch->isVisible());
}

TEST_F(Panels, ThePointerGivesAPanelItsBorderAndARightClickOnQueueControlThePrinterMenu) {
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(w->txtModel, &enter);
    EXPECT_TRUE(w->frmQueueInfo->hasBorder());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(w->frmQueueInfo, &leave);
    EXPECT_FALSE(w->frmQueueInfo->hasBorder());
    QCoreApplication::sendEvent(w->WebServer->viewport(), &enter);
    EXPECT_TRUE(w->frmServer->hasBorder());

    // Within a frame, the border shows only well inside it.
    PanelFrame frame("frmTest", "Test", nullptr);
    frame.setGeometryTwips(0, 0, 3000, 2000);
    frame.hoverAt(1500, 1000);
    EXPECT_TRUE(frame.hasBorder());
    frame.hoverAt(100, 1000); // in the 150-twip edge band
    EXPECT_FALSE(frame.hasBorder());
    frame.hoverAt(1500, 1900);
    EXPECT_FALSE(frame.hasBorder());

    // A right click on Queue Control pops up the Printer menu.
    QMenu* printer = w->menu("menuPrinter")->menu();
    emit w->frmQueueControl->customContextMenuRequested(QPoint(20, 20));
    EXPECT_TRUE(QTest::qWaitFor([printer] { return printer->isVisible(); }, 5000));
    printer->close();
}
