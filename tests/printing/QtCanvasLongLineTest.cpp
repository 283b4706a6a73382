// Lines and markers on raster pictures, which the Qt canvas draws by
// shortcuts (Qt's raster engine is slow on round-ended lines and on
// ellipses): a wide line is drawn flat with copied round ends, and repeated
// small ellipses are copied. The result must look as Qt's own drawing does.
#include "qt/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace psykrona {
namespace {

// A zigzag of wide process lines and a row of markers, drawn by the canvas
// and by Qt itself with round-ended lines and ellipses: the pictures agree
// but for a few pixels of antialiased fringe where the lines join; also on a
// picture for a screen scaled twice, where nothing may be copied enlarged.
TEST(QtCanvasLongLine, CopiedEndsAndMarkersLookAsQtDrawsThem) {
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
        for (int I = 0; I < Ours.width() * Ours.height(); ++I) {
            const QRgb Mine = Ours.pixel(I % Ours.width(), I / Ours.width());
            const QRgb Theirs = Qts.pixel(I % Ours.width(), I / Ours.width());
            const int D = std::max({std::abs(qRed(Mine) - qRed(Theirs)), std::abs(qGreen(Mine) - qGreen(Theirs)),
                                    std::abs(qBlue(Mine) - qBlue(Theirs))});
            Differing += D > 8;
            Worst = std::max(Worst, D);
        }
        EXPECT_LE(Worst, 96) << "pen " << Width << ", scale " << Scale;
        EXPECT_LE(Differing, 80 * Scale * Scale) << "pen " << Width << ", scale " << Scale;
    }
}

} // namespace
} // namespace psykrona
