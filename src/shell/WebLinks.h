#pragma once

#include <QString>

class FrmMain;

// The commands of the Help menu, the Updates panel and the Network panel: About, the
// help page, a second copy of the program, the vendor's site and update, the update
// check, and the share browser's buttons.

// The program's version as the update addresses carry it: "5.1.2".
QString versionText();
// The vendor's web server: the one the window was given, else the Server key of the
// [Updates] section of swr.ini (an administrator's setting), else the vendor's own.
QString vendorServer(const FrmMain& form);
// An address on the vendor's web server: "http://" + server + pathAndQuery, unless
// the server setting names its own scheme.
QString vendorAddress(const FrmMain& form, const QString& pathAndQuery);

void mnuAbout_Click(FrmMain& form);
// Opens the help page SWR.html of the program folder.
void Help_Click(FrmMain& form);
void mnuNew_Click(FrmMain& form);
void lblWebsite_Click(FrmMain& form);
void mnuUpdate_Click(FrmMain& form);

// The Updates panel follows its browser: a site that cannot be reached hides the
// panel, a site that answers shows it again when its menu entry is ticked. Neither
// changes the tick or the setting.
void WebVersion_StatusTextChange(FrmMain& form, const QString& text);
// Applies the last status of the update check again: an answer that came while
// start-up was still placing the panels.
void applyUpdateCheckStatus(FrmMain& form);

// Network panel: the server's shares, this computer's, back and forward.
void Image2_Click(FrmMain& form);
void Image3_Click(FrmMain& form);
void Image4_Click(FrmMain& form);
void Image5_Click(FrmMain& form);
