#include "shell/MenuStyle.h"
#include "support/MainWindowHarness.h"
#include "support/ScopedRealUser.h"
#include "support/ScopedVariable.h"

#include <QAction>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace {
QStringList visibleTopLevel(FrmMain& w) {
    QStringList captions;
    for (QAction* action : w.menuBar()->actions())
        if (action->isVisible())
            captions << action->text();
    return captions;
}
} // namespace

TEST(MenuStyle, EmptyOrMisspelledStyleBecomesTheFullMenu) {
    MainWindowHarness harness;
    FrmMain& w = harness.show("SimpleView=Simple menu\r\n");
    EXPECT_EQ(w.Settings.SimpleView, "Full Menu");
    EXPECT_EQ(visibleTopLevel(w), QStringList({"&File", "&Panels", "&Jobs", "&Printer",
                                               "&Favourites", "&Reports", "&Statistics", "&Help"}));
}

TEST(MenuStyle, SimpleAndClassicHideTheirMenusAndNoMenuLeavesNothingForOrdinaryUsers) {
    // The account running the program decides, not a name anybody can set.
    const ScopedRealUser ordinary(ScopedRealUser::nobody());
    ASSERT_TRUE(ordinary.ok()) << "the test runs as root to run the window as another user";
    const ScopedVariable user("USERNAME", QByteArray("root"));
    MainWindowHarness harness;
    FrmMain& w = harness.show("SimpleView=No Menu\r\n");
    EXPECT_TRUE(visibleTopLevel(w).isEmpty());

    SwSimpleView(w, "Simple Menu");
    EXPECT_EQ(visibleTopLevel(w), QStringList({"&File", "&Favourites", "&Statistics", "&Help"}));
    EXPECT_FALSE(w.menu("mnuNew")->isVisible());
    EXPECT_TRUE(w.menu("mnuOptions")->isVisible());
    EXPECT_FALSE(w.menu("mnuImportFav")->isVisible());

    SwSimpleView(w, "Classic Menu");
    EXPECT_EQ(visibleTopLevel(w),
              QStringList({"&File", "&Panels", "&Favourites", "&Reports", "&Statistics", "&Help"}));
    EXPECT_EQ(w.Settings.SimpleView, "No Menu"); // a style for this run only
}

TEST(MenuStyle, AnAdministratorCanBringBackTheFullMenuForThisRun) {
    const ScopedRealUser root(0);
    ASSERT_TRUE(root.ok()) << "the test runs as root to run the window as root";
    const ScopedVariable user("USERNAME", QByteArray("no-such-user-on-this-machine"));
    MainWindowHarness harness;
    FrmMain& w = harness.show("SimpleView=Help Menu\r\n");
    EXPECT_EQ(visibleTopLevel(w), QStringList({"&Help", "Show &Full Menu"}));
    w.menu("mnuMenu")->trigger();
    EXPECT_EQ(visibleTopLevel(w).size(), 8);
    EXPECT_FALSE(w.menu("mnuMenu")->isVisible());
    EXPECT_EQ(w.Settings.SimpleView, "Help Menu");
}
