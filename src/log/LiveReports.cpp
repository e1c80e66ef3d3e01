#include "log/LiveReports.h"

#include "platform/HoldReasons.h"
#include "platform/JobStatus.h"
#include "platform/JobText.h"
#include "platform/RandomBetween.h"
#include "platform/ServerName.h"

namespace {

const QString kGreen = QStringLiteral("'background-color: #00FF00'");
const QString kRed = QStringLiteral("'background-color: #FF0000'");
const QString kOrange = QStringLiteral("'background-color: #FF9900'");

QString cell(const QString& value) {
    return QStringLiteral("<td>") + ReportPage::escape(value) + QStringLiteral("</td>");
}

QString field(const QStringList& fields, int index) {
    return index < fields.size() ? fields.at(index).trimmed() : QString();
}

} // namespace

LiveReports::LiveReports(SpoolerSource spoolers, WatchedQueue watched,
                         ReportPage::Settings settings)
    : spoolers_(std::move(spoolers)), watched_(std::move(watched)), settings_(std::move(settings)) {
}

QString LiveReports::printerStatusStyle(int extendedPrinterStatus) {
    switch (extendedPrinterStatus) {
    case 2:
    case 3:
    case 4:
        return kGreen;
    case 7:
    case 9:
        return kRed;
    case 8:
    case 10:
    case 12:
    case 13:
        return kOrange;
    default:
        return QStringLiteral("''");
    }
}

QString LiveReports::jobStatusStyle(int statusMask) {
    switch (statusMask) {
    case 2:
    case 32:
    case 64:
    case 1024:
        return kRed;
    case 1:
    case 4:
    case 8:
        return kOrange;
    default:
        return kGreen; // printing (16), and every combination of bits
    }
}

QString LiveReports::page(const QString& titleText, bool withScript, const QString& heading,
                          const QString& body) const {
    return ReportPage::head(QStringLiteral(" - ") + titleText, withScript, settings_, heading) +
           body + QLatin1String(ReportPage::kEnd);
}

QString LiveReports::PrinterReport(const QString& server, const QString& queue, bool withScript) {
    const QString names =
        ReportPage::escape(queue) + QStringLiteral(" on ") + ReportPage::escape(server);
    QString body = PrinterTable(server, queue, false);
    body += JobsTable(server, ReportPrinterName, withScript);
    return page(names, withScript,
                QStringLiteral("<h2><u>Printer Report:</u> ") + names + QStringLiteral("</h2>"),
                body);
}

QString LiveReports::ServerReport(const QString& server, bool withScript) {
    QString body;
    for (const SpoolerPrinter& printer : printersOf(server)) {
        if (!printer.Shared)
            continue;
        body += PrinterTable(server, printer.Name, false);
        body += JobsTable(server, ReportPrinterName, withScript);
    }
    const QString name = ReportPage::escape(server);
    return page(name, withScript,
                QStringLiteral("<h2><u>Server Report:</u> ") + name + QStringLiteral("</h2>"),
                body);
}

QString LiveReports::FavouritesReport(const QStringList& recordLines) {
    QString body;
    for (const QString& line : recordLines) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = line.split(QStringLiteral(" | "));
        const QString server = field(fields, 0);
        const QString table = PrinterTable(server, field(fields, 1), true, fields);
        body += table;
        if (!table.isEmpty())
            body += JobsTable(server, ReportPrinterName, false);
    }
    return page(QString(), false, QStringLiteral("<h2><u>Favourites Report</u></h2>"), body);
}

QString LiveReports::PrinterTable(const QString& server, const QString& printer, bool favourite,
                                  const QStringList& fields) {
    if (printer.isEmpty())
        return QString();
    QString text;
    for (const SpoolerPrinter& p : printersOf(server)) {
        if (p.Name.compare(printer, Qt::CaseInsensitive) != 0 &&
            p.ShareName.compare(printer, Qt::CaseInsensitive) != 0)
            continue;
        text += QStringLiteral("<p>") +
                ReportPage::tableStart(QStringLiteral("Printer"), 10, QStringLiteral("#C0FFC0")) +
                ReportPage::headerRow({"Status", "Server", "Printer", "Description", "Shared",
                                       "Path", "Location", "Model", "AutoQueue", "AutoRelease"}) +
                QStringLiteral("<tr>");
        text += QStringLiteral("<td style=") + printerStatusStyle(p.ExtendedPrinterStatus) +
                QLatin1Char('>') +
                ReportPage::escape(ExtendedPrinterStatusText(p.ExtendedPrinterStatus)) +
                QStringLiteral("</td>");
        text += cell(server) + cell(printer) + cell(p.Comment);
        ReportPrinterName = p.Name;
        if (p.Shared)
            text += cell(QStringLiteral("True")) +
                    cell(QStringLiteral("\\\\") + server + QLatin1Char('\\') + p.ShareName);
        else
            text += cell(QStringLiteral("False")) + cell(p.PortName);
        text += cell(p.Location) + cell(p.Name);
        QString autoQueue, autoRelease;
        if (favourite) {
            autoQueue = field(fields, 2) == QLatin1String("AQ On") ? QStringLiteral("Enabled")
                                                                   : QStringLiteral("Disabled");
            if (field(fields, 3) == QLatin1String("AR On"))
                autoRelease =
                    field(fields, 4) + QStringLiteral(" at ") + field(fields, 5) +
                    (field(fields, 6) == QLatin1String("AA") ? QStringLiteral("*") : QString());
            else
                autoRelease = QStringLiteral("Disabled");
        } else if (p.ShareName == watched_.queue && server == watched_.server) {
            autoQueue = watched_.autoQueue ? QStringLiteral("Enabled") : QStringLiteral("Disabled");
            if (!watched_.autoRelease)
                autoRelease = QStringLiteral("Disabled");
            else
                autoRelease = (watched_.releasePrints ? QStringLiteral("Print at ")
                                                      : QStringLiteral("Delete at ")) +
                              watched_.releaseTime;
        }
        text += cell(autoQueue) + cell(autoRelease) + QStringLiteral("</tr></table>");
    }
    return text;
}

const QList<SpoolerPrinter>& LiveReports::printersOf(const QString& server) {
    auto found = printers_.find(server);
    if (found == printers_.end()) {
        PrintSpooler* spooler = spoolers_(server);
        found = printers_.insert(server, spooler ? spooler->printers() : QList<SpoolerPrinter>());
    }
    return *found;
}

const QList<SpoolerJob>& LiveReports::jobsOf(const QString& server) {
    auto found = jobs_.find(server);
    if (found == jobs_.end()) {
        PrintSpooler* spooler = spoolers_(server);
        found = jobs_.insert(server, spooler ? spooler->jobs() : QList<SpoolerJob>());
    }
    return *found;
}

QString LiveReports::computerName(const QString& host) {
    const auto found = computers_.constFind(host);
    if (found != computers_.constEnd())
        return *found;
    if (!computersToName_.contains(host))
        computersToName_ << host;
    return serverHost(host);
}

QStringList LiveReports::computersToName() const {
    return computersToName_;
}

void LiveReports::nameComputers(const QHash<QString, QString>& names) {
    for (auto name = names.constBegin(); name != names.constEnd(); ++name) {
        computers_.insert(name.key(), name.value().isEmpty() ? name.key() : name.value());
        computersToName_.removeAll(name.key());
    }
}

bool LiveReports::heldByAutoQueue(const QString& server, const SpoolerJob& job) const {
    // Under AutoQueue the watched queue's server holds every job that asks for no hold
    // of its own; the report has no other way of knowing whom a hold is for.
    return watched_.autoQueue && server == watched_.server &&
           printerOfJobName(job.Name) == watched_.queue && openEndedHold(job);
}

QString LiveReports::JobsTable(const QString& server, const QString& printerName, bool withLinks) {
    const QList<SpoolerJob>& jobs = jobsOf(server);
    if (jobs.isEmpty())
        return QStringLiteral("</p>");
    // The id is written with a blank either side, in the div and in the call alike.
    const QString id =
        QLatin1Char(' ') + QString::number(RandomBetween(1, 1000000000)) + QLatin1Char(' ');
    QString text;
    if (withLinks)
        text += QStringLiteral("<a href='#' name='") + ReportPage::escape(printerName) +
                QStringLiteral("' onclick='javascript:showhide(\"") + id +
                QStringLiteral("\");'>Show/Hide Jobs</a><div id='") + id +
                QStringLiteral("' style='display:none;'>");
    else
        text += QStringLiteral("<div id='") + id + QStringLiteral("'>");
    text +=
        ReportPage::tableStart(QStringLiteral("Jobs"), 11, QStringLiteral("#FFCC66")) +
        ReportPage::headerRow({"Status", "Computer", "User", "Document", "Pages", "Printed Pages",
                               "Priority", "Size", "Time Submitted", "ID", "Why Held"});
    // A paused printer (ExtendedPrinterStatus 8) keeps every job that is not held
    // waiting.
    bool printerStopped = false;
    for (const SpoolerPrinter& printer : printersOf(server))
        if (printer.Name == printerName)
            printerStopped = printer.ExtendedPrinterStatus == 8;
    for (const SpoolerJob& job : jobs) {
        // By the whole printer name: one named "Laser" is not "Laser,Annex".
        if (printerOfJobName(job.Name) != printerName)
            continue;
        const QStringList texts = jobTexts(job);
        text += QStringLiteral("<tr><td style=") + jobStatusStyle(job.StatusMask) +
                QLatin1Char('>') + ReportPage::escape(texts[SearchColumn::Status]) +
                QStringLiteral("</td>");
        text += cell(computerName(job.HostPrintQueue));
        for (const int column : {SearchColumn::User, SearchColumn::Description, SearchColumn::Pages,
                                 SearchColumn::Printed, SearchColumn::Priority, SearchColumn::Size,
                                 SearchColumn::Submitted, SearchColumn::ID})
            text += cell(texts[column]);
        text += cell(whyHeld(job, {heldByAutoQueue(server, job), printerStopped, watched_.today}));
        text += QStringLiteral("</tr>");
    }
    return text + QStringLiteral("</table></div></p>");
}
