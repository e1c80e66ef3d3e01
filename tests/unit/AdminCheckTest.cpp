#include "platform/AdminCheck.h"

#include <gtest/gtest.h>

TEST(AdminCheck, RootIsAnAdministratorInAnyCaseUnknownAndEmptyNamesAreNot) {
    EXPECT_TRUE(AdminCheck::UserIsAdmin("root"));
    EXPECT_TRUE(AdminCheck::UserIsAdmin("ROOT"));
    EXPECT_FALSE(AdminCheck::UserIsAdmin("no-such-user-on-this-machine"));
    EXPECT_FALSE(AdminCheck::UserIsAdmin(QString()));
    EXPECT_FALSE(AdminCheck::UserIsAdmin("nobody"));
}
