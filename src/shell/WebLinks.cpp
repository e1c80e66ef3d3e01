#include "shell/WebLinks.h"

#include "form/FrmMain.h"
#include "form/PanelFrame.h"
#include "form/frmSplash.h"
#include "platform/Desktop.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"
#include "shell/IniFile.h"
#include "shell/NetworkPanel.h"
#include "shell/PanelBrowser.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

QString versionText() {
    return QStringLiteral(SPOOLWRIGHT_VERSION);
}

QString vendorServer(const FrmMain& f) {
    if (!f.services().vendorServer.isEmpty())
        return f.services().vendorServer;
    const QString configured =
        ReadSetting(*f.services().environment, QStringLiteral("Updates"), QStringLiteral("Server"));
    return configured.isEmpty() ? QString::fromLatin1(kVendorWebAddress) : configured;
}

QString vendorAddress(const FrmMain& f, const QString& pathAndQuery) {
    QString server = vendorServer(f);
    while (server.endsWith(QLatin1Char('/')))
        server.chop(1);
    if (!server.contains(QLatin1String("://")))
        server.prepend(QStringLiteral("http://"));
    return server + pathAndQuery;
}

void mnuAbout_Click(FrmMain& f) {
    if (!f.splash)
        f.splash = new frmSplash(10000, &f);
    f.splash->Timer1->stop();
    f.splash->show();
    f.splash->raise();
    f.splash->Timer1->setInterval(10000);
    f.splash->Timer1->start();
}

void Help_Click(FrmMain& f) {
    const QString page =
        QDir(f.services().environment->programFolder()).filePath(QStringLiteral("SWR.html"));
    f.services().desktop->openUrl(QUrl::fromLocalFile(page));
}

void mnuNew_Click(FrmMain& f) {
    // A second copy keeps its own window and its own job monitor.
    f.services().startNewCopy();
}

void lblWebsite_Click(FrmMain& f) {
    if (!f.services().desktop->openUrl(QUrl(vendorAddress(f, QStringLiteral("/")))))
        f.services().prompter->message(QStringLiteral("Spoolwright"),
                                       QStringLiteral("Error launching website - ") +
                                           vendorServer(f),
                                       Prompter::Icon::Exclamation);
}

void mnuUpdate_Click(FrmMain& f) {
    const QString address =
        vendorAddress(f, QStringLiteral("/cgi-bin/update.cgi?soft=SWR&vers=") + versionText());
    const Prompter::Answer answer = f.services().prompter->message(
        QStringLiteral("Update Spoolwright"),
        QStringLiteral("SWR will now close so you can download the latest version.\n"
                       "Your settings will be saved."),
        Prompter::Icon::None, Prompter::Buttons::OkCancel);
    if (answer != Prompter::Answer::Ok)
        return;
    if (!f.services().desktop->openUrl(QUrl(address))) {
        // Nothing to download from: the program stays open.
        f.services().prompter->message(QStringLiteral("Spoolwright"),
                                       QStringLiteral("Error launching web update."),
                                       Prompter::Icon::Exclamation);
        return;
    }
    f.close(); // shutdown saves the settings
}

void WebVersion_StatusTextChange(FrmMain& f, const QString& text) {
    if (text == PanelBrowser::kSiteNotFound)
        f.frmOnline->hide();
    else if (text == PanelBrowser::kSiteFound)
        f.frmOnline->setVisible(f.menu(QStringLiteral("mnuOnline"))->isChecked());
}

void applyUpdateCheckStatus(FrmMain& f) {
    const QString status = PanelBrowser::of(f.WebVersion).statusText();
    if (!status.isEmpty())
        WebVersion_StatusTextChange(f, status);
}

void Image2_Click(FrmMain& f) {
    navigateWebServer(f, QStringLiteral("\\\\") + f.CurrentPrinter->currentText());
}

void Image3_Click(FrmMain& f) {
    navigateWebServer(f, QStringLiteral("\\\\") + f.services().environment->computerName());
}

void Image4_Click(FrmMain& f) {
    PanelBrowser& browser = PanelBrowser::of(f.WebServer);
    const QString here = browser.locationURL();
    // The top of either share list is where going back stops.
    for (const QString& top :
         {f.services().environment->computerName(), f.CurrentPrinter->currentText()})
        if (here.compare(QStringLiteral("file://") + top + QLatin1Char('/'), Qt::CaseInsensitive) ==
            0)
            return;
    browser.goBack();
}

void Image5_Click(FrmMain& f) {
    PanelBrowser::of(f.WebServer).goForward();
}
