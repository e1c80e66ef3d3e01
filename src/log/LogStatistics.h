#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>

class LogDatabase;

// What the job log says about the pages the program let through and stopped.
struct LogStatistics {
    qint64 jobs = 0;         // rows of the job log
    qint64 pages = 0;        // the "Pages" of every row
    qint64 deletedPages = 0; // the "Deleted Pages" of every row
    qint64 printedPages = 0; // the "Printed Pages" of rows that were not deleted after
    // Distinct names, whole values compared without regard to case; empty ones not
    // counted.
    qint64 servers = 0;
    qint64 queues = 0;
    qint64 users = 0;
    QDateTime firstDate; // the earliest day submitted, or the time of the computation
    QDateTime lastDate;  // the latest day submitted, or the time of the computation
    double saving = 0;   // percent of the deleted and printed pages that were deleted
};

// The figures over the whole job log in one pass of one query. Page cells count by
// their leading number ("12abc" is 12, empty or "abc" nothing). A log that cannot be
// read gives zeros and `now` as both dates.
LogStatistics ComputeLogStatistics(LogDatabase& log, const QDateTime& now);

// The pages released and deleted on one day.
struct DayPages {
    QDate day;
    qint64 printed = 0;
    qint64 deleted = 0;
};

// One entry for each of the `days` days up to and including `lastDay`, oldest first:
// pages printed on the day they were released, pages deleted on the day they were
// deleted (a row without that time counts on the day it was submitted). A job
// released and later deleted counts as deleted only, as in the statistics.
QList<DayPages> pagesPerDay(LogDatabase& log, const QDate& lastDay, int days);

// What the pages not printed mean in paper and carbon: one sheet a page, a tree
// makes 8,333 sheets of office paper, and a sheet costs about 12.7 g of CO2,
// printing included.
struct PaperSaving {
    static constexpr double kSheetsPerTree = 8333;
    static constexpr double kGramsCo2PerSheet = 12.7;
    qint64 sheets = 0;
    double trees = 0;
    double kgCo2 = 0;
};
PaperSaving paperSavingOf(qint64 pagesNotPrinted);
