#pragma once

#include "platform/ProfileFile.h"

#include <QString>
#include <optional>

class FrmMain;
struct SettingsRecord;

// The job grid's font sizes the window takes, and the size it has when swr.ini
// gives none of them.
inline constexpr double kLeastFontPoints = 6;
inline constexpr double kMostFontPoints = 72;
inline constexpr double kDefaultFontPoints = 9;

// The grid font size a text names: a number of points from kLeastFontPoints to
// kMostFontPoints; none for anything else, which leaves the grid readable at the
// size it has.
std::optional<double> gridFontPoints(const QString& text);

// The settings record's round trip through swr.ini.

// Reads every key of the main section into the record's fields, as LoadSettings
// does before it applies them.
void readSettingsRecord(const ProfileFile::Snapshot& ini, SettingsRecord& record);

// Reads every setting into the record and applies the window size, grid font,
// status bar, favourites, panels, window state and menu style they name.
void LoadSettings(FrmMain& form);

// Writes the history, then every key from the controls and the record, in the order
// a new file lists them. The first failed write stops the save with a message.
// Nothing is written once the operator deleted the settings.
void SaveSettings(FrmMain& form);

// Gives the job grid's columns their saved widths (twips) and display positions.
void applyColumnLayout(FrmMain& form);
