#pragma once

#include <QString>

class FrmMain;

// Sends the Network panel's browser to a location ("\\server" lists the server's
// shared printers and their addresses).
void navigateWebServer(FrmMain& form, const QString& location);
