#include "log/SharedLog.h"
#include "unit/LogTestSupport.h"

TEST(SharedLogAddressTest, OnlyAPostgresUriNamesASharedLogAndItsPasswordStaysOutOfTheSettings) {
    for (const QString path : {"postgresql://db/swr", "POSTGRES://db/swr", " postgresql://x/y"})
        EXPECT_TRUE(SharedLog::isSharedLogPath(path)) << path.toStdString();
    for (const QString path : {"", "/home/ann/.local/share/Spoolwright", "postgresql", "db/swr",
                               "file:///srv/log", "C:\\log"})
        EXPECT_FALSE(SharedLog::isSharedLogPath(path)) << path.toStdString();

    QString whyNot;
    const auto address =
        SharedLog::addressOf("postgresql://ann@db.site:5433/swr?sslmode=require", &whyNot);
    ASSERT_TRUE(address) << whyNot.toStdString();
    EXPECT_EQ(address->host, "db.site");
    EXPECT_EQ(address->port, 5433);
    EXPECT_EQ(address->database, "swr");
    EXPECT_EQ(address->user, "ann");
    EXPECT_EQ(address->options, QStringList{"sslmode='require'"});
    EXPECT_EQ(address->description(), "database swr on db.site:5433");
    EXPECT_EQ(SharedLog::addressOf("postgresql://db/swr?user=bob", &whyNot)->user, "bob");

    for (const QString bad : {"postgresql://ann:secret@db/swr", "postgresql://db/swr?password=x"}) {
        EXPECT_FALSE(SharedLog::addressOf(bad, &whyNot)) << bad.toStdString();
        EXPECT_TRUE(whyNot.contains("~/.pgpass")) << whyNot.toStdString();
    }
    EXPECT_FALSE(SharedLog::addressOf("postgresql://db/", &whyNot));
    EXPECT_TRUE(whyNot.contains("names no database")) << whyNot.toStdString();
    EXPECT_FALSE(SharedLog::addressOf("postgresql://db/swr?sslmode=a;b", &whyNot));
}

class SharedLogKindTest : public LogTest {};

TEST_F(SharedLogKindTest, AFolderKeepsTheLocalLogFileAndAnAddressHasNone) {
    auto log = makeLog();
    EXPECT_FALSE(log->isShared());
    EXPECT_EQ(log->filePath(), logFile());
    context.logPath = "postgresql://127.0.0.1:1/swr";
    EXPECT_TRUE(log->isShared());
    EXPECT_EQ(log->filePath(), QString());
}
