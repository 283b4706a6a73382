// The printed output's heavy cases: the 680 × 680 chart picture saved as
// JPEG (drawing, encoding and writing the file), and the chart page of an
// A4 sheet at 600 dpi drawn into an image, logo included, as a printer or a
// full-size preview receives it.
#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "printing/MollierPrint.h"
#include "printing/PictureFiles.h"
#include "qt/ChartPicture.h"
#include "qt/QtCanvas.h"
#include "qt/QtPrinter.h"

#include <QGuiApplication>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace psykrona {
namespace {

// A4 less 6 and 5 mm margins at 600 dpi, as QPrinter gives it.
constexpr int KPageWidth = 4674;
constexpr int KPageHeight = 6783;

struct TScene {
    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    TScene() {
        const TMollierCalculate& Calc = TMollierCalculate::GetInstance();
        for (int I = 0; I < 20; ++I) {
            TMollierPoint& P = Doc.AddPoint();
            P.Number = I + 1;
            P.Name = "Point " + std::to_string(I + 1);
            P.Temp = -15 + 3.3 * I;
            P.RelHum = I % 2 == 0 ? 30 : 80;
            P.SpecHum = Calc.SpecHumFromTempRelHum(P.Temp, P.RelHum);
            P.Enthalpy = Calc.Enthalpy(P.Temp, P.SpecHum);
            P.Prescribed1 = PROP_TEMP;
            P.Prescribed2 = PROP_RELHUM;
        }
        Doc.AirFlow = 2.5;
        Draw.Document = &Doc;
        Draw.Options = &Options;
    }
};

std::string TempName(const char* Suffix) {
    return "/tmp/psykrona-bench-" + std::to_string(getpid()) + Suffix;
}

void BM_SaveChartPictureJpeg680(benchmark::State& State) {
    TScene S;
    const std::string Name = TempName(".jpg");
    for (auto _ : State) {
        SaveChartPicture(S.Draw, S.Doc, Name);
    }
    std::remove(Name.c_str());
}
BENCHMARK(BM_SaveChartPictureJpeg680)->Unit(benchmark::kMillisecond);

void BM_EncodeJpeg680(benchmark::State& State) {
    TScene S;
    const TPicture Picture = PictureFromImage(RenderChartPicture(S.Draw, S.Doc));
    for (auto _ : State) {
        benchmark::DoNotOptimize(EncodeJpeg(Picture).data());
    }
}
BENCHMARK(BM_EncodeJpeg680)->Unit(benchmark::kMillisecond);

void BM_ChartPageA4At600DpiIntoImage(benchmark::State& State) {
    TScene S;
    // The image exists before, as a preview's page does: its memory is
    // touched once here, not in every run (a first touch of 127 MB costs
    // more than the drawing on some virtual machines).
    QImage Image(KPageWidth, KPageHeight, QImage::Format_RGB32);
    Image.fill(Qt::white);
    TMollierPrint Layout;
    Layout.FDraw = &S.Draw;
    Layout.FDocument = &S.Doc;
    Layout.FPageWidth = KPageWidth;
    Layout.FPageHeight = KPageHeight;
    Layout.FProgramDir = PSYKRONA_SOURCE_DIR "/data/";
    for (auto _ : State) {
        Image.fill(Qt::white);
        TQtCanvas Canvas(Image);
        Layout.FCanvas = &Canvas;
        Layout.PrintPage(TMollierPrint::KChartPage, false);
    }
}
BENCHMARK(BM_ChartPageA4At600DpiIntoImage)->Unit(benchmark::kMillisecond);

// The same page through the Qt printer into a PDF file: recorded, then
// played onto the PDF engine.
void BM_PrintChartPageToPdf(benchmark::State& State) {
    TScene S;
    const std::string Name = TempName(".pdf");
    QPrinter Printer(QPrinter::HighResolution);
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(QString::fromStdString(Name));
    Printer.setResolution(600);
    Printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(6, 5, 6, 5),
                                      QPageLayout::Millimeter));
    TQtPrinter Target(Printer);
    TMollierPrint Layout;
    Layout.FDraw = &S.Draw;
    Layout.FDocument = &S.Doc;
    Layout.FPrinter = &Target;
    Layout.FProgramDir = PSYKRONA_SOURCE_DIR "/data/";
    for (auto _ : State) {
        Layout.PrintPage(TMollierPrint::KChartPage, true);
    }
    std::remove(Name.c_str());
}
BENCHMARK(BM_PrintChartPageToPdf)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace psykrona

int main(int argc, char** argv) {
    // Fonts need a GUI application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
