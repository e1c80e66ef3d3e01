#include "shell/PageCounters.h"

#include "form/FrmMain.h"
#include "platform/NumberText.h"
#include "shell/IniFile.h"

namespace {

const QString kSection = QStringLiteral("Log Counters");

void raise(FrmMain& form, const QString& key, qint64 pages) {
    const qint64 total = readPageCounter(form, key) + pages;
    writeSettings(*form.services().environment, {{kSection, key, QString::number(total)}});
}

} // namespace

qint64 readPageCounter(const FrmMain& form, const QString& key) {
    return leadingNumberOf(ReadSetting(*form.services().environment, kSection, key));
}

void countPrintedPages(FrmMain& form, qint64 pages) {
    SessionPages::of(form).addPrinted(pages);
    raise(form, QLatin1String(kPrintedCounter), pages);
}

void countDeletedPages(FrmMain& form, qint64 pages) {
    SessionPages::of(form).addDeleted(pages);
    raise(form, QLatin1String(kDeletedCounter), pages);
}

void resetPageCounters(FrmMain& form) {
    SessionPages::of(form).reset();
    writeSettings(*form.services().environment,
                  {{kSection, QLatin1String(kPrintedCounter), QStringLiteral("0")},
                   {kSection, QLatin1String(kDeletedCounter), QStringLiteral("0")}});
}
