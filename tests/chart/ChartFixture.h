#pragma once

#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "tests/support/RandomProject.h"
#include "tests/support/RecordingCanvas.h"

#include <vector>

namespace psykrona::test {

// A document, options and renderer drawing on a recording canvas.
struct TChart {
    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    TRecordingCanvas Canvas;

    explicit TChart(int Width = 800, int Height = 600) {
        Draw.Options = &Options;
        Draw.Document = &Doc;
        Draw.SetCanvas(&Canvas, 0, 0, Width, Height);
    }
    // As the limits dialog applies them: minimum, maximum, minimum.
    void SetLimits(double MinTemp, double MaxTemp, double MinSpecHum, double MaxSpecHum) {
        Options.SetMinTemp(MinTemp);
        Options.SetMaxTemp(MaxTemp);
        Options.SetMinTemp(MinTemp);
        Options.SetMinSpecHum(MinSpecHum);
        Options.SetMaxSpecHum(MaxSpecHum);
        Options.SetMinSpecHum(MinSpecHum);
    }
    // Points prescribed by temperature and humidity ratio.
    TMollierPoint& AddPoint(double Temp, double SpecHum) {
        return AddCalculatedPoint(Doc, "", Temp, PROP_SPECHUM, SpecHum);
    }
    void AddPoints(std::initializer_list<std::pair<double, double>> Points) {
        for (const auto& [Temp, SpecHum] : Points) {
            AddPoint(Temp, SpecHum);
        }
    }
    // As the main window draws: on a fresh canvas, handed over each time.
    const std::vector<TRecordedCall>& Render(bool DirectFonts = false) {
        Canvas = TRecordingCanvas();
        Draw.SetCanvas(&Canvas, Draw.ChartLeft(), Draw.ChartTop(), Draw.ChartWidth(), Draw.ChartHeight());
        Draw.DrawDiagram(DirectFonts);
        return Canvas.Calls;
    }
};

} // namespace psykrona::test
