#include "platform/AdminCheck.h"

#include <gtest/gtest.h>

TEST(AdminCheck, RootIsAnAdministratorInAnyCaseUnknownAndEmptyNamesAreNot) {
    EXPECT_TRUE(AdminCheck::UserIsAdmin(QStringLiteral("root")));
    EXPECT_TRUE(AdminCheck::UserIsAdmin(QStringLiteral("ROOT")));
    EXPECT_FALSE(AdminCheck::UserIsAdmin(QStringLiteral("no-such-user-on-this-machine")));
    EXPECT_FALSE(AdminCheck::UserIsAdmin(QString()));
    EXPECT_FALSE(AdminCheck::UserIsAdmin(QStringLiteral("nobody")));
}
