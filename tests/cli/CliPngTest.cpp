// The chart command's PNG encoder: the same pixels as given, in both pixel
// layouts and with padded rows, with the resolution given.
#include "cli/CliPng.h"

#include <QImage>

#include <gtest/gtest.h>

#include <random>

namespace psykrona {
namespace {

QImage Decoded(const std::vector<std::uint8_t>& Png) {
    return QImage::fromData(Png.data(), static_cast<int>(Png.size()), "PNG").convertToFormat(QImage::Format_RGB32);
}

TPixelRows Rows(const QImage& Image, TPixelOrder Order) {
    return {Image.width(), Image.height(), Image.constBits(), static_cast<std::size_t>(Image.bytesPerLine()), Order};
}

TEST(CliPng, KeepsEveryPixelInBothLayoutsAndTheResolution) {
    const unsigned Seed = 19;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Rng(Seed);
    QImage Noise(37, 23, QImage::Format_RGB32); // an odd width
    for (int I = 0; I < 37 * 23; ++I) {
        Noise.setPixel(I % 37, I / 37, 0xFF000000u | (Rng() & 0xFFFFFFu));
    }
    const QImage Rgb = Noise.convertToFormat(QImage::Format_RGB888);
    ASSERT_NE(Rgb.bytesPerLine(), Rgb.width() * 3); // rows padded
    EXPECT_TRUE(Decoded(EncodePng(Rows(Rgb, TPixelOrder::Rgb), 0, 0)) == Noise);
    EXPECT_THROW(EncodePng(TPixelRows{}, 0, 0), EPictureError);
    const QImage Png = Decoded(EncodePng(Rows(Noise, TPixelOrder::Bgrx), 3780, 2 * 3780));
    EXPECT_TRUE(Png == Noise && Png.dotsPerMeterX() == 3780 && Png.dotsPerMeterY() == 2 * 3780);
}

} // namespace
} // namespace psykrona
