#include "shell/CNetworkEnum.h"
#include "shell/FrmComputers.h"
#include "support/AvahiDaemon.h"
#include "support/MainWindowHarness.h"
#include "support/ScopedVariable.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSemaphore>
#include <QThreadPool>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// A discovery service that answers only when the test lets it.
class GatedBrowser : public ServiceBrowser {
public:
    DiscoveryResult browse(const QStringList&, int) override {
        gate.tryAcquire(1, 10000);
        DiscoveryResult found;
        found.available = true;
        found.services = {{"Laser", "_ipp._tcp", "local", "slowhost.local.", 631}};
        return found;
    }
    QSemaphore gate;
};

bool searchEnds(const FrmComputers& dialog) {
    return QTest::qWaitFor([&] { return !dialog.searching(); }, 10000);
}

QStringList listed(const FrmComputers& dialog) {
    QStringList names;
    for (int i = 0; i < dialog.lstComputers->topLevelItemCount(); ++i)
        names << dialog.lstComputers->topLevelItem(i)->text(0);
    return names;
}

} // namespace

TEST(FindComputers, ListsEachAnnouncedPrintServerOnceAndSelectsOne) {
    AvahiDaemon avahi;
    ASSERT_TRUE(avahi.running()) << avahi.failure().toStdString();
    // One host announcing a printer over IPP and over IPP with TLS, another on its own port.
    ASSERT_TRUE(avahi.publish("Laser A", "_ipp._tcp", 631, "printhost-a.local"));
    ASSERT_TRUE(avahi.publish("Laser A", "_ipps._tcp", 631, "printhost-a.local"));
    ASSERT_TRUE(avahi.publish("Office Q", "_ipp._tcp", 8631, "printhost-b.local"));

    MainWindowHarness harness;
    FrmMain& w = harness.show();
    const Environment environment;
    CNetworkEnum network(environment);
    network.setResourceType(0);
    network.Reset();
    EXPECT_TRUE(network.discoveryAvailable());
    EXPECT_EQ(network.GetServerList().count("\\\\printhost-a.local,"), 1);
    EXPECT_EQ(network.GetServerList().count("\\\\printhost-b.local:8631,"), 1);
    EXPECT_TRUE(network.GetDomainList().startsWith("local, "));
    EXPECT_EQ(network.GetPrinterList().count("Laser A|"), 1);
    EXPECT_EQ(network.getLocalUserName(), "tester");

    int searches = 0;
    FrmComputers* dialog = FindComputers_Click(w, [&] { ++searches; });
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(searchEnds(*dialog));
    EXPECT_EQ(harness.prompter.asked.value(0).text,
              "Press OK to begin searching your network for machines.\nThis may take a few "
              "minutes.");
    EXPECT_TRUE(w.panelText(1).startsWith("Search for Print Servers "));
    EXPECT_EQ(dialog->windowTitle(), "Search for Print Servers");
    EXPECT_FALSE(dialog->lblStatus->isVisible());
    EXPECT_TRUE(w.FindComputers->isVisible());
    QStringList names = listed(*dialog);
    EXPECT_EQ(names.count("printhost-a.local"), 1) << names.join(' ').toStdString();
    EXPECT_EQ(names.count("printhost-b.local:8631"), 1) << names.join(' ').toStdString();

    // Refresh adds what it finds below the earlier names.
    dialog->cmdRefresh->click();
    ASSERT_TRUE(searchEnds(*dialog));
    names = listed(*dialog);
    EXPECT_EQ(names.count("printhost-a.local"), 2);

    dialog->cmdSelect->click(); // nothing chosen: nothing happens
    EXPECT_EQ(searches, 0);
    QPointer<FrmComputers> open(dialog);
    dialog->lstComputers->setCurrentItem(
        dialog->lstComputers->findItems("printhost-b.local:8631", Qt::MatchExactly).value(0));
    dialog->cmdSelect->click();
    EXPECT_EQ(w.CurrentPrinter->currentText(), "printhost-b.local:8631");
    EXPECT_EQ(searches, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return open.isNull(); }, 5000));
}

TEST(FindComputers, WithoutDiscoveryTheDialogSaysSoAndCancelOpensNothing) {
    ScopedVariable noBus("DBUS_SYSTEM_BUS_ADDRESS", QByteArray("unix:path=/nonexistent/bus"));
    MainWindowHarness harness;
    FrmMain& w = harness.show();
    w.setPanelText(1, "before");
    harness.prompter.answers = {Prompter::Answer::Cancel};
    EXPECT_EQ(FindComputers_Click(w, {}), nullptr);
    EXPECT_EQ(w.panelText(1), "before");

    FrmComputers* dialog = FindComputers_Click(w, {});
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(searchEnds(*dialog));
    EXPECT_EQ(dialog->lstComputers->topLevelItemCount(), 0);
    EXPECT_TRUE(dialog->lblStatus->isVisible());
    EXPECT_TRUE(dialog->lblStatus->text().startsWith("Network discovery is not available"));
    dialog->cmdCancel->click();
    EXPECT_EQ(w.CurrentPrinter->currentText(), "testhost");
}

TEST(FindComputers, TheWindowGoesOnWhileTheNetworkIsSlowToAnswer) {
    MainWindowHarness harness;
    FrmMain& w = harness.show();
    const auto browser = std::make_shared<GatedBrowser>();
    FrmComputers* dialog = FindComputers_Click(w, {}, browser);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->searching());
    EXPECT_EQ(dialog->lblStatus->text(), "Searching the network...");
    EXPECT_FALSE(w.FindComputers->isVisible());
    EXPECT_FALSE(dialog->cmdRefresh->isEnabled());
    browser->gate.release();
    ASSERT_TRUE(searchEnds(*dialog));
    EXPECT_EQ(listed(*dialog), QStringList({"slowhost.local"}));
    EXPECT_FALSE(dialog->lblStatus->isVisible());
    EXPECT_TRUE(w.FindComputers->isVisible());

    // Closed before the answer came: the answer goes nowhere, the button comes back.
    dialog->cmdRefresh->click();
    QPointer<FrmComputers> open(dialog);
    dialog->cmdCancel->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.isNull(); }, 5000));
    EXPECT_TRUE(w.FindComputers->isVisible());
    browser->gate.release();
    EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(10000));
    QCoreApplication::processEvents();
}
