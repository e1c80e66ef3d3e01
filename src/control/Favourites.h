#pragma once

class FrmMain;

// Favourites: a server, one of its queues and the AutoQueue set-up in force for
// them, kept in 20 slots of the Favourites menu and panel, to be returned to with
// one click or at the favourite's release time.

// The add-favourite picture: asks first, and takes AutoActivate from its box.
void imgFavourite_Click(FrmMain& form);

// Stores the server box, the queue box and the AutoQueue controls as a favourite in
// the first free slot. Refused with a message when another favourite is switched to
// at the same time, or when a name holds a comma or bar the favourites file cannot
// hold; all slots taken, it does nothing.
void mnuAddFav_Click(FrmMain& form);

// Activates the favourite in the slot or, in delete mode, deletes it after asking.
// Neither while Resume All is releasing jobs.
void mnuFav_Click(FrmMain& form, int slot);

// Connects to the favourite's server, selects its queue and sets the AutoQueue,
// AutoRelease and AutoActivate controls as it holds them, once the server answered.
void activateFavourite(FrmMain& form, int slot);

// A panel button acts as its menu entry does, while that entry is there to choose.
void favbutton_Click(FrmMain& form, int slot);

// Switches delete mode on or off.
void mnuDelFav_Click(FrmMain& form);

// Run by the poll: activates the first favourite marked for AutoActivate whose
// release time is the clock's hour and minute, unless the window shows its queue
// already. A favourite time that is no time switches AutoRelease and AutoActivate
// off and says so.
void autoActivateFavourite(FrmMain& form);
