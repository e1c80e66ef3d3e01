#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

class FrmMain;
class QLabel;
class QPushButton;
class QTreeWidget;
class ServiceBrowser;
struct DiscoveryResult;

// "Search for Print Servers": the print servers found on the network, one a line.
// Choosing one puts it into the main window's server box and lists its queues.
class FrmComputers : public QDialog {
    Q_OBJECT
public:
    // findPrintQueues runs the main window's queue search for the server box.
    // browser: the discovery service to ask; this computer's when none is given.
    FrmComputers(FrmMain& form, std::function<void()> findPrintQueues,
                 std::shared_ptr<ServiceBrowser> browser = nullptr);

    ~FrmComputers() override;

    // Starts a walk of the network; every server it finds is appended to the list
    // when it ends. Refresh waits while a walk runs.
    void SearchServers();
    bool searching() const { return searching_; }
    void cmdSelect_Click();

    QTreeWidget* lstComputers = nullptr;
    QLabel* lblStatus = nullptr; // says when the network cannot be searched
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdSelect = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void showFound(const DiscoveryResult& found);
    void endSearch();

    FrmMain& form_;
    std::function<void()> findPrintQueues_;
    std::shared_ptr<ServiceBrowser> browser_;
    QPointer<QWidget> findButton_; // the main window's button that opened the search
    bool searching_ = false;
};

// The Search panel's "find servers" button: asks first, then opens the search
// dialog, which shows its first walk's servers when the walk ends. The dialog, or null when
// the operator cancelled.
FrmComputers* FindComputers_Click(FrmMain& form, std::function<void()> findPrintQueues,
                                  std::shared_ptr<ServiceBrowser> browser = nullptr);
