// JPEG through libjpeg and our own BMP writer: the bytes a viewer reads,
// round trips, refusals of damaged data, and the picture format of a name.
#include "printing/PictureFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace psykrona {
namespace {

// Four quadrants: red, white, black and a blue-grey.
TPicture Quadrants(int W, int H) {
    TPicture P{W, H, {}};
    const TColor Colors[4] = {{220, 20, 20}, {255, 255, 255}, {0, 0, 0}, {60, 90, 160}};
    for (int Y = 0; Y < H; ++Y) {
        for (int X = 0; X < W; ++X) {
            const TColor C = Colors[(Y >= H / 2) * 2 + (X >= W / 2)];
            P.Rgb.insert(P.Rgb.end(), {C.R, C.G, C.B});
        }
    }
    return P;
}

std::string Jpeg(const TPicture& P) {
    const auto Bytes = EncodeJpeg(P);
    return std::string(Bytes.begin(), Bytes.end());
}

// One baseline frame (no progressive one) of the picture's size with three
// full-resolution components, and the colours back within a few steps.
TEST(PictureFiles, JpegIsBaselineAndKeepsTheColours) {
    const TPicture In = Quadrants(680, 480);
    const std::string Bytes = Jpeg(In);
    const std::size_t Sof = Bytes.find("\xFF\xC0");
    ASSERT_NE(Sof, std::string::npos);
    EXPECT_EQ(Bytes.find("\xFF\xC2"), std::string::npos);
    auto At = [&](std::size_t I) { return static_cast<std::uint8_t>(Bytes[Sof + I]); };
    EXPECT_EQ((std::vector<int>{At(4), At(5) << 8 | At(6), At(7) << 8 | At(8), At(9), At(11), At(14), At(17)}),
              (std::vector<int>{8, 480, 680, 3, 0x11, 0x11, 0x11}));
    const TPicture Out = DecodeJpeg(Bytes);
    ASSERT_EQ(Out.Rgb.size(), In.Rgb.size());
    for (const auto& [X, Y] : {std::pair{170, 120}, {510, 120}, {170, 360}, {510, 360}}) {
        for (int C = 0; C < 3; ++C) {
            const std::size_t I = static_cast<std::size_t>((Y * 680 + X) * 3 + C);
            EXPECT_NEAR(Out.Rgb[I], In.Rgb[I], 6) << X << "," << Y << " channel " << C;
        }
    }
}

// Damaged or foreign data, a header promising 60000 × 60000 pixels (10.8 GB
// decoded) and pictures without their pixels are refused.
TEST(PictureFiles, DamagedForeignOrHugeJpegsAreRefused) {
    const std::string Good = Jpeg(Quadrants(64, 48));
    std::string Huge = Good;
    const std::size_t Sof = Huge.find("\xFF\xC0");
    for (const std::size_t At : {Sof + 5, Sof + 7}) {
        Huge[At] = static_cast<char>(60000 >> 8);
        Huge[At + 1] = static_cast<char>(60000 & 0xFF);
    }
    for (const std::string& Bytes : {std::string(), std::string("not a JPEG"), Good.substr(0, Good.size() / 2),
                                     std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), Huge}) {
        EXPECT_THROW(DecodeJpeg(Bytes), EPictureError) << Bytes.size();
    }
    TPicture Short = Quadrants(4, 4);
    Short.Rgb.resize(10);
    for (const TPicture& Bad : {TPicture{}, Short}) {
        EXPECT_THROW(EncodeJpeg(Bad), EPictureError);
        EXPECT_THROW(EncodeBmp(Bad), EPictureError);
    }
}

TEST(PictureFiles, BmpRowsAreBottomUpBlueGreenRedAndPaddedToFourBytes) {
    // 3 × 2: a red, green, blue row over a white, black, grey one.
    const TPicture P{3, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128}};
    const std::vector<std::uint8_t> Header = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                              3,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 24, 0, 0, 0};
    const auto B = EncodeBmp(P);
    ASSERT_EQ(B.size(), 78u);
    EXPECT_EQ(std::vector<std::uint8_t>(B.begin(), B.begin() + 38), Header);
    EXPECT_EQ(std::vector<std::uint8_t>(B.begin() + 54, B.end()),
              (std::vector<std::uint8_t>{255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0, //
                                         0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}));
}

// Only the exact endings choose: anything else is a bitmap.
TEST(PictureFiles, ThePictureFormatFollowsTheExactEndingOfTheName) {
    using enum TPictureFormat;
    const std::pair<const char*, TPictureFormat> Cases[] = {
        {"plan.jpg", Jpeg},  {"PLAN.JPG", Bmp},  {"plan.Jpg", Bmp},  {"plan.jpeg", Bmp}, {"plan", Bmp},
        {"plan.bmp", Bmp},   {".jpg", Jpeg},     {"jpg", Bmp},       {"a/b.jpg/c", Bmp}, {"plan.png", Png},
        {"PLAN.PNG", Bmp},   {"plan.svg", Svg},  {"plan.svgz", Bmp}, {"", Bmp}};
    for (const auto& [Name, Format] : Cases) {
        EXPECT_EQ(PictureFormatOf(Name), Format) << Name;
    }
}

} // namespace
} // namespace psykrona
