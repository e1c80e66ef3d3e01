// The window's wait for a log another program holds: ten job writes in a row while a
// second connection keeps the log in an exclusive transaction, then the write of all
// that waited once it lets go. The first write may wait one second for the lock; the
// writes after it find rows waiting and only try. Baseline: one second per write.
//
// Usage: log_busy [folder]   (default: the temporary folder)
// Exits with 1 when the ten writes took more than two seconds together, or when not
// every row was in the log at the end.

#include "BenchLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kWrites = 10;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BenchLog bench("log_busy", argc, argv);
    if (!bench.valid())
        return 2;
    LogDatabase& log = bench.log;
    const QString path = bench.folder.path();
    if (!log.OpenLogDatabase()) {
        std::fprintf(stderr, "log_busy: no log in %s\n", qPrintable(path));
        return 2;
    }

    QList<double> seconds;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(log.filePath());
        if (!other.open() || !QSqlQuery(other).exec("BEGIN EXCLUSIVE")) {
            std::fprintf(stderr, "log_busy: cannot hold the log\n");
            return 2;
        }
        for (int i = 0; i < kWrites; ++i) {
            QElapsedTimer timer;
            timer.start();
            log.setLogFields(QString::number(i) + "-2024-03-05 08:00:00",
                             {{"Server", "printhost"}, {"Pages", "1"}});
            seconds.append(timer.nsecsElapsed() / 1e9);
        }
        QSqlQuery(other).exec("COMMIT");
        other.close();
    }
    QSqlDatabase::removeDatabase("other");
    const int waited = log.pendingCount();
    log.flushPending();

    int logged = -1;
    if (log.OpenLogDatabase()) {
        QSqlQuery count(log.connection());
        if (count.exec("SELECT COUNT(*) FROM SWR_Log") && count.next())
            logged = count.value(0).toInt();
    }
    double total = 0;
    std::printf("log_busy: %d job writes while another connection holds the log\n", kWrites);
    for (int i = 0; i < kWrites; ++i) {
        std::printf("  write %2d: %6.3f s\n", i + 1, seconds[i]);
        total += seconds[i];
    }
    std::printf("  together: %.3f s (baseline: one second per write, %d s)\n", total, kWrites);
    std::printf("  %d rows waited; %d in the log after it let go\n", waited, logged);
    return total <= 2.0 && logged == kWrites ? 0 : 1;
}
