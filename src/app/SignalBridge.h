#pragma once

#include <QObject>

class FrmMain;
class QSocketNotifier;

// Turns SIGTERM and SIGINT into a Qt signal on the user-interface thread. The
// handler only writes a byte to a pipe; everything else runs in the event loop.
class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

Q_SIGNALS:
    void terminationRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

// SIGTERM and SIGINT close the main window, so the normal shutdown runs; before the
// window has loaded there is nothing to save and the program just quits.
void closeOnTermination(SignalBridge& bridge, FrmMain& window);
