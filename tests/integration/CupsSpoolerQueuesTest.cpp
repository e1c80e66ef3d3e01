#include "platform/CupsSpooler.h"
#include "support/TestPrintServer.h"

#include <gtest/gtest.h>

namespace {

QStringList onlyThoseIn(const QStringList& names, const QStringList& others) {
    QStringList kept;
    for (const QString& name : names)
        if (others.contains(name))
            kept << name;
    return kept;
}

} // namespace

TEST(CupsSpoolerQueues, ListsEveryQueueInTheOrderTheServerGivesThemWhateverBlanksTheServerTextHas) {
    TestPrintServer server;
    ASSERT_FALSE(server.address().isEmpty());
    // Made out of order and in mixed case, so that the server's order is neither
    // the order of creation nor a case-sensitive sort.
    const QStringList own{TestPrintServer::uniqueQueueName("sw-order-b"),
                          TestPrintServer::uniqueQueueName("SW-Order-c"),
                          TestPrintServer::uniqueQueueName("sw-order-A")};
    for (const QString& queue : own)
        ASSERT_TRUE(server.addQueue(queue));

    // The server as the operator may type it; the spooler keeps the text it was made for.
    const QString text =
        QStringLiteral("  localhost : %1 ").arg(server.address().section(QLatin1Char(':'), 1));
    CupsSpooler spooler(text);
    EXPECT_EQ(spooler.serverName(), text);
    const QStringList names = spooler.queueNames();
    EXPECT_EQ(spooler.lastResult(), SpoolerResult::Success);
    for (const QString& queue : own + QStringList{"Office-Laser", "Lab-PDF", "Reception-PCL"})
        EXPECT_TRUE(names.contains(queue)) << queue.toStdString();
    QStringList distinct = names;
    EXPECT_EQ(distinct.removeDuplicates(), 0) << "a queue was listed twice";

    const QStringList reference = server.queueNamesSeenByIpptool();
    ASSERT_FALSE(reference.isEmpty());
    // Other tests add and remove queues of their own meanwhile: compare the
    // names both lists hold.
    EXPECT_EQ(onlyThoseIn(names, reference), onlyThoseIn(reference, names));
    EXPECT_EQ(onlyThoseIn(names, own), onlyThoseIn(reference, own));
}
