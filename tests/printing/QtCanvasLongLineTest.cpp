// Long slanted lines on large raster pictures, which the Qt canvas draws in
// pieces (Qt's raster engine is slow on the large bounding box of a whole
// line): the pieces must join into one unbroken line of the pen's width,
// with round ends where the line ends.
#include "ui/QtCanvas.h"

#include "tests/printing/QtPrintSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace psykrona {
namespace {

TEST(QtCanvasLongLine, APiecewiseLineHasNoGapsAndKeepsItsWidth) {
    test::EnsureGuiApplication();
    QImage Image(3200, 2200, QImage::Format_RGB32);
    Image.fill(Qt::white);
    const QPointF A(100, 100);
    const QPointF B(3100, 2100);
    {
        TQtCanvas Canvas(Image);
        Canvas.SetPenColor(clRed);
        Canvas.SetPenWidth(6);
        Canvas.MoveTo(100, 100);
        Canvas.LineTo(3100, 2100);
    }
    const QPointF D = (B - A) / std::hypot(B.x() - A.x(), B.y() - A.y());
    const QPointF Across(-D.y(), D.x());
    int Gaps = 0;
    int Outside = 0;
    // Every pixel on the axis and 1.5 pixels to either side is red; 6
    // pixels off it is paper.
    for (double T = 0; T <= 3605; T += 0.5) {
        const QPointF P = A + D * T;
        for (const double Side : {-1.5, 0.0, 1.5}) {
            const QPointF Q = P + Across * Side;
            Gaps += Image.pixelColor(static_cast<int>(Q.x()), static_cast<int>(Q.y())) != QColor(Qt::red);
        }
        const QPointF Off = P + Across * 6;
        Outside +=
            Image.pixelColor(static_cast<int>(Off.x()), static_cast<int>(Off.y())) != QColor(Qt::white);
    }
    EXPECT_EQ(Gaps, 0);
    EXPECT_EQ(Outside, 0);
    // Round caps: red 2 pixels beyond either end on the axis, paper 5 beyond.
    for (const auto& [End, Out] : {std::pair{A, -D}, std::pair{B, D}}) {
        const QPointF Near = End + Out * 2;
        const QPointF Far = End + Out * 5;
        EXPECT_EQ(Image.pixelColor(static_cast<int>(Near.x()), static_cast<int>(Near.y())), QColor(Qt::red));
        EXPECT_EQ(Image.pixelColor(static_cast<int>(Far.x()), static_cast<int>(Far.y())), QColor(Qt::white));
    }
}

} // namespace
} // namespace psykrona
