#include "shell/NetworkPanel.h"

#include "form/FrmMain.h"
#include "platform/GuardedSpooler.h"
#include "shell/PanelBrowser.h"

#include <QTextBrowser>
#include <QUrl>

namespace {

// The page of a "\\server" location: the printers the server shares, each with the
// address a client prints to.
QString shareListing(FrmMain& f, const QString& server) {
    const QString name = server.toHtmlEscaped();
    PrintSpooler* spooler = f.spoolerFor(server);
    const QList<SpoolerPrinter> printers = spooler ? spooler->printers() : QList<SpoolerPrinter>();
    if (!spooler || spooler->lastResult() != SpoolerResult::Success)
        return QStringLiteral("<p><b>\\\\%1</b></p><p>The print server cannot be reached.</p>")
            .arg(name);
    QString rows;
    for (const SpoolerPrinter& printer : printers) {
        if (!printer.Shared)
            continue;
        QUrl address(spooler->printerWebPage(printer.Name));
        address.setScheme(QStringLiteral("ipp"));
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td>%3</td></tr>"
                               "<tr><td colspan=3><small>%4</small></td></tr>")
                    .arg(printer.Name.toHtmlEscaped(), printer.Comment.toHtmlEscaped(),
                         printer.Location.toHtmlEscaped(), address.toString().toHtmlEscaped());
    }
    if (rows.isEmpty())
        return QStringLiteral("<p><b>\\\\%1</b></p><p>This server shares no printers.</p>")
            .arg(name);
    return QStringLiteral("<p><b>\\\\%1</b> shares these printers:</p>"
                          "<table cellspacing=2>%2</table>")
        .arg(name, rows);
}

} // namespace

void navigateWebServer(FrmMain& f, const QString& location) {
    PanelBrowser& browser = PanelBrowser::of(f.WebServer);
    if (!browser.shareListing)
        browser.shareListing = [&f](const QString& server) { return shareListing(f, server); };
    browser.navigate(location);
}
