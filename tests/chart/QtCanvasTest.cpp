// The Qt canvas on QImages: the face, text in its cell on its fill box and
// turned about the cell's corner, pictures stretched in their colours, and a
// whole chart landing where the recording canvas says.
#include "qt/QtCanvas.h"

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

// The smallest rectangle holding the pixels of a kind.
template <typename TKind> QRect Bounds(const QImage& Image, TKind Kind) {
    QRect R;
    for (int I = 0; I < Image.width() * Image.height(); ++I) {
        const QPoint P(I % Image.width(), I / Image.width());
        R = Kind(Image.pixelColor(P)) ? R.united(QRect(P, QSize(1, 1))) : R;
    }
    return R;
}
bool Dark(const QColor& C) { return qGray(C.rgb()) < 128; }

// Arial is drawn as Liberation Sans, its cell as high as the font. Capitals
// stand from 0.176 to 0.905 of the 1.117 em cell below its top;
// turned by 90° the text reads upwards from the corner with the cell to its
// right. A solid fill paints the cell's box and nothing beyond it.
TEST(QtCanvas, TextStandsInItsCellOnItsBoxAndTurnsAboutTheCorner) {
    for (const int Angle : {0, 90}) {
        QImage Image = White(300, 300);
        TQtCanvas Canvas(Image);
        Canvas.SetFont({"Arial", 40, Angle, 400});
        Canvas.SetFillColor({255, 255, 0});
        Canvas.TextOut(100, 150, "HHH");
        const int W = Canvas.TextWidth("HHH");
        EXPECT_EQ(QFontInfo(Canvas.CurrentQFont()).family(), "Liberation Sans") << "Arial's metric twin";
        EXPECT_EQ(Canvas.TextHeight("H"), 40);
        const QRect Glyphs = Bounds(Image, Dark);
        // Along the text (U) and down its cell (V), from the corner.
        const int U0 = Angle == 0 ? Glyphs.left() - 100 : 150 - Glyphs.bottom();
        const int U1 = Angle == 0 ? Glyphs.right() - 100 : 150 - Glyphs.top();
        const int V0 = Angle == 0 ? Glyphs.top() - 150 : Glyphs.left() - 100;
        const int V1 = Angle == 0 ? Glyphs.bottom() - 150 : Glyphs.right() - 100;
        EXPECT_TRUE(std::abs(U0) <= 5 && std::abs(U1 - W) <= 5 && std::abs(V0 - 6) <= 2 && std::abs(V1 - 32) <= 2)
            << Angle << ": " << U0 << ".." << U1 << " x " << V0 << ".." << V1 << " in a cell of " << W << " x 40";
        const QRect Box = Angle == 0 ? QRect(100, 150, W, 40) : QRect(100, 150 - W, 40, W);
        const QRect Painted = Bounds(Image, [](const QColor& C) { return C != Qt::white && !Dark(C); });
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
    EXPECT_EQ((std::vector<QColor>{Image.pixelColor(15, 23), Image.pixelColor(45, 23), Image.pixelColor(15, 37),
                                   Image.pixelColor(45, 37), Image.pixelColor(52, 30)}),
              (std::vector<QColor>{QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255), QColor(255, 255, 0), Qt::white}));
    EXPECT_EQ(Bounds(Image.copy(0, 0, 60, 19), Dark), QRect());
}

// Every line and marker of a chart with a process lies on the Qt image where
// the recording canvas has it, in its colour; the margins stay paper.
TEST(QtCanvas, AChartLandsWhereTheRecordingSays) {
    test::TChart C(800, 600);
    C.AddPoints({{0, 0.003}, {25, 0.003}, {28, 0.012}});
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
            EXPECT_TRUE(Seen == QColor(L.PenColor.R, L.PenColor.G, L.PenColor.B) || Seen == Qt::black)
                << L.ToString();
        }
    }
    EXPECT_GT(Lines, 20);
    EXPECT_EQ(Bounds(Image.copy(0, 560, 80, 40), Dark), QRect());
}

} // namespace
} // namespace psykrona
