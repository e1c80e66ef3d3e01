#pragma once

#include "shell/FavouriteSlots.h"

#include <QByteArray>
#include <QString>
#include <array>

// What an imported favourites file holds for the slots: its first line's pieces
// between commas, the n-th for slot n when it is a record line.
struct FavouritesImport {
    std::array<QString, kFavouriteSlots> slotLines; // a record line, or empty for a free slot
    bool any = false;                               // whether any slot got a record line
    // The parts of the message that name what was left out: pieces that are no
    // record line, and record lines past the last slot. Empty when nothing was.
    QString leftOut;
};

// Reads the content of a favourites file (only its first line counts).
FavouritesImport readFavouritesFile(const QByteArray& content);
