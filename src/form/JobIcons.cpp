#include "form/JobIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace {

// Each picture is drawn on a 16 x 16 grid and scaled, so it stays sharp at any size.
void paintDocument(QPainter& p) {
    QPainterPath page;
    page.moveTo(3, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13, 4.5);
    page.lineTo(13, 14.5);
    page.lineTo(3, 14.5);
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 100, 115), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(10, 1.5), QPointF(10, 4.5));
    p.drawLine(QPointF(10, 4.5), QPointF(13, 4.5));
    p.setPen(QPen(QColor(150, 160, 175), 1));
    for (int y = 7; y <= 12; y += 2)
        p.drawLine(QPointF(5, y), QPointF(11, y));
}

void paintPrinter(QPainter& p) {
    p.setPen(QPen(QColor(70, 75, 85), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5)); // paper going in
    p.setBrush(QColor(120, 128, 140));
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 9.5, 7, 5)); // paper coming out
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 200, 60));
    p.drawEllipse(QRectF(11, 7, 2, 2));
}

void paintBadge(QPainter& p, const QColor& colour) {
    p.setPen(QPen(colour.darker(130), 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
}

void paintProblem(QPainter& p) {
    paintBadge(p, QColor(215, 45, 45));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(7, 4, 2, 6), 1, 1);
    p.drawEllipse(QRectF(7, 11, 2, 2));
}

void paintSpooling(QPainter& p) {
    paintBadge(p, QColor(40, 110, 215));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 4, 2, 5));
    QPolygonF head;
    head << QPointF(4.5, 8.5) << QPointF(11.5, 8.5) << QPointF(8, 12.5);
    p.drawPolygon(head);
}

void paintPaused(QPainter& p) {
    paintBadge(p, QColor(245, 140, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 4.5, 2, 7));
    p.drawRect(QRectF(8.5, 4.5, 2, 7));
}

QPixmap draw(int index, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    switch (index) {
    case 1:
        paintDocument(p);
        break;
    case 2:
        paintPrinter(p);
        break;
    case 4:
        paintSpooling(p);
        break;
    case 5:
        paintPaused(p);
        break;
    default:
        paintProblem(p);
        break;
    }
    return pixmap;
}

} // namespace

QIcon JobIcons::icon(int index) {
    static std::array<QIcon, Count> icons;
    if (index < 1 || index > Count)
        index = 3;
    QIcon& icon = icons[static_cast<std::size_t>(index - 1)];
    if (icon.isNull())
        for (int size : {16, 24, 32, 48})
            icon.addPixmap(draw(index, size));
    return icon;
}
