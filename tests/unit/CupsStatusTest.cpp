#include "platform/CupsStatus.h"
#include "platform/PrintSpooler.h"

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

TEST(CupsStatus, NamedChecksReadTheJobAndQueueNumbers) {
    SpoolerJob job;
    for (const int state : {IPP_JSTATE_HELD, IPP_JSTATE_STOPPED}) {
        job.StatusMask = jobStatusMask(state);
        EXPECT_TRUE(isHeld(job)) << state;
    }
    for (const int state : {IPP_JSTATE_PENDING, IPP_JSTATE_PROCESSING, IPP_JSTATE_CANCELED}) {
        job.StatusMask = jobStatusMask(state);
        EXPECT_FALSE(isHeld(job)) << state;
    }
    job.StatusMask = 1 | 16; // a combination of bits is no single state
    EXPECT_FALSE(isHeld(job));

    const quint32 stopped = queueStatusBits(IPP_PSTATE_STOPPED, {"media-jam-error"});
    EXPECT_TRUE(queuePaused(stopped));
    EXPECT_FALSE(queuePaused(queueStatusBits(IPP_PSTATE_PROCESSING, {"media-jam-error"})));
    EXPECT_FALSE(queuePaused(withQueuePaused(stopped, false)));
    EXPECT_EQ(withQueuePaused(withQueuePaused(stopped, false), true), stopped)
        << "only the paused bit changes";
}
