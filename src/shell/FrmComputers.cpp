#include "shell/FrmComputers.h"

#include "form/FrmMain.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Prompter.h"
#include "shell/CNetworkEnum.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QThreadPool>
#include <QTreeWidget>
#include <QVBoxLayout>

FrmComputers::FrmComputers(FrmMain& form, std::function<void()> findPrintQueues,
                           std::shared_ptr<ServiceBrowser> browser)
    : QDialog(&form), form_(form), findPrintQueues_(std::move(findPrintQueues)),
      browser_(std::move(browser)), findButton_(form.FindComputers) {
    setObjectName(QStringLiteral("FrmComputers"));
    setWindowTitle(QStringLiteral("Search for Print Servers"));
    setAttribute(Qt::WA_DeleteOnClose);
    lstComputers = new QTreeWidget(this);
    lstComputers->setObjectName(QStringLiteral("lstComputers"));
    lstComputers->setHeaderLabels({QStringLiteral("Print Server")});
    lstComputers->setRootIsDecorated(false);
    lstComputers->header()->setStretchLastSection(true);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->hide();
    cmdRefresh = new QPushButton(QStringLiteral("Refresh"), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdSelect = new QPushButton(QStringLiteral("Select"), this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    cmdSelect->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRefresh);
    buttons->addStretch();
    buttons->addWidget(cmdSelect);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstComputers, 1);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
    resize(360, 320);

    connect(cmdRefresh, &QPushButton::clicked, this, &FrmComputers::SearchServers);
    connect(cmdSelect, &QPushButton::clicked, this, &FrmComputers::cmdSelect_Click);
    connect(lstComputers, &QTreeWidget::itemDoubleClicked, this, &FrmComputers::cmdSelect_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::close);
    SearchServers();
}

FrmComputers::~FrmComputers() {
    // A dialog closed before its walk ended gives the button back; the main
    // window may be going too, with its button already gone.
    if (searching_ && findButton_)
        findButton_->show();
}

void FrmComputers::SearchServers() {
    if (searching_)
        return;
    searching_ = true;
    cmdRefresh->setEnabled(false);
    findButton_->hide();
    // Only the dialog waits: the main window goes on working meanwhile.
    setCursor(Qt::BusyCursor);
    lblStatus->setText(QStringLiteral("Searching the network..."));
    lblStatus->show();

    // The walk waits on the network for up to its time-out: it runs off the
    // window's thread, and its answer comes back to the dialog if it is still open.
    if (!browser_)
        browser_ = std::make_shared<AvahiServiceBrowser>();
    const std::shared_ptr<ServiceBrowser> browser = browser_;
    const QPointer<FrmComputers> dialog(this);
    QThreadPool::globalInstance()->start([browser, dialog] {
        const DiscoveryResult found = CNetworkEnum::walk(*browser);
        QMetaObject::invokeMethod(
            qApp,
            [dialog, found] {
                if (dialog)
                    dialog->showFound(found);
            },
            Qt::QueuedConnection);
    });
}

void FrmComputers::showFound(const DiscoveryResult& found) {
    CNetworkEnum network(*form_.services().environment, browser_);
    network.setResourceType(0);
    network.load(found);
    // The names are added below those of earlier searches, never in their place.
    QString servers = network.GetServerList();
    servers.remove(QStringLiteral("\\\\"));
    const QStringList names = servers.split(QLatin1Char(','));
    for (int i = 0; i + 1 < names.size(); ++i)
        lstComputers->addTopLevelItem(new QTreeWidgetItem({names[i]}));
    lblStatus->setVisible(!network.discoveryAvailable());
    lblStatus->setText(QStringLiteral("Network discovery is not available on this computer: "
                                      "the Avahi service (avahi-daemon) does not run."));
    endSearch();
}

void FrmComputers::endSearch() {
    searching_ = false;
    cmdRefresh->setEnabled(true);
    if (findButton_)
        findButton_->show();
    unsetCursor();
}

void FrmComputers::cmdSelect_Click() {
    const QTreeWidgetItem* chosen = lstComputers->currentItem();
    if (!chosen || !chosen->isSelected())
        return; // nothing chosen: the dialog stays for the operator to choose
    form_.CurrentPrinter->setEditText(chosen->text(0));
    if (findPrintQueues_)
        findPrintQueues_();
    close();
}

FrmComputers* FindComputers_Click(FrmMain& f, std::function<void()> findPrintQueues,
                                  std::shared_ptr<ServiceBrowser> browser) {
    const Prompter::Answer answer = f.services().prompter->message(
        QStringLiteral("Spoolwright"),
        QStringLiteral("Press OK to begin searching your network for machines.\n"
                       "This may take a few minutes."),
        Prompter::Icon::None, Prompter::Buttons::OkCancel);
    if (answer == Prompter::Answer::Cancel)
        return nullptr;
    f.setPanelText(1, QStringLiteral("Search for Print Servers ") +
                          DateText::timeOfDay(f.services().clock->now()));
    auto* dialog = new FrmComputers(f, std::move(findPrintQueues), std::move(browser));
    dialog->show();
    return dialog;
}
