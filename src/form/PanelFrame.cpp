#include "form/PanelFrame.h"

#include "form/Twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

PanelFrame::PanelFrame(const QString& name, const QString& caption, QWidget* parent)
    : QFrame(parent), caption_(new QLabel(caption, this)), body_(new QWidget(this)) {
    setObjectName(name);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    body_->setMouseTracking(true);
    QFont font = caption_->font();
    font.setBold(true);
    caption_->setFont(font);
    caption_->setStyleSheet(QStringLiteral("color: #27466b;"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(caption_);
    layout->addWidget(body_, 1);
    hide();
}

void PanelFrame::setGeometryTwips(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width),
                Twips::toPixels(height));
}

void PanelFrame::hoverAt(int x, int y) {
    const bool inside = x > 150 && x < width_ - 150 && y > 150 && y < height_ - 150;
    setFrameShape(inside ? QFrame::Box : QFrame::NoFrame);
}

void PanelFrame::borderWhenOver(QWidget* control) {
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

bool PanelFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
        setFrameShape(QFrame::Box);
    return QFrame::eventFilter(watched, event);
}

void PanelFrame::leaveEvent(QEvent* event) {
    setFrameShape(QFrame::NoFrame);
    QFrame::leaveEvent(event);
}

void PanelFrame::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    hoverAt(Twips::fromPixels(at.x()), Twips::fromPixels(at.y()));
    QFrame::mouseMoveEvent(event);
}
