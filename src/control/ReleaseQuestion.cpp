#include "control/ReleaseQuestion.h"

#include "control/ActionSteps.h"
#include "form/FrmMain.h"
#include "platform/PrinterReasons.h"
#include "platform/Prompter.h"
#include "session/PrinterAlerts.h"

#include <QComboBox>

bool releaseAnyway(FrmMain& f) {
    // The reasons the last refresh read of the queue the release goes to; those of
    // another queue say nothing of it.
    const PrinterAlerts& alerts = PrinterAlerts::of(f);
    const QString queue = actionQueue(f);
    if (alerts.attention().isEmpty() ||
        alerts.watched() != f.CurrentPrinter->currentText() + QLatin1Char('/') + queue)
        return true;
    return f.services().prompter->message(QStringLiteral("Spoolwright"),
                                          QStringLiteral("%1 reports %2. Release anyway?")
                                              .arg(queue, printerReasonsText(alerts.attention())),
                                          Prompter::Icon::Question,
                                          Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
}
