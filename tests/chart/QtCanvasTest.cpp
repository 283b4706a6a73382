// The Qt canvas on QImages: the face and the text cell, text on its fill
// box and turned about the cell's corner, pictures stretched in their
// colours, and a whole chart landing where the recording canvas says.
#include "ui/QtCanvas.h"

#include "tests/chart/ChartFixture.h"

#include <QFontInfo>
#include <QImage>

#include <gtest/gtest.h>

namespace psykrona {
namespace {

QImage White(int W, int H) {
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(Qt::white);
    return Image;
}

// The smallest rectangle holding the dark pixels.
QRect Ink(const QImage& Image) {
    QRect R;
    for (int Y = 0; Y < Image.height(); ++Y) {
        for (int X = 0; X < Image.width(); ++X) {
            if (qGray(Image.pixel(X, Y)) < 128) {
                R = R.united(QRect(X, Y, 1, 1));
            }
        }
    }
    return R;
}

TEST(QtCanvas, ArialIsLiberationSansWithTheCellHeightAsAscentPlusDescent) {
    QImage Image = White(100, 100);
    TQtCanvas Canvas(Image);
    for (const int H : {11, 15, 17, 85, 100}) {
        Canvas.SetFont({"Arial", H, 0, 400});
        EXPECT_EQ(QFontInfo(Canvas.CurrentQFont()).family(), "Liberation Sans");
        EXPECT_EQ(Canvas.TextHeight("0"), H);
        // Arial's digits are 0.556 em wide and its cell is 1.117 em high.
        EXPECT_NEAR(Canvas.TextWidth("0000000000"), 10 * 0.556 / 1.117 * H, 1) << H;
    }
}

// Capitals stand from 0.176 to 0.905 of the 1.117 em cell below its top;
// turned by 90° the text reads upwards from the corner with the cell to its
// right. A solid fill paints the cell's box and nothing beyond it.
TEST(QtCanvas, TextStandsInItsCellOnItsBoxAndTurnsAboutTheCorner) {
    const TColor Blue{0, 0, 255};
    for (const int Angle : {0, 90}) {
        QImage Image = White(300, 300);
        QImage Boxed = White(300, 300);
        int W = 0;
        {
            TQtCanvas Canvas(Image);
            Canvas.SetFont({"Arial", 40, Angle, 400});
            W = Canvas.TextWidth("HHH");
            Canvas.SetFillStyle(TFillStyle::Clear);
            Canvas.TextOut(100, 150, "HHH");
            TQtCanvas Box(Boxed);
            Box.SetFont({"Arial", 40, Angle, 400});
            Box.SetFillColor(Blue);
            Box.TextOut(100, 150, "HHH");
        }
        const QRect Glyphs = Ink(Image);
        // Along the text (U) and down its cell (V), from the corner.
        const int U0 = Angle == 0 ? Glyphs.left() - 100 : 150 - Glyphs.bottom();
        const int U1 = Angle == 0 ? Glyphs.right() - 100 : 150 - Glyphs.top();
        const int V0 = Angle == 0 ? Glyphs.top() - 150 : Glyphs.left() - 100;
        const int V1 = Angle == 0 ? Glyphs.bottom() - 150 : Glyphs.right() - 100;
        EXPECT_NEAR(U0, 0, 5) << Angle;
        EXPECT_NEAR(U1, W, 5) << Angle;
        EXPECT_NEAR(V0, 6, 2) << Angle;
        EXPECT_NEAR(V1, 32, 2) << Angle;
        const QRect Box = Angle == 0 ? QRect(100, 150, W, 40) : QRect(100, 150 - W, 40, W);
        const QRect Painted = [&] {
            QRect R;
            for (int Y = 0; Y < 300; ++Y) {
                for (int X = 0; X < 300; ++X) {
                    R = Boxed.pixelColor(X, Y) == QColor(Qt::blue) ? R.united(QRect(X, Y, 1, 1)) : R;
                }
            }
            return R;
        }();
        EXPECT_LE((Painted.topLeft() - Box.topLeft()).manhattanLength(), 2) << Angle;
        EXPECT_LE((Painted.bottomRight() - Box.bottomRight()).manhattanLength(), 2) << Angle;
    }
}

TEST(QtCanvas, PicturesAreStretchedIntoTheirRectangleInTheirColours) {
    const TPicture Picture{2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}};
    QImage Image = White(60, 60);
    {
        TQtCanvas Canvas(Image);
        Canvas.StretchDraw({10, 20, 50, 40}, Picture);
        EXPECT_THROW(Canvas.StretchDraw({0, 0, 5, 5}, TPicture{3, 3, {1, 2, 3}}), std::runtime_error);
    }
    EXPECT_EQ(Image.pixelColor(15, 23), QColor(255, 0, 0));
    EXPECT_EQ(Image.pixelColor(45, 23), QColor(0, 255, 0));
    EXPECT_EQ(Image.pixelColor(15, 37), QColor(0, 0, 255));
    EXPECT_EQ(Image.pixelColor(45, 37), QColor(255, 255, 0));
    EXPECT_EQ(Ink(Image.copy(0, 0, 60, 19)), QRect());
    EXPECT_EQ(Image.pixelColor(52, 30), QColor(Qt::white));
}

// Every line and marker of a chart with a process lies on the Qt image where
// the recording canvas has it, in its colour; the margins stay paper.
TEST(QtCanvas, AChartLandsWhereTheRecordingSays) {
    test::TChart C(800, 600);
    C.AddPoint(0, 0.003);
    C.AddPoint(25, 0.003);
    C.AddPoint(28, 0.012);
    C.Render();
    QImage Image = White(800, 600);
    {
        TQtCanvas Canvas(Image);
        C.Draw.SetCanvas(&Canvas, 0, 0, 800, 600);
        C.Draw.DrawDiagram(false);
    }
    int Lines = 0;
    for (const test::TRecordedCall& L : C.Canvas.Calls) {
        const QPoint Mid((L.X1 + L.X2) / 2, (L.Y1 + L.Y2) / 2);
        if (L.Name == "Ellipse") {
            EXPECT_EQ(Image.pixelColor(Mid), QColor(clAqua.R, clAqua.G, clAqua.B)) << L.ToString();
        } else if (L.Name == "LineTo" && (L.X1 == L.X2 || L.Y1 == L.Y2) && L.PenWidth > 1) {
            ++Lines;
            // The frame lies over the outer grid lines.
            const QColor Seen = Image.pixelColor(Mid);
            EXPECT_TRUE(Seen == QColor(L.PenColor.R, L.PenColor.G, L.PenColor.B) || Seen == QColor(Qt::black))
                << L.ToString();
        }
    }
    EXPECT_GT(Lines, 20);
    EXPECT_EQ(Ink(Image.copy(0, 560, 80, 40)), QRect());
}

} // namespace
} // namespace psykrona
