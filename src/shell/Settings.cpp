#include "shell/Settings.h"

#include "form/FrmMain.h"
#include "form/PanelFrame.h"
#include "form/Twips.h"
#include "form/frmSplash.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"
#include "shell/History.h"
#include "shell/IniFile.h"
#include "shell/MenuStyle.h"
#include "shell/Panels.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <cmath>

namespace {

const QString kMain = QStringLiteral("Spoolwright");
const QString kFavourites = QStringLiteral("Favourites");

// The leading number of a text, or 0 ("12abc" reads 12).
int leadingNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    int end = 0;
    if (end < trimmed.size() &&
        (trimmed[end] == QLatin1Char('-') || trimmed[end] == QLatin1Char('+')))
        ++end;
    while (end < trimmed.size() && trimmed[end].isDigit())
        ++end;
    return trimmed.left(end).toInt();
}

// The panel switches show their panel when true, missing or not a Boolean at all.
bool showsPanel(const QString& value) {
    return ParseBoolean(value).value_or(true);
}

QString gridFontText(double points) {
    QString text = QString::number(std::round(points * 10000.0) / 10000.0, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

} // namespace

void LoadSettings(FrmMain& f) {
    const Environment& env = *f.services().environment;
    SettingsRecord& s = f.Settings;
    auto read = [&env](const char* key) {
        return ReadSetting(env, kMain, QString::fromLatin1(key));
    };
    bool ok = false;

    s.Server = read("Server");
    s.Queue = read("Queue");
    s.AutoQueue = read("AutoQueue");
    s.TimedRelease = read("TimedRelease");
    s.TimedReleaseTime = read("TimedReleaseTime");
    s.TimedReleaseAction = read("TimedReleaseAction");

    const int width = read("DisplaySizeWidth").trimmed().toInt(&ok);
    if (ok && width > 0) {
        s.DisplaySizeWidth = width;
        f.resize(Twips::toPixels(width), f.height());
    }
    const int height = read("DisplaySizeHeight").trimmed().toInt(&ok);
    if (ok && height > 0) {
        s.DisplaySizeHeight = height;
        f.resize(f.width(), Twips::toPixels(height));
    }

    s.ColumnWidths = read("ColumnWidths");
    s.ColumnPositions = read("ColumnPositions");
    const double fontSize = read("GridFontSize").trimmed().toDouble(&ok);
    if (ok && fontSize > 0) {
        QFont font = f.JobList->font();
        font.setPointSizeF(fontSize);
        f.JobList->setFont(font);
    }

    s.ShowErrors = read("ShowErrors");
    s.ShowServerView = read("ShowServerView");
    s.StartMax = read("StartMax");
    s.Company = read("Company");
    s.Tagline = read("Tagline");
    s.QAHideAllButtons = SettingIsTrue(read("QAHideAllButtons"));
    s.ShowUpdates = read("ShowUpdates");
    s.FavouritesPanel = read("FavouritesPanel");
    s.ShowNetwork = read("ShowNetwork");
    s.ShowQueueInfo = read("ShowQueueInfo");
    s.ShowQueueControl = read("ShowQueueControl");
    s.ShowSearch = read("ShowSearch");
    s.ShowStatusBar = read("ShowStatusBar");
    s.PollNorm = read("PollNorm");
    s.PollAQ = read("PollAQ");
    s.PollAQactive = read("PollAQactive");
    s.QuickAction = leadingNumber(read("QuickAction"));
    s.JobAction = read("JobAction");
    s.Exceptions = read("Exceptions");
    s.ReportPath = read("ReportPath");
    s.LogPath = read("LogPath");
    s.SimpleView = read("SimpleView");
    s.Audit = SettingIsTrue(read("Audit"));

    const QString resetTotal = read("ResetTotal");
    if (resetTotal.isEmpty()) {
        s.ResetTotal =
            f.services().clock ? f.services().clock->now() : QDateTime::currentDateTime();
    } else {
        const QDate date = QDate::fromString(resetTotal.left(10), QStringLiteral("yyyy-MM-dd"));
        if (date.isValid())
            s.ResetTotal = QDateTime(date, QTime(0, 0));
    }

    // The status bar starts shown, so anything but a true value hides it.
    if (!SettingIsTrue(s.ShowStatusBar))
        mnuStatusBar_Click(f);

    f.AppendSplashStatus(QStringLiteral("Favourites, "));
    for (int slot = 0; slot < 20; ++slot) {
        const QString value = ReadSetting(env, kFavourites, QString::number(slot));
        if (value.isEmpty())
            continue;
        for (const char* name : {"mnuFavSep1", "mnuFavSep2", "mnuDelFav"})
            f.Menu(QString::fromLatin1(name))->setVisible(true);
        if (s.SimpleView == QLatin1String("Full Menu"))
            f.Menu(QStringLiteral("mnuExportFav"))->setVisible(true);
        QAction* entry = f.Menu(QStringLiteral("mnuFav%1").arg(slot));
        entry->setText(value);
        const QStringList fields = value.split(QStringLiteral(" | "));
        if (fields.value(3) == QLatin1String("AR On") && fields.value(6) == QLatin1String("AA"))
            entry->setChecked(true);
        entry->setVisible(true);
        QPushButton* button = f.favbutton[static_cast<std::size_t>(slot)];
        button->setToolTip(value);
        button->setVisible(true);
    }

    if (s.AutoQueue == QLatin1String("1"))
        f.AppendSplashStatus(QStringLiteral("AutoQueue, "));
    if (s.TimedRelease == QLatin1String("1"))
        f.AppendSplashStatus(QStringLiteral("Timed Release (") + s.TimedReleaseAction +
                             QStringLiteral(" at ") + s.TimedReleaseTime + QStringLiteral("), "));

    const std::pair<const QString*, void (*)(FrmMain&)> panels[] = {
        {&s.ShowUpdates, mnuOnline_Click},
        {&s.FavouritesPanel, mnuFavouritesPanel_Click},
        {&s.ShowNetwork, mnuNetwork_Click},
        {&s.ShowQueueInfo, mnuQueueInfo_Click},
        {&s.ShowQueueControl, mnuQueueControl_Click},
        {&s.ShowSearch, mnuSearchQueue_Click}};
    for (const auto& [value, command] : panels)
        if (showsPanel(*value))
            command(f);

    if (showsPanel(s.StartMax))
        f.setWindowState(f.windowState() | Qt::WindowMaximized);

    if (s.PollNorm.isEmpty())
        s.PollNorm = QStringLiteral("10000");
    if (s.PollAQ.isEmpty())
        s.PollAQ = QStringLiteral("6000");
    if (s.PollAQactive.isEmpty())
        s.PollAQactive = QStringLiteral("10");
    if (s.ReportPath.isEmpty())
        s.ReportPath = env.temp();
    if (s.Company.isEmpty())
        s.Company = QStringLiteral("Spoolwright");
    if (s.Tagline.isEmpty())
        s.Tagline = QString::fromLatin1(SettingDefaults::Tagline);
    // The step recorder entries stay hidden: there is no such recorder here.
    if (s.LogPath.isEmpty())
        s.LogPath = env.appData();
    SwSimpleView(f);
}

void ApplyColumnLayout(FrmMain& f) {
    SettingsRecord& s = f.Settings;
    if (s.ColumnWidths.isEmpty())
        s.ColumnWidths = QString::fromLatin1(SettingDefaults::ColumnWidths);
    if (s.ColumnPositions.isEmpty())
        s.ColumnPositions = QString::fromLatin1(SettingDefaults::ColumnPositions);
    const QStringList widths = s.ColumnWidths.split(QLatin1Char(','));
    const QStringList positions = s.ColumnPositions.split(QLatin1Char(','));
    QHeaderView* header = f.JobList->header();
    for (int column = 0; column < 11; ++column) {
        bool ok = false;
        const int width = widths.value(column).trimmed().toInt(&ok);
        if (ok && width >= 0)
            f.JobList->setColumnWidth(column, Twips::toPixels(width));
        const int position = positions.value(column).trimmed().toInt(&ok);
        if (ok && position >= 1 && position <= 11)
            header->moveSection(header->visualIndex(column), position - 1);
    }
}

void SaveSettings(FrmMain& f) {
    const Environment& env = *f.services().environment;
    const SettingsRecord& s = f.Settings;
    List_Save(f.CurrentPrinter, f.HistoryPath);

    // The first key that cannot be written stops the save; the rest keep their old values.
    bool failed = false;
    auto write = [&](const char* key, const auto& value) {
        if (!failed && !WriteSetting(env, kMain, QString::fromLatin1(key), value))
            failed = true;
    };
    auto tick = [](bool checked) { return checked ? QStringLiteral("1") : QStringLiteral("0"); };

    write("Server", f.CurrentPrinter->currentText());
    write("Queue", f.CurrentPrintQueue->currentText());
    write("AutoQueue", tick(f.chkAutoQueue->isChecked()));
    write("TimedRelease", tick(f.chkTimed->isChecked()));
    write("TimedReleaseTime", f.txtTimed->text());
    write("TimedReleaseAction",
          f.optTimed[0]->isChecked() ? QStringLiteral("PRINT") : QStringLiteral("CLEAR"));

    const bool normal = !(f.isMaximized() || f.isMinimized());
    write("DisplaySizeWidth",
          QString::number(normal ? Twips::fromPixels(f.width()) : s.DisplaySizeWidth));
    write("DisplaySizeHeight",
          QString::number(normal ? Twips::fromPixels(f.height()) : s.DisplaySizeHeight));

    QStringList widths, positions;
    for (int column = 0; column < 11; ++column) {
        widths << QString::number(Twips::fromPixels(f.JobList->columnWidth(column)));
        positions << QString::number(f.JobList->header()->visualIndex(column) + 1);
    }
    write("ColumnWidths", widths.join(QLatin1Char(',')));
    write("ColumnPositions", positions.join(QLatin1Char(',')));
    write("GridFontSize", gridFontText(f.JobList->font().pointSizeF()));

    write("ShowErrors", s.ShowErrors);
    write("ShowServerView", s.ShowServerView);
    write("StartMax", s.StartMax);
    write("Company", s.Company);
    write("Tagline", s.Tagline);
    write("ShowUpdates", s.ShowUpdates);
    write("FavouritesPanel", s.FavouritesPanel);
    write("ShowNetwork", s.ShowNetwork);
    write("ShowQueueInfo", s.ShowQueueInfo);
    write("ShowQueueControl", s.ShowQueueControl);
    write("ShowSearch", s.ShowSearch);
    write("ShowStatusBar", f.Menu(QStringLiteral("mnuStatusBar"))->isChecked());
    write("Audit", s.Audit);
    write("PollNorm", s.PollNorm);
    write("PollAQ", s.PollAQ);
    write("PollAQactive", s.PollAQactive);
    write("QuickAction", QString::number(s.QuickAction));
    write("JobAction", s.JobAction);
    write("Exceptions", s.Exceptions);
    write("ResetTotal", s.ResetTotal);
    write("ReportPath", s.ReportPath);
    write("LogPath", s.LogPath);
    write("SimpleView", s.SimpleView);
    write("QAHideAllButtons", s.QAHideAllButtons);
    for (int slot = 0; slot < 20 && !failed; ++slot)
        failed = !WriteSetting(env, kFavourites, QString::number(slot),
                               f.Menu(QStringLiteral("mnuFav%1").arg(slot))->text());

    if (failed && f.services().prompter)
        f.services().prompter->message(QStringLiteral("Spoolwright"),
                                       QStringLiteral("Spoolwright had problems saving your data."),
                                       Prompter::Icon::Information);
}
