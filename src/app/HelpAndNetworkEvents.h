#pragma once

class FrmMain;

// Connects the Help menu, the log's CSV and mail entries, the Updates and Network
// panels and the network search to their commands.
void wireHelpAndNetwork(FrmMain& form);
