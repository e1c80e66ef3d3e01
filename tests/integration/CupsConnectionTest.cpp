#include "platform/CupsSpooler.h"
#include "support/LoopbackPeers.h"
#include "support/TestPrintServer.h"

#include <gtest/gtest.h>

namespace {

// Short timeouts keep the failing cases quick; libcups' own defaults wait a
// minute, or for ever for an answer. How long a call takes is left to the
// benchmarks, since a busy machine stretches any bound: these tests check that
// the call gives up, which a call without a time limit never does with a server
// that never answers.
const SpoolerTimeouts shortTimeouts{1000, 1500};

QString loopback(int port) {
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

// Asks for the queues and checks the answer is empty and Unreachable.
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
        CupsSpooler spooler(loopback(port), shortTimeouts);
        expectUnreachable(spooler);
        expectUnreachable(spooler); // a failed connection is replaced, not reused
    }

    // A server that stops and returns is listed again.
    OwnPrintServer own;
    const QString address = own.start();
    ASSERT_FALSE(address.isEmpty());
    const int port = address.section(QLatin1Char(':'), 1).toInt();
    CupsSpooler spooler(address, shortTimeouts);
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
