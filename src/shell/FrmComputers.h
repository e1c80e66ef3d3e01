#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class FrmMain;
class QLabel;
class QPushButton;
class QTreeWidget;
class ServiceBrowser;

// "Search for Print Servers": the print servers found on the network, one a line.
// Choosing one puts it into the main window's server box and lists its queues.
class FrmComputers : public QDialog {
    Q_OBJECT
public:
    // findPrintQueues runs the main window's queue search for the server box.
    // browser: the discovery service to ask; this computer's when none is given.
    FrmComputers(FrmMain& form, std::function<void()> findPrintQueues,
                 std::shared_ptr<ServiceBrowser> browser = nullptr);

    // Walks the network and appends every server found to the list.
    void SearchServers();
    void cmdSelect_Click();

    QTreeWidget* lstComputers = nullptr;
    QLabel* lblStatus = nullptr; // says when the network cannot be searched
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdSelect = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    FrmMain& form_;
    std::function<void()> findPrintQueues_;
    std::shared_ptr<ServiceBrowser> browser_;
};

// The Search panel's "find servers" button: asks first, then opens the search
// dialog, which is shown once its first walk has finished. The dialog, or null when
// the operator cancelled.
FrmComputers* FindComputers_Click(FrmMain& form, std::function<void()> findPrintQueues,
                                  std::shared_ptr<ServiceBrowser> browser = nullptr);
