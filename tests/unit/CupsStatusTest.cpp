#include "platform/CupsStatus.h"

#include <cups/ipp.h>
#include <gtest/gtest.h>

TEST(CupsStatus, ReasonsSetTheirBitsWhateverTheirSeverityAndOfflineThenErrorThenStoppedDecide) {
    EXPECT_EQ(queueStatusBits(IPP_PSTATE_IDLE, {"none"}), 0u);
    EXPECT_EQ(queueStatusBits(IPP_PSTATE_PROCESSING, {}), 0x400u);
    EXPECT_EQ(queueStatusBits(IPP_PSTATE_IDLE, {"media-empty-error"}), 0x10u | 0x2u);
    EXPECT_EQ(queueStatusBits(IPP_PSTATE_IDLE, {"media-needed-warning"}), 0x10u);
    EXPECT_EQ(queueStatusBits(IPP_PSTATE_IDLE, {"toner-low-report", "marker-supply-low-warning"}),
              0x20000u);
    EXPECT_EQ(queueStatusBits(IPP_PSTATE_IDLE, {"other-error"}), 0x2u)
        << "an error of no known kind is still an error";
    EXPECT_EQ(queueStatusBits(IPP_PSTATE_IDLE, {"media-low-report"}), 0u)
        << "media-low is not media-empty";
    EXPECT_EQ(queueStatusBits(IPP_PSTATE_STOPPED, {"paused", "door-open-error"}),
              0x1u | 0x400000u | 0x2u);

    // The printer status: offline, then error, then stopped decide.
    EXPECT_EQ(extendedPrinterStatus(IPP_PSTATE_IDLE, {"none"}), 3);
    EXPECT_EQ(extendedPrinterStatus(IPP_PSTATE_PROCESSING, {}), 4);
    EXPECT_EQ(extendedPrinterStatus(IPP_PSTATE_STOPPED, {"paused"}), 8);
    EXPECT_EQ(extendedPrinterStatus(IPP_PSTATE_STOPPED, {"media-jam-error"}), 9);
    EXPECT_EQ(extendedPrinterStatus(IPP_PSTATE_PROCESSING, {"offline-report", "other-error"}), 7);
    EXPECT_EQ(extendedPrinterStatus(IPP_PSTATE_IDLE, {"toner-low-warning"}), 3)
        << "a warning leaves an idle printer idle";
}
