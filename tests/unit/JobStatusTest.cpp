#include "platform/JobStatus.h"

#include <gtest/gtest.h>

TEST(StatusTexts, AJobsSingleKnownBitHasAWordAQueuesSetBitsAppendTheirsLowestFirst) {
    EXPECT_EQ(JobStatusText(1), "Paused");
    EXPECT_EQ(JobStatusText(2048), "Restart");
    // Not a bit test: combinations, zero, unknown bits and negatives all read "OK".
    for (qint64 code : {0LL, 24LL, 3LL, 4096LL, 1LL << 31, -1LL})
        EXPECT_EQ(JobStatusText(code), "OK") << code;
    EXPECT_EQ(JobIconIndex("Paused"), 5);
    for (const char* other : {"Error", "", "paused", "Printing "})
        EXPECT_EQ(JobIconIndex(QString::fromLatin1(other)), 3) << other;

    // A queue's set bits append their words, lowest first.
    EXPECT_EQ(PrinterStatusText(0x402), " Error Printing");
    EXPECT_EQ(PrinterStatusText(0), "OK");
    // Bits above the known ones add nothing, and alone leave an empty text, not "OK".
    EXPECT_EQ(PrinterStatusText(0x2000000), QString());
    EXPECT_EQ(PrinterStatusText(0x4000000 | 0x1), " Paused");
}
