#pragma once

class QMainWindow;

// Builds the main window's menu bar: every menu and entry with its caption,
// shortcut and starting state. Each menu and entry is a QAction named as the
// program names it ("mnuPanels", "menuExit", "mnuFav3", ...), so handlers and
// menu styles find it by name.
void buildMainMenu(QMainWindow& window);
