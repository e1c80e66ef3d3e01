#include "shell/Settings.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/PanelFrame.h"
#include "form/SettingsRecord.h"
#include "form/Twips.h"
#include "form/frmSplash.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "shell/FavouriteSlots.h"
#include "shell/History.h"
#include "shell/IniFile.h"
#include "shell/MenuStyle.h"
#include "shell/Panels.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTreeWidget>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

const QString kMain = QStringLiteral("Spoolwright");
const QString kFavourites = QStringLiteral("Favourites");

// The leading number of a text, or 0, as a setting holds it.
int leadingNumber(const QString& text) {
    const qint64 number = leadingNumberOf(text);
    return number < INT_MIN || number > INT_MAX ? 0 : static_cast<int>(number);
}

// The panel switches show their panel when true, missing or not a Boolean at all.
bool showsPanel(const QString& value) {
    return parseBoolean(value).value_or(true);
}

QString gridFontText(double points) {
    QString text = QString::number(std::round(points * 10000.0) / 10000.0, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

// A column no wider than a wide screen: wider saved widths are taken as this.
constexpr int kWidestColumnTwips = 30000;

// The window's size within the screen's available area, never below its least.
QSize clampedSize(const FrmMain& f, int widthTwips, int heightTwips) {
    const QScreen* screen = f.screen() ? f.screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
    const QSize least = f.minimumSize();
    return {std::clamp(Twips::toPixels(widthTwips), least.width(),
                       std::max(area.width(), least.width())),
            std::clamp(Twips::toPixels(heightTwips), least.height(),
                       std::max(area.height(), least.height()))};
}

QString sectionOf(const SettingKey& key) {
    return key.section ? QString::fromLatin1(key.section) : kMain;
}

void readKey(const ProfileFile::Snapshot& ini, SettingsRecord& s, const SettingKey& key) {
    QString text = ini.read(sectionOf(key), QString::fromLatin1(key.key));
    if (text.isEmpty() && key.firstStart)
        text = QString::fromLatin1(key.firstStart);
    std::visit(
        [&](auto member) {
            using Field = std::remove_reference_t<decltype(s.*member)>;
            Field& field = s.*member;
            if constexpr (std::is_same_v<Field, QString>) {
                field = text;
            } else if constexpr (std::is_same_v<Field, bool>) {
                field = settingIsTrue(text);
            } else if constexpr (std::is_same_v<Field, int>) {
                bool ok = false;
                const int number = text.trimmed().toInt(&ok);
                if (key.kind == SettingKind::Number)
                    field = leadingNumber(text);
                else if (ok && number > 0)
                    field = number;
            } else {
                const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
                field = date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime();
                s.resetTotalUnread = date.isValid() ? QString() : text;
            }
        },
        key.field);
}

QString keyText(const SettingsRecord& s, const SettingKey& key) {
    return std::visit(
        [&](auto member) -> QString {
            const auto& field = s.*member;
            using Field = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, QString>)
                return field;
            else if constexpr (std::is_same_v<Field, bool>)
                return field ? QStringLiteral("True") : QStringLiteral("False");
            else if constexpr (std::is_same_v<Field, int>)
                return QString::number(field);
            else
                return field.isValid() ? DateText::format(field) : s.resetTotalUnread;
        },
        key.field);
}

} // namespace

std::optional<double> gridFontPoints(const QString& text) {
    bool ok = false;
    const double points = text.trimmed().toDouble(&ok);
    if (!ok || !(points >= kLeastFontPoints && points <= kMostFontPoints))
        return std::nullopt;
    return points;
}

void readSettingsRecord(const ProfileFile::Snapshot& ini, SettingsRecord& s) {
    for (int i = 0; i < kSettingKeyCount; ++i)
        readKey(ini, s, kSettingKeys[i]);
}

void LoadSettings(FrmMain& f) {
    const Environment& env = *f.services().environment;
    SettingsRecord& s = f.Settings;
    // Read once: a long or large file costs one pass, not one per key.
    const ProfileFile::Snapshot ini = readSettingsFile(env);
    readSettingsRecord(ini, s);

    // Absurd sizes are brought within the screen, and so written back.
    const bool sized = s.DisplaySizeHeight > 0;
    const QSize size = clampedSize(f, s.DisplaySizeWidth, sized ? s.DisplaySizeHeight : 9000);
    s.DisplaySizeWidth = Twips::keep(size.width(), s.DisplaySizeWidth);
    f.resize(size.width(), sized ? size.height() : f.height());
    if (sized)
        s.DisplaySizeHeight = Twips::keep(size.height(), s.DisplaySizeHeight);

    // A size the grid cannot be read at is no size, as an unreadable one is: the grid
    // gets the default, and the save writes that back.
    QFont font = f.JobList->font();
    font.setPointSizeF(gridFontPoints(s.GridFontSize).value_or(kDefaultFontPoints));
    f.JobList->setFont(font);
    if (!s.ResetTotal.isValid() && s.resetTotalUnread.isEmpty())
        s.ResetTotal =
            f.services().clock ? f.services().clock->now() : QDateTime::currentDateTime();

    // The status bar starts shown, so anything but a true value hides it.
    if (!settingIsTrue(s.ShowStatusBar))
        mnuStatusBar_Click(f);

    f.appendSplashStatus(QStringLiteral("Favourites, "));
    for (int slot = 0; slot < kFavouriteSlots; ++slot) {
        const QString value = ini.read(kFavourites, QString::number(slot));
        if (!value.isEmpty())
            setFavourite(f, slot, value); // an empty slot leaves the later ones to load
    }

    if (s.AutoQueue == QLatin1String("1"))
        f.appendSplashStatus(QStringLiteral("AutoQueue, "));
    if (s.TimedRelease == QLatin1String("1"))
        f.appendSplashStatus(QStringLiteral("Timed Release (") + s.TimedReleaseAction +
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

    if (s.ReportPath.isEmpty())
        s.ReportPath = env.temp();
    // The step recorder entries stay hidden: there is no such recorder here.
    if (s.LogPath.isEmpty())
        s.LogPath = env.appData();
    SwSimpleView(f);
}

void applyColumnLayout(FrmMain& f) {
    SettingsRecord& s = f.Settings;
    if (s.ColumnWidths.isEmpty())
        s.ColumnWidths = QString::fromLatin1(SettingDefaults::ColumnWidths);
    if (s.ColumnPositions.isEmpty())
        s.ColumnPositions = QString::fromLatin1(SettingDefaults::ColumnPositions);
    const QStringList widths = s.ColumnWidths.split(QLatin1Char(','));
    const QStringList positions = s.ColumnPositions.split(QLatin1Char(','));
    std::vector<std::pair<int, int>> placed; // (position, column)
    for (int column = 0; column < JobColumn::Count; ++column) {
        bool ok = false;
        const int width = widths.value(column).trimmed().toInt(&ok);
        if (ok && width >= 0)
            f.JobList->setColumnWidth(column, Twips::toPixels(std::min(width, kWidestColumnTwips)));
        const int position = positions.value(column).trimmed().toInt(&ok);
        if (ok && position >= 1 && position <= JobColumn::Count)
            placed.emplace_back(position, column);
    }
    // Placing the columns in the order of their places leaves each where it was
    // asked for; moving them in column order would push placed ones aside again.
    std::stable_sort(placed.begin(), placed.end());
    QHeaderView* header = f.JobList->header();
    for (const auto& [position, column] : placed)
        header->moveSection(header->visualIndex(column), position - 1);
}

void SaveSettings(FrmMain& f) {
    if (f.settingsDeleted)
        return;
    const Environment& env = *f.services().environment;
    SettingsRecord s = f.Settings;
    bool failed = !List_Save(f.CurrentPrinter, HistoryFilePath(env));

    // What the controls hold now.
    auto tick = [](bool checked) { return checked ? QStringLiteral("1") : QStringLiteral("0"); };
    s.Server = f.CurrentPrinter->currentText();
    s.Queue = f.CurrentPrintQueue->currentText();
    s.AutoQueue = tick(f.chkAutoQueue->isChecked());
    s.TimedRelease = tick(f.chkTimed->isChecked());
    s.TimedReleaseTime = f.txtTimed->text();
    s.TimedReleaseAction =
        f.optTimed[0]->isChecked() ? QStringLiteral("PRINT") : QStringLiteral("CLEAR");
    if (!(f.isMaximized() || f.isMinimized())) {
        s.DisplaySizeWidth = Twips::keep(f.width(), s.DisplaySizeWidth);
        s.DisplaySizeHeight = Twips::keep(f.height(), s.DisplaySizeHeight);
    }
    if (s.DisplaySizeHeight <= 0)
        s.DisplaySizeHeight = 9000; // never shown at a normal size: the designed height
    const QStringList readWidths = s.ColumnWidths.split(QLatin1Char(','));
    QStringList widths, positions;
    for (int column = 0; column < JobColumn::Count; ++column) {
        bool ok = false;
        const int read = readWidths.value(column).trimmed().toInt(&ok);
        const int pixels = f.JobList->columnWidth(column);
        widths << QString::number(ok ? Twips::keep(pixels, read) : Twips::fromPixels(pixels));
        positions << QString::number(f.JobList->header()->visualIndex(column) + 1);
    }
    s.ColumnWidths = widths.join(QLatin1Char(','));
    s.ColumnPositions = positions.join(QLatin1Char(','));
    const double points = f.JobList->font().pointSizeF();
    if (gridFontPoints(s.GridFontSize) != points)
        s.GridFontSize = gridFontText(points);
    s.ShowStatusBar = f.menu(QStringLiteral("mnuStatusBar"))->isChecked() ? QStringLiteral("True")
                                                                          : QStringLiteral("False");

    // Every key in one write: the file takes them all or, failing, keeps its old values.
    QList<ProfileFile::Entry> entries;
    for (int i = 0; i < kSettingKeyCount; ++i)
        entries.append({sectionOf(kSettingKeys[i]), QString::fromLatin1(kSettingKeys[i].key),
                        keyText(s, kSettingKeys[i])});
    for (int slot = 0; slot < kFavouriteSlots; ++slot)
        entries.append({kFavourites, QString::number(slot), favouriteLine(f, slot)});
    failed = !writeSettings(env, entries) || failed;

    if (failed && f.services().prompter)
        f.services().prompter->message(QStringLiteral("Spoolwright"),
                                       QStringLiteral("Spoolwright had problems saving your data."),
                                       Prompter::Icon::Information);
}
