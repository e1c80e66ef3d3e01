#include "platform/JobText.h"
#include "platform/MonitorProtocol.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/WidgetTexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QByteArray jobEvent(const QString& action, int id) {
    SpoolerJob job;
    job.JobId = id;
    job.Name = QStringLiteral("Laser, %1").arg(id);
    job.Document = QStringLiteral("Letter %1").arg(id);
    job.Owner = QStringLiteral("ann");
    job.TotalPages = id;
    job.TimeSubmitted = QDateTime(QDate(2026, 12, 6), QTime(9, 0)).addSecs(id);
    return MonitorProtocol::encode(MonitorProtocol::JobEvent,
                                   QStringList{action} + MonitorProtocol::jobFields(job));
}

} // namespace

TEST(MonitorBatch, EventsReadTogetherAreLoggedInOneGoAndShownInTheirOrder) {
    QTemporaryDir dir;
    QByteArray events;
    for (int id = 1; id <= 5; ++id)
        events += jobEvent(QStringLiteral("New"), id);
    events += jobEvent(QStringLiteral("Deleted"), 2);
    QFile eventFile(dir.filePath(QStringLiteral("events")));
    ASSERT_TRUE(eventFile.open(QIODevice::WriteOnly));
    eventFile.write(events);
    eventFile.close();
    // A stand-in monitor that says every event in one write, then listens.
    const QString program = dir.filePath(QStringLiteral("SWRJobMonitor"));
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ncat \"$(dirname \"$0\")/events\"\nexec cat > /dev/null\n");
    script.close();
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    MainWindowHarness harness;
    harness.writeAppDataFile(QStringLiteral("swr.ini"), "[Spoolwright]\r\nServer=alpha\r\n");
    harness.fake(QStringLiteral("alpha")).addQueue({QStringLiteral("Laser"), {}, {}, {}, {}, 0});
    harness.monitorProgram = program;
    FrmMain& w = harness.create();
    // How many jobs the log holds as each row comes: all of the batch from the first.
    QList<int> loggedAsRowsCame;
    QObject::connect(w.SearchList->model(), &QAbstractItemModel::rowsInserted, &w, [&] {
        const QList<QStringList> count =
            logRows(w.log(), QStringLiteral("SELECT COUNT(*) FROM SWR_Log"));
        loggedAsRowsCame << (count.isEmpty() ? -1 : count.first().first().toInt());
    });
    showFrmMain(w);

    ASSERT_TRUE(QTest::qWaitFor([&] { return loggedAsRowsCame.size() == 5; }, 30000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.SearchList->topLevelItemCount() == 4; }, 30000));
    EXPECT_EQ(loggedAsRowsCame, QList<int>({5, 5, 5, 5, 5}));
    EXPECT_EQ(gridColumn(w.SearchList, SearchColumn::ID),
              QStringList({QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4"),
                           QStringLiteral("5")}));
    EXPECT_EQ(gridColumn(w.SearchList, SearchColumn::Pages),
              QStringList({QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4"),
                           QStringLiteral("5")}));
}
