// The chart picture export: 680 × 680 pixels in the format the file name
// asks for, checked in the bytes a viewer reads; the same picture in every
// format; the renderer handed back without the picture's canvas.
#include "qt/ChartPicture.h"

#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "printing/PictureFiles.h"
#include "tests/files/FileTestSupport.h"
#include "tests/printing/JpegMarkers.h"
#include "tests/printing/QtPrintSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace psykrona {
namespace {

using test::ReadBytes;
using test::TTempDir;

class ChartPictureTest : public testing::Test {
protected:
    ChartPictureTest() {
        test::EnsureGuiApplication();
        SetDecimalSeparator('.');
        Draw.Options = &Options;
        Draw.Document = &Doc;
        const double Temps[2] = {30, 16};
        for (int I = 0; I < 2; ++I) {
            TMollierPoint& P = Doc.AddPoint();
            P.Number = I + 1;
            P.Temp = Temps[I];
            P.SpecHum = 0.009;
            P.Prescribed1 = PROP_TEMP;
            P.Prescribed2 = PROP_SPECHUM;
        }
        Doc.CalculateAll();
    }

    std::string Save(const std::string& Name) {
        const std::string Path = Dir / Name;
        SaveChartPicture(Draw, Doc, Path);
        return ReadBytes(Path);
    }

    TTempDir Dir;
    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
};

TEST_F(ChartPictureTest, AJpgNameGivesABaselineJpegOf680Pixels) {
    const std::string Bytes = Save("plan.jpg");
    const auto Header = test::ReadJpegHeader(Bytes);
    EXPECT_TRUE(Header.StartsWithSoi);
    EXPECT_TRUE(Header.EndsWithEoi);
    ASSERT_EQ(Header.Frames(), std::vector<std::uint8_t>{0xC0});
    const auto Frame = test::ReadFrame(*Header.Find(0xC0));
    EXPECT_EQ(Frame.Width, 680);
    EXPECT_EQ(Frame.Height, 680);
    EXPECT_EQ(Frame.Sampling.size(), 3u);
}

TEST_F(ChartPictureTest, EveryOtherNameGivesTheFormatOfItsExactEnding) {
    struct TCase {
        const char* Name;
        std::string Magic;
    };
    const TCase Cases[] = {{"PLAN.JPG", "BM"}, {"plan", "BM"}, {"plan.png", "\x89PNG\r\n\x1a\n"}};
    for (const TCase& C : Cases) {
        const std::string Bytes = Save(C.Name);
        EXPECT_EQ(Bytes.substr(0, C.Magic.size()), C.Magic) << C.Name;
        const QImage Image(QString::fromStdString(Dir / C.Name), C.Magic == "BM" ? "BMP" : "PNG");
        ASSERT_FALSE(Image.isNull()) << C.Name;
        EXPECT_EQ(Image.size(), QSize(680, 680)) << C.Name;
        if (C.Magic == "BM") {
            EXPECT_EQ(static_cast<std::uint8_t>(Bytes[28]), 24) << C.Name << ": 24 bits a pixel";
        }
    }
}

TEST_F(ChartPictureTest, AnSvgNameGivesAVectorDrawingOfTheSamePicture) {
    const std::string Svg = Save("plan.svg");
    EXPECT_NE(Svg.find("<svg"), std::string::npos);
    EXPECT_NE(Svg.find("viewBox=\"0 0 680 680\""), std::string::npos);
    EXPECT_NE(Svg.find(">TXT_CHART_TITLE 101.3 kPa<"), std::string::npos) << "the title, as text";
    EXPECT_NE(Svg.find(">Psykrona 2.1b<"), std::string::npos);
    EXPECT_EQ(Svg.find("<image"), std::string::npos) << "no bitmap inside";
}

// The BMP is the picture as drawn; the JPEG decodes to nearly the same
// pixels, so neither has its colours swapped or its rows turned over.
TEST_F(ChartPictureTest, BmpAndJpegHoldTheSameChart) {
    const QImage Drawn = RenderChartPicture(Draw, Doc);
    Save("x.bmp");
    const QImage FromBmp(QString::fromStdString(Dir / "x.bmp"), "BMP");
    const TPicture FromJpeg = DecodeJpeg(Save("x.jpg"));
    ASSERT_EQ(FromBmp.size(), Drawn.size());
    ASSERT_EQ(FromJpeg.Width, 680);
    long Difference = 0;
    int Red = 0;
    for (int Y = 0; Y < 680; ++Y) {
        for (int X = 0; X < 680; ++X) {
            const QRgb D = Drawn.pixel(X, Y);
            ASSERT_EQ(FromBmp.pixel(X, Y) & 0xFFFFFF, D & 0xFFFFFF) << X << "," << Y;
            const std::uint8_t* J = &FromJpeg.Rgb[static_cast<std::size_t>((Y * 680 + X) * 3)];
            Difference += std::abs(J[0] - qRed(D)) + std::abs(J[1] - qGreen(D)) + std::abs(J[2] - qBlue(D));
            Red += test::IsChartRed(D);
        }
    }
    EXPECT_LT(Difference / (680.0 * 680 * 3), 3.0) << "mean difference per channel";
    EXPECT_GT(Red, 10000) << "the chart's red lines";
}

TEST_F(ChartPictureTest, ThePictureIsTheChartWithItsTitleOnWhite) {
    const QImage Image = RenderChartPicture(Draw, Doc);
    ASSERT_EQ(Image.size(), QSize(680, 680));
    // The frame's left edge at the margin of 680 div 8, from the top edge
    // (71, a tenth of the 714 pixels the chart is laid out in) down.
    EXPECT_EQ(QColor(Image.pixel(85, 300)), QColor(Qt::black));
    EXPECT_EQ(QColor(Image.pixel(5, 675)), QColor(Qt::white));
    // The title's ink lies in its 17-pixel line from y = 10, about x = 333;
    // the version mark stands right of x = 540.
    const QRect Title = test::BoundsOf(Image.copy(0, 0, 540, 30), [](QRgb C) { return qGray(C) < 100; });
    ASSERT_FALSE(Title.isEmpty());
    EXPECT_GE(Title.top(), 10);
    EXPECT_LE(Title.bottom(), 27);
    EXPECT_NEAR((Title.left() + Title.right()) / 2.0, 333, 6);
    EXPECT_EQ(Draw.Canvas(), nullptr) << "the picture's canvas is gone";
}

// Values from a hand-edited file, far off the chart or not numbers at all,
// on pixels: the picture comes out, with the frame where it always is.
TEST_F(ChartPictureTest, ExtremeValuesStillGiveThePicture) {
    const double Far[][2] = {{3e6, 0.008}, {-2e6, 500}, {1e300, std::nan("")}, {20, -1e308}};
    for (const auto& [Temp, SpecHum] : Far) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = Doc.PointCount();
        P.Temp = Temp;
        P.SpecHum = SpecHum;
    }
    const QImage Image = RenderChartPicture(Draw, Doc);
    ASSERT_EQ(Image.size(), QSize(680, 680));
    EXPECT_EQ(QColor(Image.pixel(85, 300)), QColor(Qt::black));
}

} // namespace
} // namespace psykrona
