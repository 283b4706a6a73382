// Long slanted lines on large raster pictures, which the Qt canvas draws in
// pieces (Qt's raster engine is slow on the large bounding box of a whole
// line): the pieces must join into one unbroken line of the pen's width,
// without lighter seams where they meet, and end where the line ends.
#include "ui/QtCanvas.h"

#include "tests/printing/QtPrintSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace psykrona {
namespace {

constexpr QPointF A(100, 100);
constexpr QPointF B(3100, 2100);

QImage DrawLine(int Width) {
    test::EnsureGuiApplication();
    QImage Image(3200, 2200, QImage::Format_RGB32);
    Image.fill(Qt::white);
    TQtCanvas Canvas(Image);
    Canvas.SetPenColor(clRed);
    Canvas.SetPenWidth(Width);
    Canvas.MoveTo(static_cast<int>(A.x()), static_cast<int>(A.y()));
    Canvas.LineTo(static_cast<int>(B.x()), static_cast<int>(B.y()));
    return Image;
}

QRgb At(const QImage& Image, QPointF P) {
    return Image.pixel(static_cast<int>(std::floor(P.x())), static_cast<int>(std::floor(P.y())));
}

TEST(QtCanvasLongLine, AWidePenDrawsOneUnbrokenLineWithItsEnds) {
    const QImage Image = DrawLine(6);
    const QPointF D = (B - A) / std::hypot(B.x() - A.x(), B.y() - A.y());
    const QPointF Across(-D.y(), D.x());
    int Gaps = 0;
    int Outside = 0;
    // Every pixel on the axis and 1.5 pixels to either side is red; 6
    // pixels off it is paper.
    for (double T = 0; T <= 3605; T += 0.5) {
        const QPointF P = A + D * T;
        for (const double Side : {-1.5, 0.0, 1.5}) {
            Gaps += QColor(At(Image, P + Across * Side)) != QColor(Qt::red);
        }
        Outside += QColor(At(Image, P + Across * 6)) != QColor(Qt::white);
    }
    EXPECT_EQ(Gaps, 0);
    EXPECT_EQ(Outside, 0);
    // Red 2 pixels beyond either end on the axis, paper 5 beyond.
    for (const auto& [End, Out] : {std::pair{A, -D}, std::pair{B, D}}) {
        EXPECT_EQ(QColor(At(Image, End + Out * 2)), QColor(Qt::red));
        EXPECT_EQ(QColor(At(Image, End + Out * 5)), QColor(Qt::white));
    }
}

// A 2-pixel line's axis runs along pixel borders, so each pixel on it is
// nearly covered; where two pieces met without overlapping, the shared pixels
// came out pink.
TEST(QtCanvasLongLine, AThinPenLeavesNoLighterSeamsBetweenPieces) {
    const QImage Image = DrawLine(2);
    const QPointF D = (B - A) / std::hypot(B.x() - A.x(), B.y() - A.y());
    int Lightest = 0;
    for (double T = 5; T <= 3600; T += 0.25) {
        Lightest = std::max(Lightest, qGreen(At(Image, A + D * T)));
    }
    EXPECT_LE(Lightest, 20) << "green in the red line's axis pixels";
}

} // namespace
} // namespace psykrona
