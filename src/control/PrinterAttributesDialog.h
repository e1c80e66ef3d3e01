#pragma once

#include "platform/PrintSpooler.h"

#include <QList>
#include <QPair>
#include <QString>

class FrmMain;

// The rows the printer properties window shows: the printer's name, description,
// location, make and model, device, state and reasons, sharing and job count under
// readable names, then every option with its default (its "-default" attribute).
QList<QPair<QString, QString>> printerPropertyRows(const QList<SpoolerAttribute>& attributes);

// Shows a read-only window of a printer's attributes, owned by the main window
// ("PrinterAttributes"); with none, it says the server gave none.
void showPrinterAttributes(FrmMain& form, const QString& queue,
                           const QList<SpoolerAttribute>& attributes);
