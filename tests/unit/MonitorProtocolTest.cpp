#include "platform/MonitorProtocol.h"
#include "platform/JobText.h"
#include "platform/PrintSpooler.h"

#include <gtest/gtest.h>

TEST(MonitorProtocol, AnyTextTravelsWholeAndALineNeverBreaks) {
    const QStringList fields{"a\tb", "line\nbreak\r", "back\\slash\\t", QString(), "ü|x"};
    const QByteArray line = MonitorProtocol::encode("JobEvent", fields);
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_TRUE(line.endsWith('\n'));
    const MonitorProtocol::Line back = MonitorProtocol::decode(line.chopped(1));
    EXPECT_EQ(back.name, "JobEvent");
    EXPECT_EQ(back.fields, fields);
}

TEST(MonitorProtocol, AJobComesBackAsItWentAndGarbageIsNoJob) {
    SpoolerJob job;
    job.JobId = 123;
    job.Name = "Annex, West, 123";
    job.Document = "a|b\tc";
    job.Owner = "ann";
    job.TotalPages = 7;
    job.Size = 5000;
    job.Priority = 50;
    job.StatusMask = 1;
    job.TimeSubmitted = QDateTime(QDate(2026, 12, 5), QTime(10, 0, 1));
    job.holdUntil = "auth-info-required";
    job.stateReasons = {"cups-held-for-authentication", "printer-stopped"};
    const QByteArray line =
        MonitorProtocol::encode("JobEvent", QStringList{"New"} + MonitorProtocol::jobFields(job));
    const auto back =
        MonitorProtocol::jobFromFields(MonitorProtocol::decode(line.chopped(1)).fields.mid(1));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, job);
    // What the tool tip says of a held job comes along too.
    EXPECT_EQ(back->holdUntil, job.holdUntil);
    EXPECT_EQ(back->stateReasons, job.stateReasons);

    EXPECT_FALSE(MonitorProtocol::jobFromFields({"1", "x, 1"}));
    QStringList notANumber = MonitorProtocol::jobFields(job);
    notANumber[0] = "twelve";
    EXPECT_FALSE(MonitorProtocol::jobFromFields(notANumber));
}

TEST(jobTexts, CleanSeparatorsAndTakeThePrinterUpToTheLastSeparator) {
    SpoolerJob job;
    job.JobId = 9;
    job.Name = "Annex, West, 9";
    job.Document = "a|b\tc\u2028d";
    job.Size = 1023;
    const QStringList texts = jobTexts(job);
    ASSERT_EQ(texts.size(), SearchColumn::Count);
    EXPECT_EQ(texts[SearchColumn::Description], "a b c d");
    EXPECT_EQ(texts[SearchColumn::Printer], "Annex, West");
    EXPECT_EQ(texts[SearchColumn::Size], "0KB");
    EXPECT_EQ(texts[SearchColumn::Status], "OK");
}
