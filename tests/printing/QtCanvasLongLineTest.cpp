// Lines and markers on raster pictures, which the Qt canvas draws by
// shortcuts (Qt's raster engine is slow on round-ended lines and on
// ellipses): a wide line is drawn flat with copied round ends, and repeated
// small ellipses are copied. The result must look as Qt's own drawing does.
#include "qt/QtCanvas.h"

#include "tests/printing/QtPrintSupport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

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

// A zigzag of wide process lines and a row of markers, drawn by the canvas
// and by Qt itself with round-ended lines and ellipses: the pictures agree
// but for a few pixels of antialiased fringe where the lines join; also on a
// picture for a screen scaled twice, where nothing may be copied enlarged.
TEST(QtCanvasLongLine, CopiedEndsAndMarkersLookAsQtDrawsThem) {
    test::EnsureGuiApplication();
    // The markers stand apart, so that the line ends show.
    const QPoint Points[] = {{30, 40}, {260, 90}, {60, 200}, {300, 260}, {300, 60}};
    const QPoint Markers[] = {{20, 285}, {60, 285}, {100, 285}, {140, 285}};
    const std::pair<int, int> Cases[] = {{4, 1}, {5, 1}, {9, 1}, {5, 2}};
    for (const auto& [Width, Scale] : Cases) {
        QImage Ours(340 * Scale, 300 * Scale, QImage::Format_RGB32);
        Ours.setDevicePixelRatio(Scale);
        Ours.fill(Qt::white);
        QImage Qts = Ours;
        {
            TQtCanvas Canvas(Ours);
            Canvas.SetPenColor(clBlack);
            Canvas.SetPenWidth(Width);
            Canvas.MoveTo(Points[0].x(), Points[0].y());
            for (const QPoint& P : Points) {
                Canvas.LineTo(P.x(), P.y());
            }
            Canvas.SetPenWidth(1);
            Canvas.SetFillColor(clRed);
            for (const QPoint& P : Markers) {
                Canvas.Ellipse(P.x() - 6, P.y() - 6, P.x() + 7, P.y() + 7);
            }
        }
        {
            QPainter P(&Qts);
            P.setRenderHint(QPainter::Antialiasing);
            const double O = Width % 2 != 0 ? 0.5 : 0.0;
            P.setPen(QPen(Qt::black, Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            for (std::size_t I = 0; I + 1 < std::size(Points); ++I) {
                P.drawLine(QPointF(Points[I]) + QPointF(O, O), QPointF(Points[I + 1]) + QPointF(O, O));
            }
            P.setPen(QPen(Qt::black, 1));
            P.setBrush(Qt::red);
            for (const QPoint& C : Markers) {
                P.drawEllipse(QRectF(C.x() - 6 + 0.5, C.y() - 6 + 0.5, 12, 12));
            }
        }
        int Differing = 0;
        int Worst = 0;
        for (int Y = 0; Y < Ours.height(); ++Y) {
            for (int X = 0; X < Ours.width(); ++X) {
                const QRgb Mine = Ours.pixel(X, Y);
                const QRgb Theirs = Qts.pixel(X, Y);
                const int D =
                    std::max({std::abs(qRed(Mine) - qRed(Theirs)), std::abs(qGreen(Mine) - qGreen(Theirs)),
                              std::abs(qBlue(Mine) - qBlue(Theirs))});
                Differing += D > 8;
                Worst = std::max(Worst, D);
            }
        }
        EXPECT_LE(Worst, 96) << "pen " << Width << ", scale " << Scale;
        EXPECT_LE(Differing, 80 * Scale * Scale) << "pen " << Width << ", scale " << Scale;
    }
}

} // namespace
} // namespace psykrona
