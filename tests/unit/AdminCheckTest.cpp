#include "platform/AdminCheck.h"
#include "support/ScopedRealUser.h"

#include <gtest/gtest.h>

TEST(AdminCheck, RootIsAnAdministratorNobodyAndIdsWithoutAnAccountAreNot) {
    EXPECT_TRUE(AdminCheck::UserIsAdmin(0));
    EXPECT_FALSE(AdminCheck::UserIsAdmin(ScopedRealUser::nobody()));
    uid_t unused = 3999999;
    while (getpwuid(unused))
        ++unused;
    EXPECT_FALSE(AdminCheck::UserIsAdmin(unused));
}
