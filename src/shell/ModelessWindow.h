#pragma once

#include <QString>
#include <QWidget>

// Shows the owner's modeless window of this name, bringing it to the front when it is
// open. One closed before is made anew by `make` (which also fills it), so that it
// shows the program's state as it is now.
template <typename Window, typename Make>
Window* showModeless(QWidget& owner, const QString& name, Make make) {
    auto* window = owner.findChild<Window*>(name);
    if (window && !window->isVisible()) {
        delete window;
        window = nullptr;
    }
    if (!window)
        window = make();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
