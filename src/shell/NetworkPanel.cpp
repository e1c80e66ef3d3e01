#include "shell/NetworkPanel.h"

// The Network panel's share browser comes with the network discovery; until then
// the panel keeps its page.
void NavigateWebServer(FrmMain&, const QString&) {}
