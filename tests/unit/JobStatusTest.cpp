#include "platform/JobStatus.h"

#include <gtest/gtest.h>

TEST(JobStatusText, OnlyASingleKnownBitHasAWordAndItsPicture) {
    EXPECT_EQ(JobStatusText(1), QStringLiteral("Paused"));
    EXPECT_EQ(JobStatusText(2048), QStringLiteral("Restart"));
    // Not a bit test: combinations, zero, unknown bits and negatives all read "OK".
    for (qint64 code : {0LL, 24LL, 3LL, 4096LL, 1LL << 31, -1LL})
        EXPECT_EQ(JobStatusText(code), QStringLiteral("OK")) << code;
    EXPECT_EQ(JobIconIndex(QStringLiteral("Paused")), 5);
    for (const char* other : {"Error", "", "paused", "Printing "})
        EXPECT_EQ(JobIconIndex(QString::fromLatin1(other)), 3) << other;
}

TEST(PrinterStatusText, SetBitsAppendTheirWordsLowestFirst) {
    EXPECT_EQ(PrinterStatusText(0x402), QStringLiteral(" Error Printing"));
    EXPECT_EQ(PrinterStatusText(0), QStringLiteral("OK"));
    // Bits above the known ones add nothing, and alone leave an empty text, not "OK".
    EXPECT_EQ(PrinterStatusText(0x2000000), QString());
    EXPECT_EQ(PrinterStatusText(0x4000000 | 0x1), QStringLiteral(" Paused"));
    // The extended status: known values have words, others come back as numbers.
    EXPECT_EQ(ExtendedPrinterStatusText(18), QStringLiteral("Manual Feed"));
    EXPECT_EQ(ExtendedPrinterStatusText(19), QStringLiteral("19"));
    EXPECT_EQ(ExtendedPrinterStatusText(-3), QStringLiteral("-3"));
}
