#include "control/ReleaseSteps.h"
#include "session/ReleaseQueueName.h"

#include <gtest/gtest.h>

TEST(ReleaseRules, ExceptionsMatchWholeNamesWithoutCase) {
    const QString listed = "jsmith, Carol;dave\r\nerin  frank";
    for (const char* user : {"jsmith", "JSMITH", "carol", "dave", "erin", "frank"})
        EXPECT_TRUE(isUserException(user, listed)) << user;
    for (const char* user : {"smith", "jsmit", "", " ", "car"})
        EXPECT_FALSE(isUserException(user, listed)) << user;
    EXPECT_FALSE(isUserException("ann", ""));
}

TEST(ReleaseRules, TheQueueBoxLeavesOutReleaseQueuesOfListedQueuesOnly) {
    EXPECT_EQ(withoutReleaseQueues({"Laser", "Laser-Released", "Gone-Released", "Annex"}),
              QStringList({"Laser", "Gone-Released", "Annex"}));
}
