#include "shell/CommandLine.h"

#include "form/FrmMain.h"
#include "platform/Desktop.h"
#include "platform/Environment.h"
#include "shell/MenuStyle.h"
#include "shell/Reports.h"

#include <QComboBox>
#include <QDir>
#include <QUrl>

namespace {

// A report switch, the line it adds to the splash window and the report it writes,
// calling `done` once written.
struct ReportSwitch {
    const char* argument;
    const char* splashText;
    void (*write)(FrmMain&, ReportDone done);
};

const ReportSwitch kReportSwitches[] = {
    {"rpt:Printer", " Generating Printer Report.",
     [](FrmMain& f, ReportDone done) {
         PrinterReport(f, f.CurrentPrinter->currentText(), f.CurrentPrintQueue->currentText(), true,
                       false, std::move(done));
     }},
    {"rpt:Server", " Generating Server Report.",
     [](FrmMain& f, ReportDone done) {
         ServerReport(f, f.CurrentPrinter->currentText(), true, false, std::move(done));
     }},
    {"rpt:Fav", " Generating Favourites Report.",
     [](FrmMain& f, ReportDone done) { FavouritesReport(f, true, std::move(done)); }},
};

const std::pair<const char*, const char*> kMenuSwitches[] = {
    {"menu:Full", "Full Menu"}, {"menu:Classic", "Classic Menu"}, {"menu:Simple", "Simple Menu"},
    {"menu:Help", "Help Menu"}, {"menu:No", "No Menu"},
};

// Acts on one argument; false when it ended the program.
bool act(FrmMain& f, const QString& argument) {
    for (const ReportSwitch& report : kReportSwitches) {
        if (argument != QLatin1String(report.argument))
            continue;
        f.appendSplashStatus(QString::fromLatin1(report.splashText));
        // Then the normal shutdown, which ends the program.
        report.write(f, [&f](bool) { f.close(); });
        return false;
    }
    for (const auto& [name, style] : kMenuSwitches) {
        if (argument == QLatin1String(name)) {
            SwSimpleView(f, QString::fromLatin1(style));
            return true;
        }
    }
    if (argument == QLatin1String("?")) {
        const QString folder = f.services().environment->programFolder();
        f.services().desktop->openUrl(
            QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("SWR.html"))));
        f.close();
        return false;
    }
    if (!argument.isEmpty())
        f.Settings.Server = argument;
    return true;
}

} // namespace

QStringList splitCommandLine(const QString& commandLine, int maxArgs) {
    QStringList arguments;
    bool inside = false;
    for (const QChar c : commandLine) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\t')) {
            inside = false;
            continue;
        }
        if (!inside) {
            if (arguments.size() >= maxArgs)
                break;
            arguments.append(QString());
            inside = true;
        }
        arguments.last() += c;
    }
    return arguments;
}

bool isReportSwitch(const QString& argument) {
    for (const ReportSwitch& report : kReportSwitches)
        if (argument == QLatin1String(report.argument))
            return true;
    return false;
}

QStringList GetCommandLine(FrmMain& f, int MaxArgs) {
    const QStringList arguments =
        splitCommandLine(f.services().arguments.join(QLatin1Char(' ')), MaxArgs);
    for (const QString& argument : arguments)
        if (!act(f, argument))
            break;
    return arguments;
}

QString commandLineHelp() {
    return QStringLiteral(
        "Usage: spoolwright [/switch]... [/server]\n"
        "\n"
        "Watches the print queues of a CUPS server, holds their jobs until released, and\n"
        "logs and reports what was printed.\n"
        "\n"
        "  /rpt:Printer    write the report of the current queue, then exit\n"
        "  /rpt:Server     write the report of the current server's shared printers, then exit\n"
        "  /rpt:Fav        write the report of the favourite queues, then exit\n"
        "  /menu:Full      start with the full menu (also Classic, Simple, Help, No)\n"
        "  /?              open the help page, then exit\n"
        "  /NAME           any other text: the server the server search uses when the\n"
        "                  server box is empty\n"
        "  --import-log FILE\n"
        "                  merge the local log FILE (a swr.db) into the shared log that\n"
        "                  the settings' log path names, say how many rows it added and\n"
        "                  skipped, then exit\n"
        "  --help          show this text\n"
        "  --version       show the version\n"
        "\n"
        "Switches follow each other without blanks: spoolwright /menu:Simple/rpt:Fav\n"
        "Reports are written to the report folder of the settings (the temporary folder\n"
        "unless set) and are not opened; without a display they run off screen.\n");
}
