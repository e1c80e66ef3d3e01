#pragma once

#include "BenchWindow.h"
#include "MonitorBench.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "sandbox/SandboxPrintServer.h"

#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

// What the benchmarks that act on a sandbox queue of many held jobs through the
// window share.

// The number the query counts in the window's log; -1 when it cannot be read.
inline int countInLog(FrmMain& form, const QString& sql) {
    if (!form.log().OpenLogDatabase())
        return -1;
    QSqlQuery query(form.log().connection());
    return query.exec(sql) && query.next() ? query.value(0).toInt() : -1;
}

// Waits until the server is at rest (no CPU to speak of for three seconds: it
// starts writing out changed jobs only a moment after it answered), running the
// events of any window meanwhile; the CPU milliseconds it spent until then.
inline qint64 untilAtRest(const SandboxPrintServer& server) {
    const qint64 start = monitorbench::cpuMs(server.pid());
    for (int tries = 0, quiet = 0; tries < 600 && quiet < 10; ++tries) {
        const qint64 before = monitorbench::cpuMs(server.pid());
        QTest::qWait(300);
        quiet = monitorbench::cpuMs(server.pid()) - before <= 3 ? quiet + 1 : 0;
    }
    return monitorbench::cpuMs(server.pid()) - start;
}

// Waits until the window shows `jobs` jobs, each with its pages counted and its row
// in the log, so that what is timed next starts from a settled window.
inline void untilEveryJobLogged(FrmMain& form, int jobs) {
    const auto everyPageCounted = [&form] {
        const QList<SpoolerJob> shown = form.jobGrid().jobs();
        return std::all_of(shown.begin(), shown.end(), [](const SpoolerJob& job) {
            return job.TotalPages != kPagesNotCounted;
        });
    };
    const QString logged = QStringLiteral("SELECT COUNT(*) FROM SWR_Log");
    if (!QTest::qWaitFor(
            [&] {
                return form.JobList->topLevelItemCount() == jobs && everyPageCounted() &&
                       countInLog(form, logged) == jobs;
            },
            600000))
        throw Failure{QStringLiteral("the window did not show, count and log every job: %1 "
                                     "shown, %2 logged (%3)")
                          .arg(form.JobList->topLevelItemCount())
                          .arg(countInLog(form, logged))
                          .arg(form.panelText(1))};
}

// The jobs `--jobs N` asks for, else `jobs`.
inline int jobsArgument(const QStringList& arguments, int jobs, const char* usage) {
    for (int i = 1; i < arguments.size(); ++i) {
        bool ok = false;
        if (arguments[i] == QLatin1String("--jobs") && i + 1 < arguments.size())
            jobs = arguments[++i].toInt(&ok);
        if (!ok || jobs <= 0)
            throw Failure{QStringLiteral("usage: ") + QString::fromLatin1(usage)};
    }
    return jobs;
}

inline double median(std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}
