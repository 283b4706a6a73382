// The Qt canvas on QImages: the text cell and its fill box, rotation about
// the cell's corner, the face substitution, line and shape placement, and
// the default chart drawn through it where the layout says.
#include "qt/QtCanvas.h"

#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "engine/NumberText.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace psykrona {
namespace {

class TQtCanvasTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QGuiApplication::instance() == nullptr) {
            static int Argc = 1;
            static char Name[] = "chart_qt_tests";
            static char* Argv[] = {Name, nullptr};
            static QGuiApplication App(Argc, Argv);
        }
    }

    static QImage White(int W, int H) {
        QImage Image(W, H, QImage::Format_RGB32);
        Image.fill(Qt::white);
        return Image;
    }
};

bool IsColor(const QImage& Image, int X, int Y, TColor C) {
    return Image.pixelColor(X, Y) == QColor(C.R, C.G, C.B);
}

// The rows and columns holding dark pixels.
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

TEST_F(TQtCanvasTest, ArialIsLiberationSansWithTheCellHeightAsAscentPlusDescent) {
    QImage Image = White(100, 100);
    TQtCanvas Canvas(Image);
    for (const int H : {11, 15, 17, 85, 100}) {
        Canvas.SetFont({"Arial", H, 0, 400});
        EXPECT_EQ(QFontInfo(Canvas.CurrentQFont()).family(), "Liberation Sans");
        EXPECT_EQ(Canvas.TextHeight("0"), H);
        const QFontMetricsF M(Canvas.CurrentQFont(), &Image);
        EXPECT_NEAR((M.ascent() + M.descent()) * Canvas.FontScale(), H, 0.1) << H;
        // Arial's digits are 0.556 em wide and its cell is 1.117 em high.
        EXPECT_NEAR(Canvas.TextWidth("0000000000"), 10 * 0.556 / 1.117 * H, 1) << H;
    }
    Canvas.SetFont({"Arial", 40, 0, 900});
    EXPECT_GE(QFontInfo(Canvas.CurrentQFont()).weight(), 700);
}

TEST_F(TQtCanvasTest, TextStandsInItsCellOnABoxOfTheFillColourWhenSolid) {
    const TColor Blue{0, 0, 255};
    const int H = 40;
    for (const int Angle : {0, 90}) {
        QImage Image = White(300, 300);
        int W = 0;
        {
            TQtCanvas Canvas(Image);
            Canvas.SetFont({"Arial", H, Angle, 400});
            W = Canvas.TextWidth("HHH");
            Canvas.SetFillStyle(TFillStyle::Clear);
            Canvas.TextOut(100, 150, "HHH");
        }
        // The glyphs stand between the top of the cell and the baseline at
        // 0.905 / 1.117 of the cell: capitals from 0.176 / 1.117 of it down.
        const QRect Glyphs = Ink(Image);
        const QRect Expected = Angle == 0 ? QRect(100, 150 + 6, W, 27) : QRect(150 - W, 100 + 6, W, 27);
        const QRect Seen =
            Angle == 0 ? Glyphs : QRect(Glyphs.y(), Glyphs.x(), Glyphs.height(), Glyphs.width());
        EXPECT_NEAR(Seen.left(), Expected.left(), 5) << Angle;
        EXPECT_NEAR(Seen.right(), Expected.right(), 5) << Angle;
        EXPECT_NEAR(Seen.top(), Expected.top(), 2) << Angle;
        EXPECT_NEAR(Seen.bottom(), Expected.bottom(), 2) << Angle;
        if (Angle == 90) {
            // Turned counter-clockwise about the cell's top left corner: the
            // text reads upwards from (100, 150) with the cell to its right.
            EXPECT_GE(Glyphs.left(), 100);
            EXPECT_LE(Glyphs.bottom(), 150);
        }

        QImage Boxed = White(300, 300);
        {
            TQtCanvas Canvas(Boxed);
            Canvas.SetFont({"Arial", H, Angle, 400});
            Canvas.SetFillColor(Blue);
            Canvas.TextOut(100, 150, "   ");
        }
        const int Sw = [&] {
            TQtCanvas Canvas(Image);
            Canvas.SetFont({"Arial", H, Angle, 400});
            return Canvas.TextWidth("   ");
        }();
        // Inside the box, just outside it on every side.
        const QPoint In = Angle == 0 ? QPoint(100 + Sw / 2, 150 + H / 2) : QPoint(100 + H / 2, 150 - Sw / 2);
        const QPoint Out[] = {Angle == 0 ? QPoint(98, 170) : QPoint(98, 150 - Sw / 2),
                              Angle == 0 ? QPoint(100 + Sw + 2, 170) : QPoint(100 + H + 2, 150 - Sw / 2),
                              Angle == 0 ? QPoint(110, 148) : QPoint(110, 150 - Sw - 2),
                              Angle == 0 ? QPoint(110, 150 + H + 2) : QPoint(110, 152)};
        EXPECT_TRUE(IsColor(Boxed, In.x(), In.y(), Blue)) << Angle;
        for (const QPoint P : Out) {
            EXPECT_TRUE(IsColor(Boxed, P.x(), P.y(), clWhite)) << Angle << " at " << P.x() << "," << P.y();
        }
    }
}

TEST_F(TQtCanvasTest, LinesAndShapesCoverWholePixels) {
    QImage Image = White(100, 100);
    {
        TQtCanvas Canvas(Image);
        Canvas.SetPenWidth(2);
        Canvas.MoveTo(10, 20);
        Canvas.LineTo(60, 20);
        Canvas.SetPenWidth(1);
        Canvas.SetPenColor(clRed);
        Canvas.MoveTo(10, 40);
        Canvas.LineTo(60, 40);
        EXPECT_EQ(Canvas.PenPos(), (TPoint{60, 40}));
        Canvas.SetPenColor(clBlack);
        Canvas.SetPenWidth(2);
        Canvas.SetFillColor(clAqua);
        Canvas.Ellipse(70, 70, 79, 79);
    }
    // Two pixels wide on either side of the border at y = 20; one pixel on
    // row 40.
    EXPECT_TRUE(IsColor(Image, 30, 19, clBlack));
    EXPECT_TRUE(IsColor(Image, 30, 20, clBlack));
    EXPECT_TRUE(IsColor(Image, 30, 18, clWhite));
    EXPECT_TRUE(IsColor(Image, 30, 21, clWhite));
    EXPECT_TRUE(IsColor(Image, 30, 40, clRed));
    EXPECT_TRUE(IsColor(Image, 30, 39, clWhite));
    EXPECT_TRUE(IsColor(Image, 30, 41, clWhite));
    EXPECT_TRUE(IsColor(Image, 74, 74, clAqua));
    EXPECT_EQ(qGray(Image.pixel(70, 74)) < 128, true);
    EXPECT_TRUE(IsColor(Image, 74, 66, clWhite));

    // The main window's white field with a 3-pixel frame, on a red page.
    QImage Page(50, 40, QImage::Format_RGB32);
    Page.fill(Qt::red);
    {
        TQtCanvas Canvas(Page);
        Canvas.SetPenWidth(3);
        Canvas.Rectangle(0, 0, 50, 40);
    }
    for (const QPoint P :
         {QPoint(0, 20), QPoint(1, 20), QPoint(49, 20), QPoint(48, 20), QPoint(25, 0), QPoint(25, 39)}) {
        EXPECT_TRUE(IsColor(Page, P.x(), P.y(), clBlack)) << P.x() << "," << P.y();
    }
    EXPECT_TRUE(IsColor(Page, 2, 20, clWhite));
    EXPECT_TRUE(IsColor(Page, 47, 20, clWhite));
}

TEST_F(TQtCanvasTest, PicturesAreStretchedIntoTheirRectangle) {
    TPicture Picture{2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}};
    QImage Image = White(60, 60);
    {
        TQtCanvas Canvas(Image);
        Canvas.StretchDraw({10, 20, 50, 40}, Picture);
        EXPECT_THROW(Canvas.StretchDraw({0, 0, 5, 5}, TPicture{3, 3, {1, 2, 3}}), std::runtime_error);
    }
    const QColor TopLeft = Image.pixelColor(15, 23);
    const QColor BottomRight = Image.pixelColor(45, 37);
    EXPECT_GT(TopLeft.red(), 200);
    EXPECT_LT(TopLeft.blue(), 60);
    EXPECT_GT(BottomRight.red(), 200);
    EXPECT_GT(BottomRight.green(), 200);
    EXPECT_LT(BottomRight.blue(), 60);
    EXPECT_GT(Image.pixelColor(45, 23).green(), 200);
    EXPECT_GT(Image.pixelColor(15, 37).blue(), 200);
    EXPECT_TRUE(IsColor(Image, 8, 30, clWhite));
    EXPECT_TRUE(IsColor(Image, 52, 30, clWhite));
    EXPECT_TRUE(IsColor(Image, 30, 42, clWhite));
}

TEST_F(TQtCanvasTest, DefaultChartHasItsFrameAndGridWhereTheLayoutSays) {
    SetDecimalSeparator('.');
    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    Draw.Document = &Doc;
    Draw.Options = &Options;
    QImage Image = White(800, 600);
    {
        TQtCanvas Canvas(Image);
        Draw.SetCanvas(&Canvas, 0, 0, 800, 600);
        Draw.DrawDiagram(false);
    }
    // Frame, 2 pixels either side of the border: left edge at x = 100 from
    // y = 60 to 540, top edge at y = 60 from x = 100 to 740.
    for (const int Y : {80, 300, 520}) {
        EXPECT_TRUE(IsColor(Image, 99, Y, clBlack)) << Y;
        EXPECT_TRUE(IsColor(Image, 100, Y, clBlack)) << Y;
    }
    for (const int X : {120, 420, 720}) {
        EXPECT_TRUE(IsColor(Image, X, 59, clBlack)) << X;
        EXPECT_TRUE(IsColor(Image, X, 60, clBlack)) << X;
    }
    const int Right = Draw.StateToPixel(40, 0.035).X;
    EXPECT_EQ(Right, 740);
    EXPECT_TRUE(IsColor(Image, 739, 100, clBlack));
    // Major humidity-ratio line 0.010 kg/kg (x = 283) and the 0 °C isotherm
    // (y = 403), red and 2 pixels wide.
    for (const int Y : {100, 200, 280}) {
        EXPECT_TRUE(IsColor(Image, 282, Y, clRed)) << Y;
        EXPECT_TRUE(IsColor(Image, 283, Y, clRed)) << Y;
    }
    EXPECT_TRUE(IsColor(Image, 120, 402, clRed));
    EXPECT_TRUE(IsColor(Image, 120, 403, clRed));
    // Beyond the saturation curve and in the margins: nothing.
    for (const QPoint P : {QPoint(700, 400), QPoint(600, 520), QPoint(20, 580), QPoint(780, 20)}) {
        EXPECT_TRUE(IsColor(Image, P.x(), P.y(), clWhite)) << P.x() << "," << P.y();
    }
    // The labels of the 0 °C isotherm and of 0.010 kg/kg are dark ink left
    // of and above the frame.
    EXPECT_FALSE(Ink(Image.copy(60, 395, 35, 16)).isEmpty());
    EXPECT_FALSE(Ink(Image.copy(255, 38, 56, 18)).isEmpty());
}

} // namespace
} // namespace psykrona
