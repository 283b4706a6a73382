// One complete chart with 20 points, as every repaint of the main window
// draws it: on the recording canvas (calculation and layout alone) and
// through the Qt canvas into a full-HD picture.
#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "tests/support/RecordingCanvas.h"
#include "qt/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

namespace psykrona {
namespace {

// 20 points in a zigzag over the usual range, every one shown and joined.
void AddPoints(TMain& Doc) {
    const TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    for (int I = 0; I < 20; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Temp = -15 + 3.3 * I;
        P.RelHum = I % 2 == 0 ? 30 : 80;
        P.SpecHum = Calc.SpecHumFromTempRelHum(P.Temp, P.RelHum);
        P.Enthalpy = Calc.Enthalpy(P.Temp, P.SpecHum);
        P.Prescribed1 = PROP_TEMP;
        P.Prescribed2 = PROP_RELHUM;
    }
}

struct TScene {
    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    TScene() {
        AddPoints(Doc);
        Draw.Document = &Doc;
        Draw.Options = &Options;
    }
};

void BM_DrawDiagramRecording(benchmark::State& State) {
    TScene S;
    test::TRecordingCanvas Canvas;
    for (auto _ : State) {
        Canvas.Calls.clear();
        S.Draw.SetCanvas(&Canvas, 0, 0, 1920, 1080);
        S.Draw.DrawDiagram(false);
        benchmark::DoNotOptimize(Canvas.Calls.data());
    }
    State.counters["calls"] = static_cast<double>(Canvas.Calls.size());
}
BENCHMARK(BM_DrawDiagramRecording)->Unit(benchmark::kMicrosecond);

void BM_DrawDiagramQImage1920x1080(benchmark::State& State) {
    TScene S;
    QImage Image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : State) {
        Image.fill(Qt::white);
        TQtCanvas Canvas(Image);
        S.Draw.SetCanvas(&Canvas, 0, 0, 1920, 1080);
        S.Draw.DrawDiagram(false);
    }
}
BENCHMARK(BM_DrawDiagramQImage1920x1080)->Unit(benchmark::kMillisecond);

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
