#include "form/frmSplash.h"

#include "form/JobIcons.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QLabel* label(QWidget* parent, const char* name, const QString& text, int pointSize,
              bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont font = l->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    l->setFont(font);
    return l;
}
} // namespace

frmSplash::frmSplash(int delayMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(560, 320);

    lblProductName = label(this, "lblProductName", QStringLiteral("Spoolwright"), 26, true);
    lblVersion = label(this, "lblVersion",
                       QStringLiteral("Version ") + QStringLiteral(SPOOLWRIGHT_VERSION), 10);
    lblPlatform = label(this, "lblPlatform", QStringLiteral("Linux"), 10);
    lblCompanyProduct = label(this, "lblCompanyProduct", QString::fromLatin1(kVendorWebAddress), 9);
    txtPromo = label(this, "txtPromo",
                     QStringLiteral("Save money and the environment by reducing\n"
                                    "paper and ink usage through better\nprinter management."),
                     10);
    lblStatus = label(this, "lblStatus", QString(), 8);
    lblStatus->setWordWrap(true);
    lblStatus->setTextFormat(Qt::PlainText); // it names the server and queue
    lblStatus->setMinimumHeight(34);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* icon = new QLabel(this);
    icon->setPixmap(JobIcons::icon(2).pixmap(64, 64));

    auto* title = new QHBoxLayout;
    title->addWidget(icon);
    title->addSpacing(12);
    auto* names = new QVBoxLayout;
    names->addWidget(lblProductName);
    names->addWidget(lblVersion);
    title->addLayout(names, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(lblPlatform, 0, Qt::AlignRight);
    side->addStretch();
    title->addLayout(side);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 16);
    layout->addLayout(title);
    layout->addSpacing(14);
    layout->addWidget(txtPromo);
    layout->addStretch();
    layout->addWidget(lblCompanyProduct);
    layout->addSpacing(6);
    layout->addWidget(lblStatus);

    for (QLabel* muted : {lblVersion, lblPlatform, lblCompanyProduct, lblStatus})
        muted->setStyleSheet(QStringLiteral("color: #4a5563;"));
    txtPromo->setStyleSheet(QStringLiteral("color: #1f5f3a;"));

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(delayMs);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1->start();
}

void frmSplash::Timer1_Timer() {
    Timer1->stop();
    if (onTimer)
        onTimer();
    close();
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(250, 252, 255));
    background.setColorAt(1, QColor(226, 236, 246));
    p.fillRect(rect(), background);
    p.fillRect(QRect(0, 0, width(), 6), QColor(40, 110, 215));
    p.setPen(QColor(150, 165, 185));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
