// Logging newly seen jobs: the job view tests each job's key and writes its ten
// columns. Measured twice on the same disk, in one run: as the program does it (the
// connection kept while the file is the same, the columns in one transaction), and
// with the file opened, updated once and closed for every single column, the
// baseline. The program's way must be at least ten times faster.
//
// Usage: log_jobs [folder]   (default: the temporary folder)
// Exits with 1 when the program's way is below ten times the baseline.

#include "BenchLog.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kJobs = 1000;
constexpr double kRequiredRatio = 10.0;

// The columns the job view writes for a job it sees for the first time.
QList<LogField> jobFields(int number, const QString& submitted) {
    const QString n = QString::number(number);
    return {{"Server", "printhost"},
            {"Queue", "Office"},
            {"Description", "Report " + n + ".pdf"},
            {"Computer", "ws" + n},
            {"User", "user" + n},
            {"Name", n},
            {"Time Submitted", submitted},
            {"Priority", "1"},
            {"Pages", QString::number(1 + number % 20)},
            {"Size", QString::number(40 + number) + "KB"}};
}

QString transactionId(int number, const QString& submitted) {
    return QString::number(number) + '-' + submitted;
}

// One way of logging jobs, into a fresh log in a folder of its own, with the time it
// has spent so far.
struct Way {
    using LogJobs = void (*)(LogDatabase&, const QList<LogRow>&);

    Way(const QString& folder, LogJobs oneWay)
        : logJobsOneWay(oneWay), log(
                                     [folder] {
                                         return LogContext{folder, false, {}, {}, false};
                                     },
                                     templateFolder(), environment, clock, prompter) {
        QDir().mkpath(folder);
    }

    void logJobs(int first, int count) {
        const QDateTime start = QDateTime(QDate(2024, 3, 5), QTime(8, 0));
        QList<LogRow> rows;
        for (int i = first; i < first + count; ++i) {
            const QString submitted = DateText::format(start.addSecs(i));
            rows.append({transactionId(i, submitted), jobFields(i, submitted)});
        }
        QElapsedTimer timer;
        timer.start();
        logJobsOneWay(log, rows);
        nanoseconds += timer.nsecsElapsed();
    }

    double jobsPerSecond() const { return kJobs / (nanoseconds / 1e9); }

    int loggedJobs() {
        if (!log.OpenLogDatabase())
            return -1;
        QSqlQuery count(log.connection());
        return count.exec("SELECT COUNT(*) FROM SWR_Log") && count.next() ? count.value(0).toInt()
                                                                          : -1;
    }

    LogJobs logJobsOneWay;
    Environment environment;
    Clock clock;
    NoPrompter prompter;
    LogDatabase log;
    qint64 nanoseconds = 0;
};

// As a retrieval pass logs the jobs it finds: one transaction for the pass.
void programWay(LogDatabase& log, const QList<LogRow>& rows) {
    log.logNewRows(rows);
}

// The baseline: every operation opens the file and closes it again.
void literalWay(LogDatabase& log, const QList<LogRow>& rows) {
    for (const LogRow& row : rows) {
        const bool known = log.LogRowExists(row.transactionId);
        log.CloseLogDatabase();
        if (known)
            continue;
        for (const LogField& field : row.fields) {
            log.SetLogField(row.transactionId, field.column, field.value);
            log.CloseLogDatabase();
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString parent = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    QTemporaryDir folder(QDir(parent).filePath("log_jobs-XXXXXX"));
    if (!folder.isValid()) {
        std::fprintf(stderr, "log_jobs: cannot make a folder in %s\n", qPrintable(parent));
        return 2;
    }

    // Taken in rounds, each way in turn, so that both meet the same disk weather.
    Way program(QDir(folder.path()).filePath("program"), programWay);
    Way literal(QDir(folder.path()).filePath("literal"), literalWay);
    constexpr int kRound = 100;
    for (int first = 0; first < kJobs; first += kRound) {
        program.logJobs(first, kRound);
        literal.logJobs(first, kRound);
    }

    const int programLogged = program.loggedJobs();
    const int literalLogged = literal.loggedJobs();
    if (programLogged != kJobs || literalLogged != kJobs) {
        std::fprintf(stderr, "log_jobs: logged %d and %d jobs instead of %d\n", programLogged,
                     literalLogged, kJobs);
        return 2;
    }
    const double ratio = program.jobsPerSecond() / literal.jobsPerSecond();
    std::printf("log_jobs: %d new jobs of 10 columns each, in %s\n", kJobs, qPrintable(parent));
    std::printf("  kept connection, one transaction per pass of %d: %8.1f jobs/s\n", kRound,
                program.jobsPerSecond());
    std::printf("  open, update, close per column (baseline): %9.1f jobs/s\n",
                literal.jobsPerSecond());
    std::printf("  ratio: %.1fx (at least %.0fx required)\n", ratio, kRequiredRatio);
    return ratio >= kRequiredRatio ? 0 : 1;
}
