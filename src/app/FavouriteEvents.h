#pragma once

class FrmMain;

// Connects the Favourites menu, the favourites panel's buttons and the
// add-favourite picture to their commands.
void wireFavourites(FrmMain& form);
