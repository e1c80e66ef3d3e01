#pragma once

#include "log/ReportPage.h"
#include "platform/PrintSpooler.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The live reports: pages describing printers and their waiting jobs as the print
// servers report them now. Each printer gets a status-coloured table of its properties
// followed by a table of its jobs, which the printer and server reports can hide
// behind a "Show/Hide Jobs" link.
//
// One LiveReports object makes one page: it reads each server's printers and jobs
// once. It looks up no computer's name itself, for a look-up may take seconds: a
// page shows each submitting computer as the server gave it until its name was
// given (nameComputers). The page is made once to learn which computers it shows,
// and made again from what the first reading found once their names are in.
class LiveReports {
public:
    // The spooler of a server by its name; null when there is none.
    using SpoolerSource = std::function<PrintSpooler*(const QString& server)>;

    // How the queue the window watches is set up, for its AutoQueue and AutoRelease
    // cells: a printer report of another queue leaves them empty.
    struct WatchedQueue {
        QString server;
        QString queue;
        bool autoQueue = false;
        bool autoRelease = false;
        bool releasePrints = true; // false: the release deletes
        QString releaseTime;       // as the operator typed it
        // Today's date where the window is, for the time of day a job is held until.
        QDate today = {};
    };

    LiveReports(SpoolerSource spoolers, WatchedQueue watched, ReportPage::Settings settings);

    // Whole pages.
    QString PrinterReport(const QString& server, const QString& queue, bool withScript);
    QString ServerReport(const QString& server, bool withScript);
    // From the favourites' record lines ("server | queue | AQ On | AR On | Print |
    // 5:00 PM | AA"); empty lines are free slots and are passed over.
    QString FavouritesReport(const QStringList& recordLines);

    // The table of one printer (asked for by name or share name). Empty when the
    // server has no such printer or cannot be reached. For a favourite, `fields` are
    // its record line's fields and give the AutoQueue and AutoRelease cells.
    QString PrinterTable(const QString& server, const QString& printer, bool favourite,
                         const QStringList& fields = QStringList());
    // The table of the jobs waiting in one printer; "</p>" alone when the server has
    // no jobs at all.
    QString JobsTable(const QString& server, const QString& printerName, bool withLinks);

    // The computers the pages made so far showed without a name given for them.
    QStringList computersToName() const;
    // Their names, by the host the server gave; the pages made from now on show them.
    void nameComputers(const QHash<QString, QString>& names);

    // The name of the printer whose table was made last; its jobs table reads it.
    QString ReportPrinterName;

    // The cell style of a printer's and of a job's status.
    static QString printerStatusStyle(int extendedPrinterStatus);
    static QString jobStatusStyle(int statusMask);

private:
    QString page(const QString& titleText, bool withScript, const QString& heading,
                 const QString& body) const;
    const QList<SpoolerPrinter>& printersOf(const QString& server);
    const QList<SpoolerJob>& jobsOf(const QString& server);
    QString computerName(const QString& host);
    bool heldByAutoQueue(const QString& server, const SpoolerJob& job) const;

    SpoolerSource spoolers_;
    WatchedQueue watched_;
    ReportPage::Settings settings_;
    QHash<QString, QList<SpoolerPrinter>> printers_; // by server, read once per page
    QHash<QString, QList<SpoolerJob>> jobs_;         // likewise
    QHash<QString, QString> computers_;              // by the host a job came from
    QStringList computersToName_;
};
