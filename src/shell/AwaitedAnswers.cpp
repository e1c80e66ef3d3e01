#include "shell/AwaitedAnswers.h"

#include "form/FrmMain.h"

#include <QApplication>
#include <QSet>

namespace {

// Kept beside the window's controls, as a child of the window, so that it goes
// with the window.
class Awaited : public QObject {
public:
    explicit Awaited(QObject* parent) : QObject(parent) {
        setObjectName(QStringLiteral("AwaitedAnswers"));
    }
    // A window that goes while answers are due leaves no wait cursor behind.
    ~Awaited() override {
        for (qsizetype i = 0; i < actions.size(); ++i)
            QApplication::restoreOverrideCursor();
    }
    Awaited(const Awaited&) = delete;
    Awaited& operator=(const Awaited&) = delete;
    QSet<QString> actions;
};

Awaited* awaitedOf(const FrmMain& f) {
    // Only this file makes a child of that name.
    return static_cast<Awaited*>(
        f.findChild<QObject*>(QStringLiteral("AwaitedAnswers"), Qt::FindDirectChildrenOnly));
}

Awaited& awaited(FrmMain& f) {
    Awaited* found = awaitedOf(f);
    return found ? *found : *new Awaited(&f);
}

} // namespace

bool AwaitedAnswers::begin(FrmMain& f, const QString& action) {
    Awaited& all = awaited(f);
    if (all.actions.contains(action))
        return false;
    all.actions.insert(action);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return true;
}

void AwaitedAnswers::end(FrmMain& f, const QString& action) {
    if (awaited(f).actions.remove(action))
        QApplication::restoreOverrideCursor();
}

bool AwaitedAnswers::waiting(const FrmMain& f, const QString& action) {
    const Awaited* all = awaitedOf(f);
    return all && all->actions.contains(action);
}

int AwaitedAnswers::count(const FrmMain& f) {
    const Awaited* all = awaitedOf(f);
    return all ? static_cast<int>(all->actions.size()) : 0;
}
