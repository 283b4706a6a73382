#pragma once

#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "engine/NumberText.h"
#include "tests/support/RecordingCanvas.h"

#include <string>
#include <vector>

namespace psykrona::test {

// A document, options and renderer drawing on a recording canvas of the
// given size, at 101.3 kPa and with "." as the decimal separator.
struct TChart {
    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    TRecordingCanvas Canvas;

    explicit TChart(int Width = 800, int Height = 600) {
        SetDecimalSeparator('.');
        Draw.Options = &Options;
        Draw.Document = &Doc;
        Draw.SetCanvas(&Canvas, 0, 0, Width, Height);
    }

    // As the main window draws: on a freshly prepared canvas, handed over
    // before each drawing.
    const std::vector<TRecordedCall>& Render(bool DirectFonts = false) {
        TCanvas* Target = Draw.Canvas();
        Canvas = TRecordingCanvas();
        Draw.SetCanvas(Target, Draw.ChartLeft(), Draw.ChartTop(), Draw.ChartWidth(), Draw.ChartHeight());
        Draw.DrawDiagram(DirectFonts);
        return Canvas.Calls;
    }

    // A point placed exactly at a device pixel of the current layout.
    TMollierPoint& AddPointAt(int X, int Y) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = Doc.PointCount();
        P.Temp = (Draw.OriginY() - Y) / Draw.ScaleY();
        P.SpecHum = (X - Draw.OriginX()) / Draw.ScaleX();
        return P;
    }

    // The calls between the TextOut of one title (exclusive) and that of the
    // next (exclusive); an empty title stands for the start or the end.
    std::vector<TRecordedCall> Between(const std::string& After, const std::string& Before) const {
        std::vector<TRecordedCall> Out;
        bool In = After.empty();
        for (const TRecordedCall& C : Canvas.Calls) {
            if (C.Name == "TextOut" && !After.empty() && C.Text == After) {
                In = true;
                continue;
            }
            if (C.Name == "TextOut" && !Before.empty() && C.Text == Before) {
                break;
            }
            if (In) {
                Out.push_back(C);
            }
        }
        return Out;
    }
};

inline std::vector<TRecordedCall> Only(const std::vector<TRecordedCall>& Calls, const std::string& Name) {
    std::vector<TRecordedCall> Out;
    for (const TRecordedCall& C : Calls) {
        if (C.Name == Name) {
            Out.push_back(C);
        }
    }
    return Out;
}

inline std::vector<std::string> Texts(const std::vector<TRecordedCall>& Calls) {
    std::vector<std::string> Out;
    for (const TRecordedCall& C : Calls) {
        if (C.Name == "TextOut") {
            Out.push_back(C.Text);
        }
    }
    return Out;
}

} // namespace psykrona::test
