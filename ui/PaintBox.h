#pragma once

#include <QWidget>

#include <functional>

namespace psykrona {

// A plain area its owner paints on: the owner's OnPaint draws the whole
// area on every paint event, and OnMouseMove hears the pointer in the area's
// own pixels. Clicks do nothing.
class TPaintBox : public QWidget {
    Q_OBJECT

public:
    explicit TPaintBox(QWidget* Parent = nullptr);

    std::function<void(QPainter& Painter)> OnPaint;
    std::function<void(int X, int Y)> OnMouseMove;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
};

} // namespace psykrona
