#include "shell/Reports.h"

#include "form/FrmMain.h"
#include "form/ShapeColour.h"
#include "log/LiveReports.h"
#include "log/LogDatabase.h"
#include "log/LogReports.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/GuardedSpooler.h"
#include "platform/Prompter.h"
#include "platform/ServerName.h"
#include "shell/AwaitedAnswers.h"
#include "shell/FavouriteSlots.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QUrl>
#include <cstdio>
#include <memory>

namespace {

// The hourglass on the window and its job grid while a page is built; the window
// takes no clicks meanwhile.
class BusyPointer {
public:
    explicit BusyPointer(FrmMain& form) : form_(form) {
        form_.setCursor(Qt::WaitCursor);
        form_.JobList->setCursor(Qt::WaitCursor);
    }
    ~BusyPointer() {
        form_.unsetCursor();
        form_.JobList->unsetCursor();
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    FrmMain& form_;
};

ReportPage::Settings pageSettings(const FrmMain& f) {
    return {f.Settings.Company, f.Settings.Tagline};
}

LiveReports liveReports(FrmMain& f) {
    LiveReports::WatchedQueue watched;
    watched.server = f.CurrentPrinter->currentText();
    watched.queue = f.CurrentPrintQueue->currentText();
    watched.autoQueue = f.chkAutoQueue->isChecked();
    watched.autoRelease = f.chkTimed->isChecked();
    watched.releasePrints = f.optTimed[0]->isChecked();
    watched.releaseTime = f.txtTimed->text();
    watched.today = f.services().clock->now().date();
    return LiveReports(
        [&f](const QString& server) -> PrintSpooler* { return f.spoolerFor(server); }, watched,
        pageSettings(f));
}

// Writes the page, tells of a failure, and opens what was written. A report written
// without opening it is the command line's, run by a timer with nobody to answer a
// message box: its failure goes to standard error instead.
bool writeReport(FrmMain& f, const QString& fileName, const QByteArray& page, bool noOpen) {
    const QString path = reportFilePath(f, fileName);
    const QString whyNot = ReportPage::write(path, page);
    if (!whyNot.isEmpty()) {
        const QString text = QStringLiteral("The report could not be written to %1: %2. An "
                                            "earlier report there is unchanged.")
                                 .arg(QDir::toNativeSeparators(path), whyNot);
        if (noOpen)
            std::fprintf(stderr, "%s\n", qPrintable(text));
        else
            f.services().prompter->message(QStringLiteral("Spoolwright"), text,
                                           Prompter::Icon::Critical);
        return false;
    }
    if (!noOpen)
        f.services().desktop->openUrl(QUrl::fromLocalFile(path));
    return true;
}

// Makes a live page twice: the first time reads the servers and finds the computers
// the jobs came from; their names are looked up off the window's thread, and the
// second time makes the page from what the first read, with the names.
void liveReport(FrmMain& f, const QString& fileName, bool noOpen,
                const std::function<QString(LiveReports&)>& make, const ReportDone& done) {
    if (!AwaitedAnswers::begin(f, fileName))
        return; // the same report is still looking up names
    auto reports = std::make_shared<LiveReports>(liveReports(f));
    {
        BusyPointer busy(f);
        make(*reports);
    }
    queryServerNames(
        reports->computersToName(), f.services().hostNameOf, &f,
        [&f, reports, fileName, noOpen, make, done](const QHash<QString, QString>& names) {
            reports->nameComputers(names);
            QByteArray page;
            {
                BusyPointer busy(f);
                page = make(*reports).toUtf8();
            }
            AwaitedAnswers::end(f, fileName);
            const bool written = writeReport(f, fileName, page, noOpen);
            if (done)
                done(written);
        });
}

void liveReportDone(FrmMain& f, const QString& auditDescription) {
    f.log().WriteAudit(QStringLiteral("Report"), auditDescription);
    ShapeColour::set(f.ActiveUpdate, ShapeColour::green);
}

QString currentServer(const FrmMain& f) {
    return f.CurrentPrinter->currentText();
}

QString currentQueue(const FrmMain& f) {
    return f.CurrentPrintQueue->currentText();
}

void currentQueueReport(FrmMain& f, bool withScript) {
    const QString audit = currentServer(f) + QLatin1Char('-') + currentQueue(f);
    PrinterReport(f, currentServer(f), currentQueue(f), false, withScript,
                  [&f, audit](bool) { liveReportDone(f, audit); });
}

void currentServerReport(FrmMain& f, bool withScript) {
    const QString audit = currentServer(f);
    ServerReport(f, currentServer(f), false, withScript,
                 [&f, audit](bool) { liveReportDone(f, audit); });
}

} // namespace

QString reportFilePath(const FrmMain& f, const QString& fileName) {
    return QDir(f.Settings.ReportPath).filePath(fileName);
}

bool logReport(FrmMain& f, const LogReportKind& kind, bool noOpen) {
    QByteArray page;
    {
        BusyPointer busy(f);
        page = logReportPage(f.log(), kind, pageSettings(f));
    }
    return writeReport(f, kind.fileName, page, noOpen);
}

void PrinterReport(FrmMain& f, const QString& server, const QString& queue, bool noOpen,
                   bool withScript, ReportDone done) {
    liveReport(
        f, QStringLiteral("SWR_PrinterReport.html"), noOpen,
        [server, queue, withScript](LiveReports& r) {
            return r.PrinterReport(server, queue, withScript);
        },
        done);
}

void ServerReport(FrmMain& f, const QString& server, bool noOpen, bool withScript,
                  ReportDone done) {
    liveReport(
        f, QStringLiteral("SWR_ServerReport.html"), noOpen,
        [server, withScript](LiveReports& r) { return r.ServerReport(server, withScript); }, done);
}

void FavouritesReport(FrmMain& f, bool noOpen, ReportDone done) {
    QStringList lines;
    for (int slot = 0; slot < kFavouriteSlots; ++slot)
        if (favouriteEntry(f, slot)->isVisible())
            lines << favouriteLine(f, slot);
    liveReport(
        f, QStringLiteral("SWR_FavReport.html"), noOpen,
        [lines](LiveReports& r) { return r.FavouritesReport(lines); }, done);
}

void LogReport_Click(FrmMain& f, const QString& menuEntry) {
    const LogReportKind* kind = logReportFor(menuEntry);
    if (!kind)
        return;
    logReport(f, *kind);
    f.log().WriteAudit(QStringLiteral("Report"), kind->auditDescription);
}

void mnuPrinterReport_Click(FrmMain& f) {
    currentQueueReport(f, true);
}

void mnuPrinterReportnj_Click(FrmMain& f) {
    currentQueueReport(f, false);
}

void mnuServerReport_Click(FrmMain& f) {
    currentServerReport(f, true);
}

void mnuServerReportnj_Click(FrmMain& f) {
    currentServerReport(f, false);
}

void mnuFavReport_Click(FrmMain& f) {
    FavouritesReport(
        f, false, [&f](bool) { liveReportDone(f, QStringLiteral("Favourites Report Generated")); });
}
