#include "session/QueueSelection.h"
#include "session/QueueSession.h"
#include "support/Files.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using Asked = RecordingPrompter::Asked;
using Icon = Prompter::Icon;
using Buttons = Prompter::Buttons;

// As swr.ini gives them back: without surrounding blanks.
const QString kLaser = "testhost | Laser | AQ On | AR On | Print | 5:00 PM | AA";
const QString kColour = "testhost | Colour | AQ Off | AR Off";
const QString kLaser2 = "testhost | Laser2 | AQ On | AR On | Delete | 5:00 PM";

// A window on testhost's Laser queue with these favourites in swr.ini ("0=...\r\n").
FrmMain& showWithFavourites(MainWindowHarness& harness, const QString& favourites) {
    for (const char* queue : {"Laser", "Laser2", "Colour", "Floor 2, east"})
        harness.fake("testhost").addQueue({queue, "", "", "", "", 0});
    return harness.show(
        ("Server=testhost\r\nQueue=Laser\r\n[Favourites]\r\n" + favourites).toUtf8());
}

// The slots' record lines, "" for a free slot, and whether entry and button show.
QStringList slotLines(const FrmMain& w) {
    QStringList lines;
    for (int slot = 0; slot < 20; ++slot) {
        const QAction* entry = w.menu(QStringLiteral("mnuFav%1").arg(slot));
        const QPushButton* button = w.favbutton[static_cast<std::size_t>(slot)];
        EXPECT_EQ(entry->isVisible(), button->isVisibleTo(&w)) << slot;
        EXPECT_EQ(entry->data().toString(), button->toolTip()) << slot;
        lines << (entry->isVisible() ? entry->data().toString() : QString());
    }
    return lines;
}

QStringList withFreeSlots(QStringList lines) {
    while (lines.size() < 20)
        lines << QString();
    return lines;
}

bool favouriteCommandsShown(const FrmMain& w) {
    bool shown = w.menu("mnuDelFav")->isVisible();
    for (const char* name : {"mnuFavSep1", "mnuFavSep2", "mnuExportFav"})
        EXPECT_EQ(w.menu(name)->isVisible(), shown) << name;
    return shown;
}

} // namespace

TEST(Favourites, AddTakesTheFirstFreeSlotRefusesClashesAndCommasAndSurvivesSwrIni) {
    MainWindowHarness harness;
    FrmMain& w = showWithFavourites(harness, "2=testhost | Colour | AQ On | AR On | Print | "
                                             "5:00 PM | AA \r\n");
    ASSERT_EQ(w.CurrentPrintQueue->currentText(), "Laser");
    w.chkAutoQueue->setChecked(true);
    w.chkTimed->setChecked(true);
    w.optTimed[0]->setChecked(true);
    w.txtTimed->setText("5:00 PM");
    w.chkAA->setChecked(true);

    // The scheduled favourite in slot 2 lies past the free slot 0: no clash yet.
    w.imgFavourite->click();
    EXPECT_EQ(harness.prompter.asked,
              QList<Asked>({{"Spoolwright", "Add Current Print Queue To Favourites?",
                             Icon::Question, Buttons::YesNo}}));
    EXPECT_EQ(slotLines(w)[0], kLaser + " ");
    EXPECT_TRUE(w.menu("mnuFav0")->isChecked());
    EXPECT_EQ(w.menu("mnuFav0")->text(), kLaser + " ");
    // Now slot 0 holds one for 5:00 PM.
    w.imgFavourite->click();
    EXPECT_EQ(
        harness.prompter.asked.last(),
        (Asked{"Spoolwright", "Another queue is already scheduled for activation at this time!",
               Icon::Exclamation, Buttons::Ok}));
    EXPECT_TRUE(slotLines(w)[1].isEmpty());

    // Without AutoRelease the line has four fields and nothing is scheduled.
    w.chkTimed->setChecked(false);
    w.menu("mnuAddFav")->trigger();
    EXPECT_EQ(slotLines(w)[1], "testhost | Laser | AQ On | AR Off");
    EXPECT_FALSE(w.menu("mnuFav1")->isChecked());

    // A name with a comma would not come back from the favourites file.
    w.CurrentPrintQueue->setCurrentIndex(w.CurrentPrintQueue->findText("Floor 2, east"));
    const int asked = harness.prompter.asked.size();
    w.menu("mnuAddFav")->trigger();
    ASSERT_EQ(harness.prompter.asked.size(), asked + 1);
    EXPECT_TRUE(harness.prompter.asked.last().text.startsWith("\"Floor 2, east\" cannot be kept"));
    EXPECT_EQ(slotLines(w)[3], "");

    // swr.ini gives values back without their surrounding blanks.
    QStringList before = slotLines(w);
    for (QString& line : before)
        line = line.trimmed();
    w.close();
    MainWindowHarness again;
    again.writeAppDataFile("swr.ini", harness.readAppDataFile("swr.ini"));
    FrmMain& w2 = again.show();
    EXPECT_EQ(slotLines(w2), before);
    EXPECT_TRUE(w2.menu("mnuFav0")->isChecked());
    EXPECT_FALSE(w2.menu("mnuFav1")->isChecked());
    EXPECT_TRUE(w2.menu("mnuFav2")->isChecked());
}

TEST(Favourites, ExportedSlotsComeBackInOrderAndUnreadableLinesAreNamed) {
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath("favourites.csv");
    MainWindowHarness harness;
    FrmMain& w = showWithFavourites(harness, "0=" + kLaser + "\r\n4=" + kColour +
                                                 "\r\n7=" + kLaser2 + "\r\n");
    harness.desktop.chosen = {file};
    w.menu("mnuExportFav")->trigger();
    ASSERT_EQ(harness.desktop.choosers.size(), 1);
    EXPECT_EQ(harness.desktop.choosers[0].kind, "save");
    EXPECT_EQ(harness.desktop.choosers[0].filter, "CSV Files (*.csv);;All Files (*.*)");
    EXPECT_EQ(readFile(file), (kLaser + "," + kColour + "," + kLaser2 + ",\r\n").toUtf8());

    harness.desktop.chosen = {file};
    w.menu("mnuImportFav")->trigger();
    EXPECT_EQ(harness.desktop.choosers.last().kind, "open");
    EXPECT_EQ(harness.desktop.choosers.last().filter, "CSV Files (*.csv);;All Files (*.*)");
    EXPECT_EQ(slotLines(w), withFreeSlots({kLaser, kColour, kLaser2}));
    EXPECT_TRUE(w.menu("mnuFav0")->isChecked());
    EXPECT_FALSE(w.menu("mnuFav2")->isChecked());
    EXPECT_TRUE(harness.prompter.asked.isEmpty());

    // Lines that are no record line, and lines past the last slot, are named once.
    QByteArray line = (kColour + ",Lab printer; third floor," + kLaser2 + ",").toUtf8();
    for (int i = 0; i < 18; ++i)
        line += QByteArrayLiteral("srv | Q") + QByteArray::number(i) + " | AQ Off | AR Off,";
    ASSERT_TRUE(writeFile(file, line + "\r\n"));
    harness.desktop.chosen = {file};
    w.menu("mnuImportFav")->trigger();
    EXPECT_EQ(slotLines(w).mid(0, 3), QStringList({kColour, "", kLaser2}));
    EXPECT_EQ(slotLines(w)[19], "srv | Q16 | AQ Off | AR Off");
    EXPECT_EQ(harness.prompter.asked,
              QList<Asked>({{"Spoolwright",
                             "Not every favourite of favourites.csv was imported.\r\n\r\n"
                             "These are no favourites and were skipped:\r\n"
                             "Lab printer; third floor\r\n\r\n"
                             "These found no free place among the 20 favourites:\r\n"
                             "srv | Q17 | AQ Off | AR Off",
                             Icon::Exclamation, Buttons::Ok}}));
}

TEST(Favourites, AFileWithoutFavouritesChangesNothingAndControlCharactersNeverGetIn) {
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath("favourites.csv");
    MainWindowHarness harness;
    FrmMain& w = showWithFavourites(harness, "0=" + kLaser + "\r\n4=" + kColour + "\r\n");
    const QStringList before = slotLines(w);
    auto import = [&](const QByteArray& content) {
        harness.prompter.asked.clear();
        ASSERT_TRUE(writeFile(file, content));
        harness.desktop.chosen = {file};
        w.menu("mnuImportFav")->trigger();
    };
    const QString nothing = "favourites.csv holds no favourites to import. Your favourites were "
                            "left as they were.";

    import("");
    EXPECT_EQ(slotLines(w), before);
    EXPECT_EQ(harness.prompter.asked,
              QList<Asked>({{"Spoolwright", nothing, Icon::Exclamation, Buttons::Ok}}));

    // 200,000 pieces of garbage: the first few are named, the rest counted.
    QByteArray garbage = QByteArray("testhost\0 | Laser | AQ Off | AR Off,", 36) +
                         "testhost | Laser\x01 | AQ Off | AR Off,";
    for (int i = 2; i < 200000; ++i)
        garbage += "junk" + QByteArray::number(i) + ',';
    import(garbage + "\r\n");
    EXPECT_EQ(slotLines(w), before);
    EXPECT_TRUE(favouriteCommandsShown(w));
    const QString replaced = QChar(QChar::ReplacementCharacter);
    EXPECT_EQ(
        harness.prompter.asked,
        QList<Asked>({{"Spoolwright",
                       nothing +
                           "\r\n\r\nThese are no favourites and were skipped:\r\n"
                           "testhost" +
                           replaced + " | Laser | AQ Off | AR Off\r\ntesthost | Laser" + replaced +
                           " | AQ Off | AR Off\r\njunk2\r\njunk3\r\njunk4\r\n(and 199995 more)",
                       Icon::Exclamation, Buttons::Ok}}));

    // Among favourites, a piece with a control character is skipped, and neither the
    // slots nor swr.ini ever hold one.
    import(QByteArray("testhost\0 | Laser | AQ Off | AR Off,", 36) + kColour.toUtf8() +
           ",testhost | Laser2\x1b[2J | AQ On | AR Off,\x7f,\r\n");
    EXPECT_EQ(slotLines(w), withFreeSlots({"", kColour}));
    EXPECT_EQ(harness.prompter.asked.size(), 1);
    w.close();
    const QByteArray ini = harness.readAppDataFile("swr.ini");
    EXPECT_TRUE(ini.contains(("1=" + kColour).toUtf8()));
    for (const char c : ini)
        EXPECT_TRUE(c == '\r' || c == '\n' || (uchar(c) >= 0x20 && c != 0x7f)) << int(c);
}

TEST(Favourites, DeleteModeAsksFirstAndEndsWithTheLastFavourite) {
    MainWindowHarness harness;
    FrmMain& w = showWithFavourites(harness, "0=" + kColour + "\r\n3=" + kLaser + "\r\n");
    EXPECT_TRUE(favouriteCommandsShown(w));
    // Nothing is done while Resume All releases the queue's jobs.
    QueueSession::of(w).beginResumeAll();
    w.favbutton[3]->click();
    EXPECT_EQ(harness.prompter.asked,
              QList<Asked>({{"Laser Resume All",
                             "Laser is currently resuming print jobs. Please wait until all jobs "
                             "are printed!",
                             Icon::Exclamation, Buttons::Ok}}));
    EXPECT_EQ(w.CurrentPrintQueue->currentText(), "Laser");
    QueueSession::of(w).endResumeAll();
    harness.prompter.asked.clear();

    w.menu("mnuDelFav")->trigger();
    EXPECT_TRUE(w.menu("mnuDelFav")->isChecked());

    harness.prompter.answers = {Prompter::Answer::No};
    w.menu("mnuFav3")->trigger();
    EXPECT_EQ(harness.prompter.asked, QList<Asked>({{"Warning",
                                                     "Are you sure you want to delete \r\n" +
                                                         kLaser + "\r\n from your Favourites?",
                                                     Icon::Exclamation, Buttons::YesNo}}));
    EXPECT_EQ(slotLines(w), withFreeSlots({kColour, "", "", kLaser}));
    EXPECT_TRUE(w.menu("mnuFav3")->isChecked());

    w.favbutton[3]->click(); // the button acts as its entry: deletes, after a Yes
    EXPECT_EQ(slotLines(w), withFreeSlots({kColour}));
    EXPECT_TRUE(w.menu("mnuDelFav")->isChecked());
    EXPECT_EQ(w.CurrentPrintQueue->currentText(), "Laser"); // nothing was activated

    w.menu("mnuFav0")->trigger();
    EXPECT_EQ(slotLines(w), withFreeSlots({}));
    EXPECT_FALSE(favouriteCommandsShown(w));
    EXPECT_FALSE(w.menu("mnuDelFav")->isChecked());
}

TEST(Favourites, AutoActivateSwitchesAtItsMinuteOnceAndAnUnreadableTimeSwitchesItOff) {
    MainWindowHarness harness;
    harness.clock.time = QDateTime(QDate(2026, 12, 7), QTime(16, 59, 50));
    FrmMain& w = showWithFavourites(
        harness, "0=testhost | Colour | AQ Off | AR On | Print | 5:00 PM\r\n1=testhost | "
                 "Laser2 | AQ On | AR On | Delete | 17:00 | AA \r\n");
    ASSERT_EQ(w.CurrentPrintQueue->currentText(), "Laser");
    w.optTimed[0]->setChecked(true);
    w.menu("mnuDelFav")->trigger(); // delete mode does not stop the switch

    ASSERT_TRUE(runPollTick(w));
    EXPECT_EQ(w.CurrentPrintQueue->currentText(), "Laser");

    harness.clock.time = harness.clock.time.addSecs(15);
    ASSERT_TRUE(runPollTick(w));
    EXPECT_EQ(w.CurrentPrintQueue->currentText(), "Laser2");
    EXPECT_TRUE(w.chkAutoQueue->isChecked());
    EXPECT_TRUE(w.chkTimed->isChecked());
    EXPECT_TRUE(w.optTimed[1]->isChecked());
    EXPECT_EQ(w.txtTimed->text(), "17:00");
    EXPECT_TRUE(w.chkAA->isChecked());
    EXPECT_TRUE(harness.prompter.asked.isEmpty());

    // Later ticks of the same minute leave the operator's choice alone.
    w.CurrentPrintQueue->setCurrentIndex(w.CurrentPrintQueue->findText("Laser"));
    CurrentPrintQueue_Click(w);
    const int connections = harness.fake("testhost").calls["queueNames"];
    harness.clock.time = harness.clock.time.addSecs(30);
    ASSERT_TRUE(runPollTick(w));
    EXPECT_EQ(harness.fake("testhost").calls["queueNames"], connections);
    EXPECT_EQ(w.CurrentPrintQueue->currentText(), "Laser");

    // A scheduled favourite whose time is no time ends AutoRelease and AutoActivate.
    MainWindowHarness other;
    FrmMain& o =
        showWithFavourites(other, "5=testhost | Laser2 | AQ On | AR On | Print | teatime | AA\r\n");
    o.chkTimed->setChecked(true);
    o.chkAA->setChecked(true);
    ASSERT_TRUE(runPollTick(o));
    EXPECT_FALSE(o.chkTimed->isChecked());
    EXPECT_FALSE(o.chkAA->isChecked());
    EXPECT_EQ(
        other.prompter.asked,
        QList<Asked>({{"Spoolwright", "ERROR: Unable to Perform Timed Release - Print/Purge Error",
                       Icon::Exclamation, Buttons::Ok}}));
    EXPECT_EQ(o.CurrentPrintQueue->currentText(), "Laser");
}
