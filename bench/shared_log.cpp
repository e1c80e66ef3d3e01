// Logging newly seen jobs into the shared log on a PostgreSQL server, against the
// local SQLite log: 1,000 new jobs of ten columns logged by one station into each,
// in passes of 100 as the job view logs them (taken in turns, so that both meet the
// same machine weather), then 1,000 jobs each by four stations at once into the one
// shared log. The benchmark starts a private PostgreSQL server of its own (the
// sandbox tool) and stops it at the end.
//
// Usage: shared_log
// Exits with 1 when one station's rate into PostgreSQL is below a quarter of its
// rate into SQLite, or when four stations' total is below twice one station's.

#include "BenchLog.h"
#include "platform/DateText.h"
#include "sandbox/SandboxPostgres.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int kJobs = 1000;
constexpr int kPass = 100;
constexpr int kStations = 4;
constexpr double kLeastShareOfLocal = 0.25;
constexpr double kLeastFourStationGain = 2.0;

// The rows of jobs first..first+count-1 of `server`, as the job view logs them.
QList<LogRow> newJobRows(const QString& server, int first, int count) {
    const QDateTime start(QDate(2024, 3, 5), QTime(8, 0));
    QList<LogRow> rows;
    for (int i = first; i < first + count; ++i) {
        const QString n = QString::number(i);
        const QString submitted = DateText::format(start.addSecs(i));
        rows.append({n + '-' + submitted,
                     {{"Server", server},
                      {"Queue", "Office"},
                      {"Description", "Report " + n + ".pdf"},
                      {"Computer", "ws" + n},
                      {"User", "user" + QString::number(i % 50)},
                      {"Name", n},
                      {"Time Submitted", submitted},
                      {"Priority", "1"},
                      {"Pages", QString::number(1 + i % 20)},
                      {"Size", QString::number(40 + i) + "KB"}}});
    }
    return rows;
}

// One station's log at LogPath `logPath`, with the time it has spent logging.
class Station {
public:
    explicit Station(const QString& logPath)
        : log_(
              [logPath] {
                  return LogContext{logPath, false, {}, {}, false};
              },
              templateFolder(), environment_, clock_, prompter_) {}

    // Opens the log (a shared log's schema is made on first use), outside the time.
    bool open() { return log_.OpenLogDatabase(); }

    // Logs a pass and waits until nothing of it waits any more (a minute at most:
    // the count of rows at the end tells whether anything was lost).
    void logPass(const QString& server, int first, int count) {
        const QList<LogRow> rows = newJobRows(server, first, count);
        QElapsedTimer timer;
        timer.start();
        log_.logNewRows(rows);
        const QDeadlineTimer limit(60000);
        while (log_.pendingCount() > 0 && !limit.hasExpired())
            log_.flushPending();
        nanoseconds_ += timer.nsecsElapsed();
    }

    double jobsPerSecond() const { return kJobs / (double(nanoseconds_) / 1e9); }

    qint64 rows(const QString& server) {
        if (!log_.OpenLogDatabase())
            return -1;
        QSqlQuery count(log_.connection());
        count.prepare("SELECT COUNT(*) FROM SWR_Log WHERE \"Server\" = ?");
        count.addBindValue(server);
        return count.exec() && count.next() ? count.value(0).toLongLong() : -1;
    }

private:
    Environment environment_;
    Clock clock_;
    NoPrompter prompter_;
    LogDatabase log_;
    qint64 nanoseconds_ = 0;
};

// Four stations, each in a thread of its own with its own connection, log 1,000
// jobs each of their own server at the same time; the total rate over the time
// from the common start to the last one's end.
double fourStationsAtOnce(const QString& uri, bool* allLogged) {
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::atomic<int> logged{0};
    QElapsedTimer wall;
    std::vector<std::thread> threads;
    for (int s = 0; s < kStations; ++s)
        threads.emplace_back([&, s] {
            Station station(uri);
            const QString server = QStringLiteral("printhost-%1").arg(s + 1);
            station.open();
            ++ready;
            while (!go)
                std::this_thread::yield();
            for (int first = 0; first < kJobs; first += kPass)
                station.logPass(server, first, kPass);
            if (station.rows(server) == kJobs)
                ++logged;
        });
    while (ready < kStations)
        std::this_thread::yield();
    wall.start();
    go = true;
    for (std::thread& thread : threads)
        thread.join();
    const qint64 nanoseconds = wall.nsecsElapsed();
    *allLogged = logged == kStations;
    return kStations * kJobs / (double(nanoseconds) / 1e9);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder(QDir(QDir::tempPath()).filePath("shared_log-XXXXXX"));
    SandboxPostgres postgres(folder.filePath("postgres"));
    if (!folder.isValid() || !postgres.start() || !postgres.createDatabase("one_station") ||
        !postgres.createDatabase("four_stations")) {
        std::fprintf(stderr, "shared_log: cannot start a PostgreSQL server: %s\n",
                     qPrintable(postgres.error()));
        return 2;
    }

    Station local(folder.filePath("local"));
    Station shared(postgres.uri("one_station"));
    QDir().mkpath(folder.filePath("local"));
    if (!local.open() || !shared.open()) {
        std::fprintf(stderr, "shared_log: cannot open the logs\n");
        return 2;
    }
    for (int first = 0; first < kJobs; first += kPass) {
        local.logPass("printhost", first, kPass);
        shared.logPass("printhost", first, kPass);
    }
    bool fourLogged = false;
    const double four = fourStationsAtOnce(postgres.uri("four_stations"), &fourLogged);
    if (local.rows("printhost") != kJobs || shared.rows("printhost") != kJobs || !fourLogged) {
        std::fprintf(stderr, "shared_log: a log lacks some of the jobs\n");
        return 2;
    }

    const double share = shared.jobsPerSecond() / local.jobsPerSecond();
    const double gain = four / shared.jobsPerSecond();
    std::printf("shared_log: %d new jobs of 10 columns per station, in passes of %d\n", kJobs,
                kPass);
    std::printf("  local SQLite log, one station (baseline): %9.1f jobs/s\n",
                local.jobsPerSecond());
    std::printf("  PostgreSQL log, one station:              %9.1f jobs/s  (%.2f of SQLite, at "
                "least %.2f required)\n",
                shared.jobsPerSecond(), share, kLeastShareOfLocal);
    std::printf("  PostgreSQL log, %d stations at once:       %9.1f jobs/s in total  (%.1fx one "
                "station, at least %.0fx required)\n",
                kStations, four, gain, kLeastFourStationGain);
    return share >= kLeastShareOfLocal && gain >= kLeastFourStationGain ? 0 : 1;
}
