#include "platform/CupsSpooler.h"
#include "support/LoopbackPeers.h"
#include "support/TestPrintServer.h"

#include <gtest/gtest.h>

namespace {

// Asks for the queues and checks the answer is empty and Unreachable. How long the
// call takes is left to the benchmarks, since a busy machine stretches any bound:
// the call must give up, which one without a time limit never does with a server
// that never answers.
void expectUnreachable(CupsSpooler& spooler) {
    EXPECT_TRUE(spooler.queueNames().isEmpty());
    EXPECT_EQ(spooler.lastResult(), SpoolerResult::Unreachable);
}

} // namespace

TEST(CupsConnectionUnreachable, ServersThatRefuseStaySilentOrStopGiveAnEmptyListUntilTheyReturn) {
    ClosedLoopbackPort closed;   // refuses the connection
    SilentLoopbackServer silent; // takes it and never answers
    FullLoopbackServer full;     // never takes it
    for (const int port : {closed.port(), silent.port(), full.port()}) {
        SCOPED_TRACE(port);
        CupsSpooler spooler(QStringLiteral("127.0.0.1:%1").arg(port), kShortTimeouts);
        expectUnreachable(spooler);
        expectUnreachable(spooler); // a failed connection is replaced, not reused
    }

    // A server that stops and returns is listed again.
    OwnPrintServer own;
    const QString address = own.start();
    ASSERT_FALSE(address.isEmpty());
    const int port = address.section(QLatin1Char(':'), 1).toInt();
    CupsSpooler spooler(address, kShortTimeouts);
    ASSERT_TRUE(spooler.queueNames().contains("Office-Laser"));

    // Restarted between two calls: the kept connection is dead, yet the next
    // call finds the server.
    ASSERT_TRUE(own.stop());
    ASSERT_EQ(own.start(port), address);
    EXPECT_TRUE(spooler.queueNames().contains("Office-Laser"));
    EXPECT_EQ(spooler.lastResult(), SpoolerResult::Success);

    // Down: unreachable. Back: listed again.
    ASSERT_TRUE(own.stop());
    expectUnreachable(spooler);
    ASSERT_EQ(own.start(port), address);
    EXPECT_TRUE(spooler.queueNames().contains("Office-Laser"));
    EXPECT_EQ(spooler.lastResult(), SpoolerResult::Success);
}
