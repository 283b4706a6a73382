// The chart command's PNG encoder: the same pixels as drawn, in both pixel
// layouts, and a file not much larger than Qt's default encoding gives.
#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "cli/CliPng.h"
#include "engine/Main.h"
#include "qt/QtCanvas.h"

#include <QBuffer>
#include <QGuiApplication>
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

TEST(CliPng, KeepsEveryPixelOfAChartAndOfNoiseAndStaysNearQtsSize) {
    int Argc = 1;
    char Name[] = "test";
    char* Argv[] = {Name, nullptr};
    QGuiApplication App(Argc, Argv);

    // A chart with points and process lines, drawn as the command draws it.
    TMain Doc;
    for (const auto& [T, Rh] : {std::pair{10.0, 80.0}, {22.0, 40.0}, {30.0, 60.0}}) {
        TMollierPoint& P = Doc.AddPoint();
        P.Temp = T;
        P.RelHum = Rh;
        P.Prescribed1 = PROP_TEMP;
        P.Prescribed2 = PROP_RELHUM;
        P.LineToNext = true;
    }
    Doc.CalculateAll();
    TMollierOptions Options;
    TMollierDraw Renderer;
    Renderer.Document = &Doc;
    Renderer.Options = &Options;
    QImage Chart(1600, 1200, QImage::Format_RGB32);
    {
        QPainter Painter(&Chart);
        Painter.fillRect(Chart.rect(), Qt::white);
        TQtCanvas Canvas(Painter);
        Renderer.SetCanvas(&Canvas, 0, 0, Chart.width(), Chart.height());
        Renderer.DrawDiagram(false);
        Renderer.SetCanvas(nullptr, 0, 0, Chart.width(), Chart.height());
    }
    const auto Png = EncodePng(Rows(Chart, TPixelOrder::Bgrx), Chart.dotsPerMeterX(), Chart.dotsPerMeterY());
    const QImage Back = Decoded(Png);
    EXPECT_TRUE(Back == Chart);
    EXPECT_EQ(Back.dotsPerMeterX(), Chart.dotsPerMeterX());
    QByteArray QtPng;
    QBuffer Buffer(&QtPng);
    Buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Chart.save(&Buffer, "PNG"));
    EXPECT_LE(static_cast<double>(Png.size()), 1.3 * QtPng.size()) << Png.size() << " against " << QtPng.size();

    // Noise, an odd width and padded rows, in both layouts.
    const unsigned Seed = 19;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Rng(Seed);
    QImage Noise(37, 23, QImage::Format_RGB32);
    for (int Y = 0; Y < Noise.height(); ++Y) {
        for (int X = 0; X < Noise.width(); ++X) {
            Noise.setPixel(X, Y, 0xFF000000u | (Rng() & 0xFFFFFFu));
        }
    }
    EXPECT_TRUE(Decoded(EncodePng(Rows(Noise, TPixelOrder::Bgrx), 0, 0)) == Noise);
    const QImage Rgb = Noise.convertToFormat(QImage::Format_RGB888);
    ASSERT_NE(Rgb.bytesPerLine(), Rgb.width() * 3); // rows padded
    EXPECT_TRUE(Decoded(EncodePng(Rows(Rgb, TPixelOrder::Rgb), 0, 0)) == Noise);
    EXPECT_THROW(EncodePng(TPixelRows{}, 0, 0), EPictureError);
}

} // namespace
} // namespace psykrona
