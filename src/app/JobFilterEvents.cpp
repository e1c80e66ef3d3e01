#include "app/JobFilterEvents.h"

#include "form/FrmMain.h"
#include "shell/JobFilter.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>

void wireJobFilter(FrmMain& f) {
    QObject::connect(f.txtFilter, &QLineEdit::textChanged, &f, [&f] { txtFilter_Change(f); });
    // A shortcut of the window, not of a menu entry: the menu styles hide menus,
    // and a hidden menu's shortcuts do not fire.
    auto* find = new QShortcut(QKeySequence::Find, &f);
    find->setContext(Qt::WindowShortcut);
    QObject::connect(find, &QShortcut::activated, &f, [&f] { focusJobFilter(f); });
}
