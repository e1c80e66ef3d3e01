#pragma once

#include <QString>

class FrmMain;

// Applies a menu style ("Full Menu", "Classic Menu", "Simple Menu", "Help Menu",
// "No Menu") to the menu bar; empty means the SimpleView setting. An unknown style
// repairs the setting to "Full Menu".
void SwSimpleView(FrmMain& form, const QString& tempView = QString());

// "Show Full Menu": the full menu for this run; the saved style stays.
void mnuMenu_Click(FrmMain& form);
