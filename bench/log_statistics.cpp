// The statistics window's figures over a large job log: ComputeLogStatistics on a log
// of 100,000 jobs, beside the sqlite3 command-line tool computing the same figures
// with one query on the same file (its time includes starting the tool). Both are
// taken in turns, several times, and the best time of each counts.
//
// Target: at most 2 times the command-line tool's time.
//
// Usage: log_statistics [folder]   (default: the temporary folder)
// Exits with 1 when the target is missed, 2 when the run could not be made.

#include "BenchLog.h"
#include "log/LogStatistics.h"
#include "platform/DateText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kJobs = 100000;
constexpr int kRuns = 7;
constexpr double kTargetRatio = 2.0;

// The same figures as the statistics, written for the command-line tool.
const char* kToolQuery =
    "SELECT COUNT(*), COALESCE(SUM(CAST(\"Pages\" AS INTEGER)), 0), "
    "COALESCE(SUM(CAST(\"Deleted Pages\" AS INTEGER)), 0), "
    "COALESCE(SUM(CASE WHEN COALESCE(\"Deleted Pages\", '') = '' THEN CAST(\"Printed Pages\" "
    "AS INTEGER) END), 0), COUNT(DISTINCT NULLIF(\"Server\", '') COLLATE NOCASE), "
    "COUNT(DISTINCT NULLIF(\"Queue\", '') COLLATE NOCASE), "
    "COUNT(DISTINCT NULLIF(\"User\", '') COLLATE NOCASE), MIN(date(\"Time Submitted\")), "
    "MAX(date(\"Time Submitted\")) FROM SWR_Log;";

// Jobs as a busy server leaves them: released, deleted, or released and deleted after.
QList<LogRow> jobs() {
    QList<LogRow> rows;
    const QDateTime start(QDate(2024, 1, 1), QTime(8, 0));
    for (int i = 0; i < kJobs; ++i) {
        const QString submitted = DateText::format(start.addSecs(i * 97));
        const QString pages = QString::number(1 + i % 25);
        QList<LogField> fields{{"Server", i % 7 == 0 ? "PRN10" : "prn" + QString::number(i % 5)},
                               {"Queue", "Queue" + QString::number(i % 40)},
                               {"User", "user" + QString::number(i % 900)},
                               {"Time Submitted", submitted},
                               {"Pages", pages}};
        if (i % 3 == 0)
            fields.append({{"Deleted Pages", pages}, {"Deleted", submitted}});
        else
            fields.append({{"Printed Pages", pages}, {"Resumed", submitted}});
        rows.append({QString::number(i) + '-' + submitted, fields});
    }
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BenchLog bench("log_statistics", argc, argv);
    if (!bench.valid())
        return 2;
    LogDatabase& log = bench.log;
    log.setLogFieldsOfRows(jobs());

    const QDateTime now = bench.clock.now();
    LogStatistics figures;
    QString toolAnswer;
    qint64 bestProgram = -1;
    qint64 bestTool = -1;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        figures = ComputeLogStatistics(log, now);
        const qint64 program = timer.nsecsElapsed();

        QProcess tool;
        timer.start();
        tool.start("sqlite3", {"-readonly", log.filePath(), kToolQuery});
        if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
            std::fprintf(stderr, "log_statistics: the sqlite3 tool did not answer\n");
            return 2;
        }
        const qint64 toolTime = timer.nsecsElapsed();
        toolAnswer = QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
        bestProgram = bestProgram < 0 ? program : std::min(bestProgram, program);
        bestTool = bestTool < 0 ? toolTime : std::min(bestTool, toolTime);
    }

    const QStringList tool = toolAnswer.split('|');
    if (figures.jobs != kJobs || tool.value(0).toLongLong() != figures.jobs ||
        tool.value(1).toLongLong() != figures.pages ||
        tool.value(2).toLongLong() != figures.deletedPages ||
        tool.value(3).toLongLong() != figures.printedPages ||
        tool.value(4).toLongLong() != figures.servers) {
        std::fprintf(stderr, "log_statistics: the figures differ: %s\n", qPrintable(toolAnswer));
        return 2;
    }
    const double ratio = double(bestProgram) / double(bestTool);
    std::printf("log_statistics: %d jobs, %lld servers, %lld queues, %lld users, in %s\n", kJobs,
                figures.servers, figures.queues, figures.users, qPrintable(bench.parent));
    std::printf("  ComputeLogStatistics:            %8.1f ms\n", bestProgram / 1e6);
    std::printf("  sqlite3 tool, one query (base):  %8.1f ms\n", bestTool / 1e6);
    std::printf("  ratio: %.2fx (at most %.0fx allowed)\n", ratio, kTargetRatio);
    return ratio <= kTargetRatio ? 0 : 1;
}
