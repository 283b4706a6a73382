// The chart command's PNG encoder: the same pixels as given, in both pixel
// layouts and with padded rows, and a file not much larger than Qt's own
// encoding of a drawing.
#include "cli/CliPng.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

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

TEST(CliPng, KeepsEveryPixelInBothLayoutsAndStaysNearQtsSize) {
    const unsigned Seed = 19;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Rng(Seed);
    QImage Noise(37, 23, QImage::Format_RGB32); // an odd width
    for (int I = 0; I < 37 * 23; ++I) {
        Noise.setPixel(I % 37, I / 37, 0xFF000000u | (Rng() & 0xFFFFFFu));
    }
    EXPECT_TRUE(Decoded(EncodePng(Rows(Noise, TPixelOrder::Bgrx), 0, 0)) == Noise);
    const QImage Rgb = Noise.convertToFormat(QImage::Format_RGB888);
    ASSERT_NE(Rgb.bytesPerLine(), Rgb.width() * 3); // rows padded
    EXPECT_TRUE(Decoded(EncodePng(Rows(Rgb, TPixelOrder::Rgb), 0, 0)) == Noise);
    EXPECT_THROW(EncodePng(TPixelRows{}, 0, 0), EPictureError);

    // Lines and text on white, as charts are.
    QImage Drawing(1600, 1200, QImage::Format_RGB32);
    Drawing.fill(Qt::white);
    {
        QPainter Painter(&Drawing);
        for (int I = 0; I < 200; ++I) {
            Painter.setPen(QColor::fromRgb(Rng() & 0xFFFFFFu));
            Painter.drawLine(Rng() % 1600, Rng() % 1200, Rng() % 1600, Rng() % 1200);
            Painter.drawText(Rng() % 1500, Rng() % 1200, QString::number(I * 0.5));
        }
    }
    const auto Png = EncodePng(Rows(Drawing, TPixelOrder::Bgrx), Drawing.dotsPerMeterX(), Drawing.dotsPerMeterY());
    EXPECT_TRUE(Decoded(Png) == Drawing);
    EXPECT_EQ(Decoded(Png).dotsPerMeterX(), Drawing.dotsPerMeterX());
    QByteArray QtPng;
    QBuffer Buffer(&QtPng);
    Buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Drawing.save(&Buffer, "PNG"));
    EXPECT_LE(static_cast<double>(Png.size()), 1.3 * QtPng.size()) << Png.size() << " against " << QtPng.size();
}

} // namespace
} // namespace psykrona
