#pragma once

#include <QString>

// What merging a local log into the shared log did.
struct LogImport {
    bool ok = false;
    qint64 added = 0;   // job and audit rows the shared log did not have
    qint64 skipped = 0; // rows it had already (or, for job rows, had without a key)
    QString error;      // why it failed, for the operator
};

// Merges the local log file (a swr.db) into the shared log at logPath (the LogPath
// setting, a postgresql:// address), in one transaction: all of it or nothing, so that
// it can simply be run again. A job row the shared log holds already (the same server
// and TransactionID) is skipped, and so is an audit row it holds as often as the file
// does (the same time, action, description, operator and computer): a second import
// of the same file adds nothing. programFolder holds the shared log's schema.
LogImport importLocalLog(const QString& localFile, const QString& logPath,
                         const QString& programFolder);
