// JPEG through libjpeg and our own BMP writer: the bytes a viewer reads
// (markers, headers, row order), round trips, refusals of damaged data, the
// file-name rule of the picture export, and the logo shipped in data/.
#include "printing/PictureFiles.h"

#include "tests/printing/JpegMarkers.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace psykrona {
namespace {

using test::ReadFrame;
using test::ReadJpegHeader;

// Four quadrants: red, white, black and a blue-grey.
TPicture Quadrants(int W, int H) {
    TPicture P;
    P.Width = W;
    P.Height = H;
    P.Rgb.resize(static_cast<std::size_t>(W * H * 3));
    const TColor Colors[4] = {{220, 20, 20}, {255, 255, 255}, {0, 0, 0}, {60, 90, 160}};
    for (int Y = 0; Y < H; ++Y) {
        for (int X = 0; X < W; ++X) {
            const TColor C = Colors[(Y >= H / 2) * 2 + (X >= W / 2)];
            std::uint8_t* Px = &P.Rgb[static_cast<std::size_t>((Y * W + X) * 3)];
            Px[0] = C.R;
            Px[1] = C.G;
            Px[2] = C.B;
        }
    }
    return P;
}

std::string AsString(const std::vector<std::uint8_t>& Bytes) {
    return std::string(Bytes.begin(), Bytes.end());
}

std::uint32_t Le(const std::vector<std::uint8_t>& B, std::size_t At, int Bytes) {
    std::uint32_t V = 0;
    for (int I = Bytes - 1; I >= 0; --I) {
        V = V << 8 | B[At + static_cast<std::size_t>(I)];
    }
    return V;
}

TEST(PictureFiles, JpegIsBaselineWithThreeFullResolutionComponentsAtQuality90) {
    const std::string Jpeg = AsString(EncodeJpeg(Quadrants(680, 680)));
    const auto Header = ReadJpegHeader(Jpeg);
    EXPECT_TRUE(Header.StartsWithSoi);
    EXPECT_TRUE(Header.EndsWithEoi);
    EXPECT_EQ(Header.Frames(), std::vector<std::uint8_t>{0xC0}) << "one baseline frame, nothing progressive";
    const auto* Sof = Header.Find(0xC0);
    ASSERT_NE(Sof, nullptr);
    const auto Frame = ReadFrame(*Sof);
    EXPECT_EQ(Frame.Precision, 8);
    EXPECT_EQ(Frame.Width, 680);
    EXPECT_EQ(Frame.Height, 680);
    EXPECT_EQ(Frame.Sampling, (std::vector<int>{0x11, 0x11, 0x11}));
    // Quality 90 scales the standard tables to 20 %: the luminance DC step
    // 16 becomes 3.
    const auto* Dqt = Header.Find(0xDB);
    ASSERT_NE(Dqt, nullptr);
    EXPECT_EQ(static_cast<std::uint8_t>(Dqt->Data[0]), 0) << "8-bit table 0";
    EXPECT_EQ(static_cast<std::uint8_t>(Dqt->Data[1]), 3);
    EXPECT_NE(Header.Find(0xE0), nullptr) << "a JFIF header";
}

TEST(PictureFiles, JpegRoundTripKeepsTheColours) {
    const TPicture In = Quadrants(64, 48);
    const TPicture Out = DecodeJpeg(AsString(EncodeJpeg(In)));
    ASSERT_EQ(Out.Width, 64);
    ASSERT_EQ(Out.Height, 48);
    ASSERT_EQ(Out.Rgb.size(), In.Rgb.size());
    for (const auto& [X, Y] : {std::pair{16, 12}, {48, 12}, {16, 36}, {48, 36}}) {
        for (int C = 0; C < 3; ++C) {
            const std::size_t I = static_cast<std::size_t>((Y * 64 + X) * 3 + C);
            EXPECT_NEAR(Out.Rgb[I], In.Rgb[I], 6) << X << "," << Y << " channel " << C;
        }
    }
}

TEST(PictureFiles, DamagedOrForeignDataIsNoJpeg) {
    const std::string Good = AsString(EncodeJpeg(Quadrants(64, 48)));
    struct TCase {
        const char* What;
        std::string Bytes;
    };
    const TCase Cases[] = {{"empty", ""},
                           {"text", "not a JPEG at all"},
                           {"cut in the middle of the scan", Good.substr(0, Good.size() / 2)},
                           {"a PNG signature", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"}};
    for (const TCase& C : Cases) {
        EXPECT_THROW(DecodeJpeg(C.Bytes), EPictureError) << C.What;
    }
}

// A header that promises 60000 x 60000 pixels (10.8 GB decoded) is refused
// by those dimensions before any memory is taken for them.
TEST(PictureFiles, AJpegTooLargeToDecodeIsRefusedByItsHeader) {
    std::string Huge = AsString(EncodeJpeg(Quadrants(64, 48)));
    const std::size_t Sof = Huge.find("\xFF\xC0");
    ASSERT_NE(Sof, std::string::npos);
    // After the marker: length (2 bytes), precision (1), height (2), width (2).
    for (const std::size_t At : {Sof + 5, Sof + 7}) {
        Huge[At] = static_cast<char>(60000 >> 8);
        Huge[At + 1] = static_cast<char>(60000 & 0xFF);
    }
    try {
        DecodeJpeg(Huge);
        FAIL() << "decoded";
    } catch (const EPictureError& E) {
        EXPECT_NE(std::string(E.what()).find("60000 x 60000 pixels"), std::string::npos) << E.what();
    }
}

TEST(PictureFiles, LoadingAJpegNamesTheFileThatFails) {
    test::TTempFolder Folder;
    const std::string Missing = Folder.File("QRLOGO.jpg");
    for (const bool Exists : {false, true}) {
        if (Exists) {
            Folder.Write("QRLOGO.jpg", "GIF89a");
        }
        try {
            LoadJpegFile(Missing);
            ADD_FAILURE() << "loaded " << Missing;
        } catch (const EPictureError& E) {
            EXPECT_NE(std::string(E.what()).find(Missing), std::string::npos) << E.what();
        }
    }
}

TEST(PictureFiles, NothingToEncodeIsRefused) {
    TPicture Empty;
    EXPECT_THROW(EncodeJpeg(Empty), EPictureError);
    EXPECT_THROW(EncodeBmp(Empty), EPictureError);
    TPicture Short = Quadrants(4, 4);
    Short.Rgb.resize(10);
    EXPECT_THROW(EncodeJpeg(Short), EPictureError);
    EXPECT_THROW(EncodeBmp(Short), EPictureError);
}

TEST(PictureFiles, BmpRowsAreBottomUpBlueGreenRedAndPaddedToFourBytes) {
    // 3 × 2: a red, green, blue row over a white, black, grey one.
    TPicture P;
    P.Width = 3;
    P.Height = 2;
    P.Rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128};
    const auto B = EncodeBmp(P);
    ASSERT_EQ(B.size(), 54u + 2 * 12);
    EXPECT_EQ(B[0], 'B');
    EXPECT_EQ(B[1], 'M');
    EXPECT_EQ(Le(B, 2, 4), B.size());
    EXPECT_EQ(Le(B, 10, 4), 54u);
    EXPECT_EQ(Le(B, 14, 4), 40u);
    EXPECT_EQ(Le(B, 18, 4), 3u);
    EXPECT_EQ(Le(B, 22, 4), 2u) << "positive: bottom-up";
    EXPECT_EQ(Le(B, 26, 2), 1u);
    EXPECT_EQ(Le(B, 28, 2), 24u);
    EXPECT_EQ(Le(B, 30, 4), 0u) << "uncompressed";
    EXPECT_EQ(Le(B, 34, 4), 24u);
    const std::vector<std::uint8_t> Rows(B.begin() + 54, B.end());
    EXPECT_EQ(Rows, (std::vector<std::uint8_t>{255, 255, 255, 0, 0,   0, 128, 128, 128, 0, 0, 0, //
                                               0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0}));
}

TEST(PictureFiles, A680PixelBmpHasTheSizeViewersExpect) {
    const auto B = EncodeBmp(Quadrants(680, 680));
    EXPECT_EQ(B.size(), 54u + 680u * 680u * 3u);
    EXPECT_EQ(Le(B, 18, 4), 680u);
    EXPECT_EQ(Le(B, 22, 4), 680u);
    EXPECT_EQ(Le(B, 28, 2), 24u);
    // The top left pixel (red) is the first of the last row.
    const std::size_t Last = 54 + 679u * 2040u;
    EXPECT_EQ((std::vector<int>{B[Last], B[Last + 1], B[Last + 2]}), (std::vector<int>{20, 20, 220}));
}

// The rows of a 32-bit image with padded rows, blue first, encode to the
// same files as the picture itself.
TEST(PictureFiles, BlueFirstRowsWithPaddingEncodeLikeThePicture) {
    const TPicture Picture = Quadrants(37, 20);
    const std::size_t Stride = 37 * 4 + 12;
    std::vector<std::uint8_t> Bgrx(Stride * 20, 0xEE);
    for (std::size_t Y = 0; Y < 20; ++Y) {
        for (std::size_t X = 0; X < 37; ++X) {
            const std::uint8_t* Src = &Picture.Rgb[(Y * 37 + X) * 3];
            std::uint8_t* Dst = &Bgrx[Y * Stride + X * 4];
            Dst[0] = Src[2];
            Dst[1] = Src[1];
            Dst[2] = Src[0];
        }
    }
    const TPixelRows Rows{37, 20, Bgrx.data(), Stride, TPixelOrder::Bgrx};
    EXPECT_EQ(EncodeBmp(Rows), EncodeBmp(Picture));
    EXPECT_EQ(EncodeJpeg(Rows), EncodeJpeg(Picture));
    const TPixelRows Short{37, 20, Bgrx.data(), 37 * 3, TPixelOrder::Bgrx};
    EXPECT_THROW(EncodeBmp(Short), EPictureError);
    EXPECT_THROW(EncodeJpeg(Short), EPictureError);
}

TEST(PictureFiles, ThePictureFormatFollowsTheExactEndingOfTheName) {
    struct TCase {
        const char* Name;
        TPictureFormat Format;
    };
    const TCase Cases[] = {{"plan.jpg", TPictureFormat::Jpeg}, {"PLAN.JPG", TPictureFormat::Bmp},
                           {"plan.Jpg", TPictureFormat::Bmp},  {"plan.jpeg", TPictureFormat::Bmp},
                           {"plan", TPictureFormat::Bmp},      {"plan.bmp", TPictureFormat::Bmp},
                           {".jpg", TPictureFormat::Jpeg},     {"jpg", TPictureFormat::Bmp},
                           {"a/b.jpg/c", TPictureFormat::Bmp}, {"plan.png", TPictureFormat::Png},
                           {"PLAN.PNG", TPictureFormat::Bmp},  {"plan.svg", TPictureFormat::Svg},
                           {"plan.svgz", TPictureFormat::Bmp}, {"", TPictureFormat::Bmp}};
    for (const TCase& C : Cases) {
        EXPECT_EQ(PictureFormatOf(C.Name), C.Format) << C.Name;
    }
}

// The logo the pages print: a 15 : 7 picture, large enough for 600 dpi.
TEST(PictureFiles, TheShippedLogoIsAReadableJpegOfTheLogoBoxesShape) {
    const TPicture Logo = LoadJpegFile(std::string(PSYKRONA_SOURCE_DIR) + "/data/QRLOGO.jpg");
    EXPECT_GE(Logo.Width, 1000);
    EXPECT_EQ(Logo.Width * 7, Logo.Height * 15);
}

} // namespace
} // namespace psykrona
