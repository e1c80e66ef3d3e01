#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

// The first window of the program: title, version and a status line that start-up
// fills as it goes. Its timer shows the main window and closes the splash.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    // `delayMs` is how long the splash stands before its timer fires (5 s normally).
    explicit frmSplash(int delayMs = 5000, QWidget* parent = nullptr);

    // Run when the timer fires, before the splash closes: shows the main window.
    std::function<void()> onTimer;

    void Timer1_Timer();

    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* txtPromo = nullptr;
    QLabel* lblStatus = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The vendor's web address, shown on the splash and the Updates panel.
inline constexpr const char* kVendorWebAddress = "www.spoolwright.example";
