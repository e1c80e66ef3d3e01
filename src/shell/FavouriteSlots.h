#pragma once

#include <QString>

class FrmMain;
class QAction;

// The favourite slots: slot n is the Favourites menu entry mnuFav<n>, whose caption
// shows its record line (none for a free slot), together with the favourites
// panel's button n, whose tool tip shows the line.

inline constexpr int kFavouriteSlots = 20;

QAction* favouriteEntry(const FrmMain& form, int slot);

// The record line the slot holds; empty for a free slot.
QString favouriteLine(const FrmMain& form, int slot);

// Puts the line into the slot and shows its entry and button; the entry is ticked
// when the favourite is switched to at its release time. Shows the favourites'
// separators, Delete Favourites and, under the full menu, Export Favourites.
void setFavourite(FrmMain& form, int slot, const QString& line);

// Frees the slot: its entry and button are emptied, unticked and hidden.
void clearFavourite(FrmMain& form, int slot);

// Whether any slot's entry is shown.
bool anyFavouriteShown(const FrmMain& form);

// Hides the separators, Delete Favourites and Export Favourites, and leaves delete
// mode: what the menu shows once the last favourite has gone.
void hideFavouriteCommands(FrmMain& form);
