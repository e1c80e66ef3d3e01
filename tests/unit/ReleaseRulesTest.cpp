#include "control/ReleaseSteps.h"

#include <gtest/gtest.h>

TEST(ReleaseRules, ExceptionsMatchWholeNamesWithoutCase) {
    const QString listed = "jsmith, Carol;dave\r\nerin  frank";
    for (const char* user : {"jsmith", "JSMITH", "carol", "dave", "erin", "frank"})
        EXPECT_TRUE(IsUserException(user, listed)) << user;
    for (const char* user : {"smith", "jsmit", "", " ", "car"})
        EXPECT_FALSE(IsUserException(user, listed)) << user;
    EXPECT_FALSE(IsUserException("ann", ""));
}

TEST(ReleaseRules, TimesOfDayReadAsTyped) {
    EXPECT_EQ(ReadTimeOfDay("5:00 PM"), QTime(17, 0));
    EXPECT_EQ(ReadTimeOfDay("5:00pm"), QTime(17, 0));
    EXPECT_EQ(ReadTimeOfDay("17:00"), QTime(17, 0));
    EXPECT_EQ(ReadTimeOfDay(" 9:05 am "), QTime(9, 5));
    EXPECT_EQ(ReadTimeOfDay("12:30 AM"), QTime(0, 30));
    EXPECT_FALSE(ReadTimeOfDay("teatime"));
    EXPECT_FALSE(ReadTimeOfDay("25:00"));
    EXPECT_FALSE(ReadTimeOfDay(""));
}
