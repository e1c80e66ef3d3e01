#include "shell/Reports.h"

#include "form/FrmMain.h"
#include "form/ShapeColour.h"
#include "log/LiveReports.h"
#include "log/LogDatabase.h"
#include "log/LogReports.h"
#include "platform/Desktop.h"
#include "platform/GuardedSpooler.h"
#include "platform/Prompter.h"
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
    return LiveReports(
        [&f](const QString& server) -> PrintSpooler* { return f.SpoolerFor(server); }, watched,
        pageSettings(f));
}

// Writes the page, tells of a failure, and opens what was written. A report written
// without opening it is the command line's, run by a timer with nobody to answer a
// message box: its failure goes to standard error instead.
bool writeReport(FrmMain& f, const QString& fileName, const QByteArray& page, bool noOpen) {
    const QString path = ReportFilePath(f, fileName);
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

void liveReportDone(FrmMain& f, const QString& auditDescription) {
    f.Log().WriteAudit(QStringLiteral("Report"), auditDescription);
    ShapeColour::set(f.ActiveUpdate, ShapeColour::Green);
}

QString currentServer(const FrmMain& f) {
    return f.CurrentPrinter->currentText();
}

QString currentQueue(const FrmMain& f) {
    return f.CurrentPrintQueue->currentText();
}

void currentQueueReport(FrmMain& f, bool withScript) {
    PrinterReport(f, currentServer(f), currentQueue(f), false, withScript);
    liveReportDone(f, currentServer(f) + QLatin1Char('-') + currentQueue(f));
}

void currentServerReport(FrmMain& f, bool withScript) {
    ServerReport(f, currentServer(f), false, withScript);
    liveReportDone(f, currentServer(f));
}

} // namespace

QString ReportFilePath(const FrmMain& f, const QString& fileName) {
    return QDir(f.Settings.ReportPath).filePath(fileName);
}

bool LogReport(FrmMain& f, const LogReportKind& kind, bool noOpen) {
    QByteArray page;
    {
        BusyPointer busy(f);
        page = LogReportPage(f.Log(), kind, pageSettings(f));
    }
    return writeReport(f, kind.fileName, page, noOpen);
}

bool PrinterReport(FrmMain& f, const QString& server, const QString& queue, bool noOpen,
                   bool withScript) {
    QByteArray page;
    {
        BusyPointer busy(f);
        page = liveReports(f).PrinterReport(server, queue, withScript).toUtf8();
    }
    return writeReport(f, QStringLiteral("SWR_PrinterReport.html"), page, noOpen);
}

bool ServerReport(FrmMain& f, const QString& server, bool noOpen, bool withScript) {
    QByteArray page;
    {
        BusyPointer busy(f);
        page = liveReports(f).ServerReport(server, withScript).toUtf8();
    }
    return writeReport(f, QStringLiteral("SWR_ServerReport.html"), page, noOpen);
}

bool FavouritesReport(FrmMain& f, bool noOpen) {
    QStringList lines;
    for (int slot = 0; slot < kFavouriteSlots; ++slot)
        if (FavouriteEntry(f, slot)->isVisible())
            lines << FavouriteLine(f, slot);
    QByteArray page;
    {
        BusyPointer busy(f);
        page = liveReports(f).FavouritesReport(lines).toUtf8();
    }
    return writeReport(f, QStringLiteral("SWR_FavReport.html"), page, noOpen);
}

void LogReport_Click(FrmMain& f, const QString& menuEntry) {
    const LogReportKind* kind = LogReportFor(menuEntry);
    if (!kind)
        return;
    LogReport(f, *kind);
    f.Log().WriteAudit(QStringLiteral("Report"), kind->auditDescription);
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
    FavouritesReport(f, false);
    liveReportDone(f, QStringLiteral("Favourites Report Generated"));
}
