#include "session/JobStatus.h"

#include <gtest/gtest.h>

TEST(JobStatusText, EachSingleKnownBitHasItsWordAndEverythingElseIsOK) {
    const std::pair<qint64, const char*> table[] = {
        {1, "Paused"},
        {2, "Error"},
        {4, "Deleting"},
        {8, "Spooling"},
        {16, "Printing"},
        {32, "Offline"},
        {64, "Paperout"},
        {128, "Printed"},
        {256, "Deleted"},
        {512, "Blocked Dev Queue"},
        {1024, "User Intervention Required"},
        {2048, "Restart"},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(JobStatusText(code), QString::fromLatin1(text)) << code;
    // Not a bit test: combinations, zero, unknown bits and negatives all read "OK".
    for (qint64 code : {0LL, 24LL, 3LL, 17LL, 4096LL, 1LL << 31, -1LL, 129LL})
        EXPECT_EQ(JobStatusText(code), QStringLiteral("OK")) << code;
}

TEST(JobIconIndex, StatusTextsPickTheirPicture) {
    EXPECT_EQ(JobIconIndex(QStringLiteral("OK")), 1);
    EXPECT_EQ(JobIconIndex(QStringLiteral("Printing")), 2);
    EXPECT_EQ(JobIconIndex(QStringLiteral("Printed")), 2);
    EXPECT_EQ(JobIconIndex(QStringLiteral("Spooling")), 4);
    EXPECT_EQ(JobIconIndex(QStringLiteral("Paused")), 5);
    for (const char* other :
         {"Error", "Deleting", "Offline", "Deleted", "Restart", "", "ok", "paused", "Printing "})
        EXPECT_EQ(JobIconIndex(QString::fromLatin1(other)), 3) << other;
    // Spooling and printing at once reads "OK", so such a row gets the first picture.
    EXPECT_EQ(JobIconIndex(JobStatusText(24)), 1);
}

TEST(PrinterStatusText, SetBitsAppendTheirWordsLowestFirst) {
    const char* words[] = {
        " Paused",
        " Error",
        " Pending Deletion",
        " Paper Jam",
        " Paper Out",
        " Manual Feed",
        " Paper Problem",
        " OffLine",
        " IO Active",
        " Busy",
        " Printing",
        " Output Bin Full",
        " Not Available",
        " Waiting",
        " Processing",
        " Initializing",
        " Warming up",
        " Toner Low",
        " No Toner",
        " Can print Current Page",
        " User Intervention",
        " Out of Memory",
        " Door Open",
        " Server Unknown",
        " Power Save",
    };
    QString all;
    for (int bit = 0; bit < 25; ++bit) {
        EXPECT_EQ(PrinterStatusText(1u << bit), QString::fromLatin1(words[bit])) << bit;
        all += QString::fromLatin1(words[bit]);
    }
    EXPECT_EQ(PrinterStatusText(0x1FFFFFF), all);
    EXPECT_EQ(PrinterStatusText(0x402), QStringLiteral(" Error Printing"));
    EXPECT_EQ(PrinterStatusText(0x81), QStringLiteral(" Paused OffLine"));
    EXPECT_EQ(PrinterStatusText(0), QStringLiteral("OK"));
    // Bits above the known ones add nothing, and alone leave an empty text, not "OK".
    EXPECT_EQ(PrinterStatusText(0x2000000), QString());
    EXPECT_EQ(PrinterStatusText(0x80000000u | 0x6000000u), QString());
    EXPECT_EQ(PrinterStatusText(0x4000000 | 0x1), QStringLiteral(" Paused"));
}

TEST(ExtendedPrinterStatusText, KnownValuesHaveWordsOthersComeBackAsNumbers) {
    const char* words[] = {"Other",         "OK",
                           "Idle",          "Printing",
                           "Warming Up",    "Stopped Printing",
                           "Offline",       "Paused",
                           "Error",         "Busy",
                           "Not Available", "Waiting",
                           "Processing",    "Initialization",
                           "Power Save",    "Pending Deletion",
                           "I/O Active",    "Manual Feed"};
    for (int value = 1; value <= 18; ++value)
        EXPECT_EQ(ExtendedPrinterStatusText(value), QString::fromLatin1(words[value - 1])) << value;
    EXPECT_EQ(ExtendedPrinterStatusText(19), QStringLiteral("19"));
    EXPECT_EQ(ExtendedPrinterStatusText(0), QStringLiteral("0"));
    EXPECT_EQ(ExtendedPrinterStatusText(-3), QStringLiteral("-3"));
}
