#pragma once

#include <QString>
#include <QStringList>

// Makes a queue of the print server report these printer-state-reasons, as a printer
// with a jam or an empty tray would ({"none"} clears them), through
// CUPS-Add-Modify-Printer. False (and the test failed) when the server refused.
bool setPrinterStateReasons(const QString& server, const QString& queue,
                            const QStringList& reasons);
