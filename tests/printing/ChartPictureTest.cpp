// The chart picture export: the BMP is the picture as drawn and the JPEG
// nearly so (no colours swapped, no rows turned over), the SVG is a vector
// drawing of it.
#include "qt/ChartPicture.h"

#include "printing/PictureFiles.h"
#include "tests/chart/ChartFixture.h"
#include "tests/support/TempFolder.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>

namespace psykrona {
namespace {

TEST(ChartPicture, BmpJpegAndSvgHoldTheSamePicture) {
    test::TTempFolder Dir;
    test::TChart C;
    C.AddPoint(30, 0.009);
    C.AddPoint(16, 0.009);
    const QImage Drawn = RenderChartPicture(C.Draw, C.Doc);
    EXPECT_EQ(C.Draw.Canvas(), nullptr) << "the picture's canvas is gone";
    for (const char* Name : {"x.bmp", "x.jpg", "x.svg"}) {
        SaveChartPicture(C.Draw, C.Doc, Dir.File(Name));
    }
    const QImage FromBmp(QString::fromStdString(Dir.File("x.bmp")), "BMP");
    const TPicture FromJpeg = DecodeJpeg(Dir.Read("x.jpg"));
    ASSERT_EQ(FromBmp.size(), QSize(680, 680));
    ASSERT_EQ(FromJpeg.Width * FromJpeg.Height, 680 * 680);
    long Difference = 0;
    for (int Y = 0; Y < 680; ++Y) {
        for (int X = 0; X < 680; ++X) {
            const QRgb D = Drawn.pixel(X, Y);
            ASSERT_EQ(FromBmp.pixel(X, Y) & 0xFFFFFF, D & 0xFFFFFF) << X << "," << Y;
            const std::uint8_t* J = &FromJpeg.Rgb[static_cast<std::size_t>((Y * 680 + X) * 3)];
            Difference += std::abs(J[0] - qRed(D)) + std::abs(J[1] - qGreen(D)) + std::abs(J[2] - qBlue(D));
        }
    }
    EXPECT_LT(Difference / (680.0 * 680 * 3), 3.0) << "mean difference per channel";
    const std::string Svg = Dir.Read("x.svg");
    EXPECT_NE(Svg.find("viewBox=\"0 0 680 680\""), std::string::npos);
    EXPECT_NE(Svg.find(">TXT_CHART_TITLE 101.3 kPa<"), std::string::npos) << "the title, as text";
    EXPECT_EQ(Svg.find("<image"), std::string::npos) << "no bitmap inside";
    EXPECT_THROW(SaveChartPicture(C.Draw, C.Doc, Dir.File("missing/x.jpg")), EPictureError) << "not written";
}

} // namespace
} // namespace psykrona
