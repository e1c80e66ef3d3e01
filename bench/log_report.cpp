// The full log report over 100,000 job rows, against the sqlite3 command-line tool
// writing the same rows of the same file as an HTML table (.mode html), in one run.
// The program reads, escapes and frames the rows and writes the page safely (written
// beside, synced, read back, renamed); the tool only prints them. The program must
// take at most twice the tool's time.
//
// Usage: log_report [folder]   (default: the temporary folder)
// Exits with 1 when the program takes more than twice the tool's time, 2 when it
// cannot run.

#include "BenchLog.h"
#include "log/LogDatabase.h"
#include "log/LogReports.h"
#include "log/ReportPage.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRows = 100000;
constexpr double kMostRatio = 2.0;

// A log of kRows released or deleted jobs, some names needing escapes, written in
// one transaction (the program's own way writes a row at a time, far slower).
bool fillLog(LogDatabase& log) {
    if (!log.OpenLogDatabase())
        return false;
    QSqlDatabase db = log.connection();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare("INSERT INTO SWR_Log (\"TransactionID\", \"Time Submitted\", \"Server\", "
                   "\"Queue\", \"Description\", \"Computer\", \"User\", \"Name\", \"Priority\", "
                   "\"Pages\", \"Size\", \"Deleted\", \"Deleted Pages\", \"Resumed\", "
                   "\"Printed Pages\", \"SWR User\", \"SWR Computer\") VALUES "
                   "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    const QDateTime start(QDate(2026, 1, 5), QTime(8, 0));
    for (int i = 0; i < kRows; ++i) {
        const QString n = QString::number(i);
        const QString submitted = DateText::format(start.addSecs(i * 37));
        const QString done = DateText::format(start.addSecs(i * 37 + 60));
        const QString pages = QString::number(1 + i % 20);
        const bool deleted = i % 3 == 0;
        const QVariant none;
        const QVariantList values{n + '-' + submitted,
                                  submitted,
                                  "printhost",
                                  i % 2 ? "Office" : "Lab & Annex",
                                  "Report <" + n + ">.pdf",
                                  "ws" + QString::number(i % 50),
                                  "user" + QString::number(i % 80),
                                  n,
                                  "1",
                                  pages,
                                  QString::number(40 + i % 900) + "KB",
                                  deleted ? QVariant(done) : none,
                                  deleted ? QVariant(pages) : none,
                                  deleted ? none : QVariant(done),
                                  deleted ? none : QVariant(pages),
                                  "operator",
                                  "desk1"};
        for (int v = 0; v < values.size(); ++v)
            insert.bindValue(v, values.at(v));
        if (!insert.exec())
            return false;
    }
    const bool ok = db.commit();
    log.CloseLogDatabase();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch(QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath())
                              .filePath("log_report-XXXXXX"));
    const QString sqlite3 = QStandardPaths::findExecutable("sqlite3");
    if (!scratch.isValid() || sqlite3.isEmpty()) {
        std::fprintf(stderr, "needs a writable folder and the sqlite3 tool\n");
        return 2;
    }
    const QString folder = scratch.path();
    Environment environment;
    Clock clock;
    NoPrompter prompter;
    LogDatabase log(
        [folder] {
            return LogContext{folder, false, {}, {}, false};
        },
        templateFolder(), environment, clock, prompter);
    if (!fillLog(log)) {
        std::fprintf(stderr, "could not fill the log\n");
        return 2;
    }

    const LogReportKind& full = *logReportFor("mnuLogFullReportHTML");
    QElapsedTimer timer;
    timer.start();
    const QByteArray page = logReportPage(log, full, {"Spoolwright", "Tagline"});
    const QString whyNot = ReportPage::write(QDir(folder).filePath(full.fileName), page);
    const double programSeconds = timer.nsecsElapsed() / 1e9;
    // The frame's centring table opens with one "<tr><td>" of its own.
    const qsizetype rows = page.count("<tr><td>") - 1;
    if (!whyNot.isEmpty() || rows != kRows) {
        std::fprintf(stderr, "the report is not whole (%lld rows): %s\n", qlonglong(rows),
                     qPrintable(whyNot));
        return 2;
    }

    QStringList columns;
    for (const QString& field : full.fields)
        columns << '"' + field + '"';
    // Started through the shell as a scheduled job would run it.
    const QByteArray command = QFile::encodeName(sqlite3) + " -html '" +
                               QFile::encodeName(log.filePath()) + "' 'SELECT " +
                               columns.join(',').toUtf8() + " FROM SWR_Log;' > '" +
                               QFile::encodeName(QDir(folder).filePath("sqlite3.html")) + "'";
    timer.restart();
    if (std::system(command.constData()) != 0) {
        std::fprintf(stderr, "sqlite3 failed\n");
        return 2;
    }
    const double toolSeconds = timer.nsecsElapsed() / 1e9;

    const double ratio = programSeconds / toolSeconds;
    std::printf("full log report, %d rows: program %.3f s, sqlite3 .mode html %.3f s, ratio "
                "%.2f (at most %.1f)\n",
                kRows, programSeconds, toolSeconds, ratio, kMostRatio);
    return ratio <= kMostRatio ? 0 : 1;
}
