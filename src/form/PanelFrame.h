#pragma once

#include <QFrame>

class QLabel;

// One of the main window's panels: a borderless frame with a caption, placed by the
// layout in twips. It draws a single-line border while the pointer is well inside it.
class PanelFrame : public QFrame {
    Q_OBJECT
public:
    PanelFrame(const QString& name, const QString& caption, QWidget* parent);

    // The area below the caption, for the panel's controls.
    QWidget* body() const { return body_; }

    // Places the frame by its design measures in twips.
    void setGeometryTwips(int left, int top, int width, int height);
    int leftTwips() const { return left_; }
    int topTwips() const { return top_; }
    int widthTwips() const { return width_; }
    int heightTwips() const { return height_; }

    // The hover rule: a border when the point (in twips) lies more than 150 twips
    // inside every edge, none when it lies in that edge band.
    void hoverAt(int xTwips, int yTwips);
    bool hasBorder() const { return frameShape() != QFrame::NoFrame; }
    // The pointer reaching `control` (a control of the panel that takes the mouse
    // moves itself) gives the panel its border too.
    void borderWhenOver(QWidget* control);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    // Leaving the frame passes its edge band, however fast the pointer goes.
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* caption_;
    QWidget* body_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};
