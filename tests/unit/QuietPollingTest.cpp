#include "monitor/QuietPolling.h"

#include <gtest/gtest.h>

TEST(QuietPolling, AsksOftenWhileEventsComeThenLessOftenUpToUnderASecondOnceQuiet) {
    const QuietPolling polls;
    // Right after an event, and for the first seconds of quiet: the short wait.
    EXPECT_EQ(polls.waitMs(0), 150);
    EXPECT_EQ(polls.waitMs(5000), 150);
    // Then evenly longer: halfway through the ramp, halfway between the waits.
    EXPECT_EQ(polls.waitMs(17500), 525);
    EXPECT_EQ(polls.waitMs(30000), 900);
    EXPECT_EQ(polls.waitMs(24LL * 3600 * 1000), 900); // a day of quiet, still under a second
    int before = 0;
    for (qint64 quiet = 0; quiet <= 40000; quiet += 250) {
        const int wait = polls.waitMs(quiet);
        EXPECT_GE(wait, before) << quiet;
        EXPECT_LT(wait, 1000) << quiet;
        before = wait;
    }
    // A ramp that ends before the short wait's hold jumps, and divides by nothing.
    const QuietPolling abrupt{100, 800, 5000, 5000};
    EXPECT_EQ(abrupt.waitMs(4999), 100);
    EXPECT_EQ(abrupt.waitMs(5000), 800);
}
