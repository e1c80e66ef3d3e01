#include "shell/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, SplitsAtSlashesAndTabsKeepingBlanks) {
    EXPECT_EQ(splitCommandLine(""), QStringList());
    EXPECT_EQ(splitCommandLine("/rpt:Server"), QStringList({"rpt:Server"}));
    // A blank before a slash stays with the argument before it.
    EXPECT_EQ(splitCommandLine("/menu:Simple /rpt:Fav"), QStringList({"menu:Simple ", "rpt:Fav"}));
    EXPECT_EQ(splitCommandLine("//print host\t\t/menu:No/"),
              QStringList({"print host", "menu:No"}));
    // The eleventh argument and all after it are left out.
    EXPECT_EQ(splitCommandLine("/a/b/c/d/e/f/g/h/i/j/k/l"),
              QStringList({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
    EXPECT_EQ(splitCommandLine("/a/b/c", 2), QStringList({"a", "b"}));
    EXPECT_TRUE(isReportSwitch("rpt:Fav"));
    EXPECT_FALSE(isReportSwitch("rpt:fav"));
}
