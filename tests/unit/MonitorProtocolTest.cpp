#include "platform/MonitorProtocol.h"
#include "platform/JobText.h"
#include "platform/PrintSpooler.h"

#include <gtest/gtest.h>

TEST(MonitorProtocol, AnyTextTravelsWholeAndALineNeverBreaks) {
    const QStringList fields{QStringLiteral("a\tb"), QStringLiteral("line\nbreak\r"),
                             QStringLiteral("back\\slash\\t"), QString(), QStringLiteral("ü|x")};
    const QByteArray line = MonitorProtocol::encode(QStringLiteral("JobEvent"), fields);
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_TRUE(line.endsWith('\n'));
    const MonitorProtocol::Line back = MonitorProtocol::decode(line.chopped(1));
    EXPECT_EQ(back.name, QStringLiteral("JobEvent"));
    EXPECT_EQ(back.fields, fields);
}

TEST(MonitorProtocol, AJobComesBackAsItWentAndGarbageIsNoJob) {
    SpoolerJob job;
    job.JobId = 123;
    job.Name = QStringLiteral("Annex, West, 123");
    job.Document = QStringLiteral("a|b\tc");
    job.Owner = QStringLiteral("ann");
    job.TotalPages = 7;
    job.Size = 5000;
    job.Priority = 50;
    job.StatusMask = 1;
    job.TimeSubmitted = QDateTime(QDate(2026, 12, 5), QTime(10, 0, 1));
    const QByteArray line =
        MonitorProtocol::encode(QStringLiteral("JobEvent"), QStringList{QStringLiteral("New")} +
                                                                MonitorProtocol::jobFields(job));
    const auto back =
        MonitorProtocol::jobFromFields(MonitorProtocol::decode(line.chopped(1)).fields.mid(1));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, job);

    EXPECT_FALSE(MonitorProtocol::jobFromFields({QStringLiteral("1"), QStringLiteral("x, 1")}));
    QStringList notANumber = MonitorProtocol::jobFields(job);
    notANumber[0] = QStringLiteral("twelve");
    EXPECT_FALSE(MonitorProtocol::jobFromFields(notANumber));
}

TEST(JobTexts, CleanSeparatorsAndTakeThePrinterUpToTheLastSeparator) {
    SpoolerJob job;
    job.JobId = 9;
    job.Name = QStringLiteral("Annex, West, 9");
    job.Document = QStringLiteral("a|b\tc\u2028d");
    job.Size = 1023;
    const QStringList texts = JobTexts(job);
    ASSERT_EQ(texts.size(), SearchColumn::Count);
    EXPECT_EQ(texts[SearchColumn::Description], QStringLiteral("a b c d"));
    EXPECT_EQ(texts[SearchColumn::Printer], QStringLiteral("Annex, West"));
    EXPECT_EQ(texts[SearchColumn::Size], QStringLiteral("0KB"));
    EXPECT_EQ(texts[SearchColumn::Status], QStringLiteral("OK"));
}
