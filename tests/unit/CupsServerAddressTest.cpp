#include "platform/CupsConnection.h"

#include <QList>
#include <gtest/gtest.h>
#include <tuple>

TEST(CupsServerAddress, ReadsHostAndPortAsTheServerBoxHoldsThem) {
    const QList<std::tuple<QString, QString, int>> cases = {{"printhost", "printhost", 631},
                                                            {" printhost:8631 ", "printhost", 8631},
                                                            {"127.0.0.1 : 8631", "127.0.0.1", 8631},
                                                            {"", "localhost", 631},
                                                            {"   ", "localhost", 631},
                                                            {"[::1]:8631", "::1", 8631},
                                                            {"[::1]", "::1", 631},
                                                            {"fe80::1", "fe80::1", 631}};
    for (const auto& [text, host, port] : cases) {
        const CupsServerAddress address = CupsServerAddress::parse(text);
        EXPECT_TRUE(address.valid) << text.toStdString();
        EXPECT_EQ(address.host, host) << text.toStdString();
        EXPECT_EQ(address.port, port) << text.toStdString();
    }
    for (const char* text : {"printhost:0", "printhost:65536", "printhost:ipp", ":631", "[::1"})
        EXPECT_FALSE(CupsServerAddress::parse(QString::fromLatin1(text)).valid) << text;
}
