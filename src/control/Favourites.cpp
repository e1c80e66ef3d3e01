#include "control/Favourites.h"

#include "control/ReleaseSteps.h"
#include "form/FrmMain.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/TimeOfDay.h"
#include "session/QueueSelection.h"
#include "session/QueueSession.h"
#include "session/ServerConnection.h"
#include "shell/FavouriteRecord.h"
#include "shell/FavouriteSlots.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString kTitle = QStringLiteral("Spoolwright");

void warn(FrmMain& f, const QString& text) {
    f.services().prompter->message(kTitle, text, Prompter::Icon::Exclamation);
}

// The favourite from what the window shows now.
FavouriteRecord currentSetUp(const FrmMain& f) {
    FavouriteRecord record;
    record.server = f.CurrentPrinter->currentText();
    record.queue = f.CurrentPrintQueue->currentText();
    record.autoQueue = f.chkAutoQueue->isChecked();
    record.autoRelease = f.chkTimed->isChecked();
    record.releasePrints = f.optTimed[0]->isChecked();
    record.releaseTime = f.txtTimed->text();
    record.autoActivate = QueueSession::of(f).autoActivateRequest();
    return record;
}

void deleteFavourite(FrmMain& f, int slot) {
    const QString line = favouriteLine(f, slot);
    if (f.services().prompter->message(QStringLiteral("Warning"),
                                       QStringLiteral("Are you sure you want to delete \r\n") +
                                           line + QStringLiteral("\r\n from your Favourites?"),
                                       Prompter::Icon::Exclamation,
                                       Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    clearFavourite(f, slot);
    if (!anyFavouriteShown(f))
        hideFavouriteCommands(f);
}

} // namespace

void imgFavourite_Click(FrmMain& f) {
    if (f.services().prompter->message(
            kTitle, QStringLiteral("Add Current Print Queue To Favourites?"),
            Prompter::Icon::Question, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    QueueSession::of(f).setAutoActivateRequest(f.chkAA->isChecked());
    mnuAddFav_Click(f);
}

void mnuAddFav_Click(FrmMain& f) {
    const QString time = f.txtTimed->text().trimmed();
    // Without AutoRelease a favourite has no time, and is never switched to by it.
    const bool scheduled = QueueSession::of(f).autoActivateRequest() && f.chkTimed->isChecked();
    int free = -1;
    for (int slot = 0; slot < kFavouriteSlots && free < 0; ++slot) {
        // Two favourites switched to at one time: only the first would ever be.
        if (scheduled && favouriteEntry(f, slot)->isChecked() &&
            favouriteFields(favouriteLine(f, slot)).value(5) == time) {
            warn(f,
                 QStringLiteral("Another queue is already scheduled for activation at this time!"));
            return;
        }
        if (favouriteLine(f, slot).isEmpty())
            free = slot;
    }
    if (free < 0) {
        QueueSession::of(f).setAutoActivateRequest(false);
        return;
    }

    const FavouriteRecord record = currentSetUp(f);
    if (record.queue.isEmpty()) {
        warn(f, QStringLiteral("Choose a print queue first: a favourite is a server and one of "
                               "its queues."));
        return;
    }
    const QStringList unstorable = record.unstorableTexts();
    if (!unstorable.isEmpty()) {
        warn(f, QStringLiteral("\"%1\" cannot be kept as a favourite: favourites are exported as "
                               "one list separated by commas, so their server, queue and time "
                               "may not contain a comma or a vertical bar.")
                    .arg(unstorable.join(QStringLiteral("\", \""))));
        return;
    }
    setFavourite(f, free, record.line());
}

void mnuFav_Click(FrmMain& f, int slot) {
    if (QueueSession::of(f).ResumeAllInProgress()) {
        refuseDuringResumeAll(f);
        return;
    }
    if (f.menu(QStringLiteral("mnuDelFav"))->isChecked())
        deleteFavourite(f, slot);
    else
        activateFavourite(f, slot);
}

void activateFavourite(FrmMain& f, int slot) {
    const QStringList fields = favouriteFields(favouriteLine(f, slot));
    if (fields.value(0).isEmpty())
        return; // a free slot
    f.Timer2->stop();
    f.Settings.Server = fields.value(0);
    f.CurrentPrinter->setCurrentText(fields.value(0));
    // The rest follows the server's answer.
    FindPrintQueues_Click(f, [&f, slot, fields] {
        f.chkAutoQueue->setChecked(false);
        f.chkAA->setChecked(false);
        // A queue the server no longer lists leaves the box empty; the refresh shows so.
        f.CurrentPrintQueue->setCurrentIndex(f.CurrentPrintQueue->findText(
            fields.value(1), Qt::MatchExactly | Qt::MatchCaseSensitive));
        CurrentPrintQueue_Click(f);

        if (fields.value(2) == QLatin1String("AQ On"))
            f.chkAutoQueue->setChecked(true);
        if (fields.value(3) == QLatin1String("AR On")) {
            f.chkTimed->setChecked(true);
            if (fields.value(4) == QLatin1String("Delete"))
                f.optTimed[1]->setChecked(true);
            else if (fields.value(4) == QLatin1String("Print"))
                f.optTimed[0]->setChecked(true);
            f.txtTimed->setText(fields.value(5));
            if (favouriteEntry(f, slot)->isChecked())
                f.chkAA->setChecked(true);
        }
    });
}

void favbutton_Click(FrmMain& f, int slot) {
    const QAction* entry = favouriteEntry(f, slot);
    if (entry->isVisible() && entry->isEnabled())
        mnuFav_Click(f, slot);
}

void mnuDelFav_Click(FrmMain& f) {
    QAction* entry = f.menu(QStringLiteral("mnuDelFav"));
    entry->setChecked(!entry->isChecked());
}

void autoActivateFavourite(FrmMain& f) {
    const QDateTime clock = f.services().clock->now();
    const QString now = TimeOfDay::hourMinute(clock.time());
    const QString minute = clock.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    for (int slot = 0; slot < kFavouriteSlots; ++slot) {
        const QAction* entry = favouriteEntry(f, slot);
        if (!entry->isEnabled() || !entry->isVisible() || !entry->isChecked())
            continue;
        const QStringList fields = favouriteFields(favouriteLine(f, slot));
        const std::optional<QTime> time = TimeOfDay::read(fields.value(5));
        if (!time) {
            timedReleaseUnreadable(f);
            return;
        }
        if (TimeOfDay::hourMinute(*time) != now)
            continue;
        // Every tick of the minute matches: the first one acts, the others leave the
        // operator's choice alone.
        if (!QueueSession::of(f).firstAutoActivateIn(minute))
            return;
        if (fields.value(0) != f.CurrentPrinter->currentText() ||
            fields.value(1) != f.CurrentPrintQueue->currentText()) {
            if (QueueSession::of(f).ResumeAllInProgress())
                refuseDuringResumeAll(f);
            else
                activateFavourite(f, slot);
        }
        return;
    }
}
