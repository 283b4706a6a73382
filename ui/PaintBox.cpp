#include "ui/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace psykrona {

TPaintBox::TPaintBox(QWidget* Parent) : QWidget(Parent) {
    // The owner fills every pixel, so Qt need not clear the area first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter Painter(this);
    if (OnPaint) {
        OnPaint(Painter);
    } else {
        Painter.fillRect(rect(), Qt::white);
    }
}

void TPaintBox::mouseMoveEvent(QMouseEvent* Event) {
    if (OnMouseMove) {
        const QPoint At = Event->position().toPoint();
        OnMouseMove(At.x(), At.y());
    }
}

} // namespace psykrona
