#include "app/HelpAndNetworkEvents.h"

#include "form/FrmMain.h"
#include "form/frmSplash.h"
#include "session/ServerConnection.h"
#include "shell/FrmComputers.h"
#include "shell/LogExport.h"
#include "shell/PanelBrowser.h"
#include "shell/WebLinks.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>

void wireHelpAndNetwork(FrmMain& f) {
    const std::pair<const char*, void (*)(FrmMain&)> commands[] = {
        {"mnuAbout", mnuAbout_Click},
        {"Help", Help_Click},
        {"mnuNew", mnuNew_Click},
        {"mnuLogFullReportCSV", mnuExportLog_Click},
        {"mnuLogFullReportEmail", mnuLogFullReportEmail_Click}};
    for (const auto& [name, command] : commands)
        QObject::connect(f.menu(QString::fromLatin1(name)), &QAction::triggered, &f,
                         [&f, command = command] { command(f); });

    void (*const images[])(FrmMain&) = {Image2_Click, Image3_Click, Image4_Click, Image5_Click};
    for (std::size_t i = 0; i < f.networkButtons.size(); ++i)
        QObject::connect(f.networkButtons[i], &QToolButton::clicked, &f,
                         [&f, command = images[i]] { command(f); });

    QObject::connect(f.mnuUpdate, &QPushButton::clicked, &f, [&f] { mnuUpdate_Click(f); });
    f.lblWebsite->setText(
        QStringLiteral("<a href=\"site\">%1</a>").arg(QString::fromLatin1(kVendorWebAddress)));
    QObject::connect(f.lblWebsite, &QLabel::linkActivated, &f, [&f] { lblWebsite_Click(f); });
    QObject::connect(&PanelBrowser::of(f.WebVersion), &PanelBrowser::statusTextChange, &f,
                     [&f](const QString& text) { WebVersion_StatusTextChange(f, text); });

    QObject::connect(f.FindComputers, &QPushButton::clicked, &f,
                     [&f] { FindComputers_Click(f, [&f] { FindPrintQueues_Click(f); }); });
}
