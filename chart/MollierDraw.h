#pragma once

#include "chart/Canvas.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "engine/MollierCalculate.h"

#include <memory>
#include <string>

namespace psykrona {

// The Mollier chart renderer: temperature on the vertical axis, humidity
// ratio on the horizontal one, with isotherms, humidity-ratio lines,
// enthalpy lines, relative-humidity curves, the frame, and the document's
// points and process lines. It draws through the abstract canvas only, so
// the screen, the printed page and picture files share it; everything is
// scaled from the size the caller passes.
//
// Use: SetCanvas, set Document (and Options), DrawDiagram; afterwards, until
// the next drawing, StateToPixel and PixelToState map with that layout.
class TMollierDraw {
public:
    TMollierDraw();
    TMollierDraw(const TMollierDraw&) = delete;
    TMollierDraw& operator=(const TMollierDraw&) = delete;

    // Not owned. Options starts as the renderer's own default limits so that
    // it can draw before the main window hands over its object.
    TMain* Document = nullptr;
    TMollierOptions* Options = nullptr;
    // Always true; kept as a switch for the curves.
    bool ShowRelHumCurves = true;

    // Stores the target and the size of the rectangle to fill, and sets the
    // pen to black, 2 pixels. Draws nothing.
    void SetCanvas(TCanvas* Canvas, int ChartLeft, int ChartTop, int ChartWidth, int ChartHeight);
    // Draws the whole chart. DirectFonts is set when the target is a
    // printer. A calculation failure ends the drawing, leaving what was
    // drawn; nothing is drawn when the limits or the size leave no chart.
    void DrawDiagram(bool DirectFonts);

    // The device point of a state (°C, kg/kg) in the layout of the last
    // drawing.
    TPoint StateToPixel(double Temp, double SpecHum) const;
    // The state under a device point, at the calculator's current pressure
    // (the last drawing's). Not limited to the chart; throws
    // ECalculationError where the state has no relative humidity.
    TMoistAirState PixelToState(int X, int Y) const;

    // The effective limits of the last drawing: the options fitted to the
    // saturation curve.
    double MinTemp() const { return FMinTemp; }
    double MaxTemp() const { return FMaxTemp; }
    double MinSpecHum() const { return FMinSpecHum; }
    double MaxSpecHum() const { return FMaxSpecHum; }

    // The layout of the last drawing.
    TCanvas* Canvas() const { return FCanvas; }
    int ChartLeft() const { return FChartLeft; }
    int ChartTop() const { return FChartTop; }
    int ChartWidth() const { return FChartWidth; }
    int ChartHeight() const { return FChartHeight; }
    int MarginX() const { return FMarginX; }
    int MarginY() const { return FMarginY; }
    double ScaleX() const { return FScaleX; } // pixels per kg/kg
    double ScaleY() const { return FScaleY; } // pixels per °C
    int OriginX() const { return FOriginX; }  // device x of humidity ratio 0
    int OriginY() const { return FOriginY; }  // device y of 0 °C
    int PenThick() const { return FPenThick; }
    int PenThin() const { return FPenThin; }
    int PenProcess() const { return FPenProcess; }
    int FontLabel() const { return FFontLabel; }
    int FontRelHum() const { return FFontRelHum; }
    int FontAxis() const { return FFontAxis; }
    int MarkerSize() const { return FMarkerSize; }
    bool DirectFonts() const { return FDirectFonts; }

    const std::string& TitleTemp() const { return FTitleTemp; }
    const std::string& TitleSpecHum() const { return FTitleSpecHum; }
    const std::string& TitleEnthalpy() const { return FTitleEnthalpy; }

    // Major isotherm step (°C), also the enthalpy line step (kJ/kg); minor
    // isotherm step; major and minor humidity-ratio steps (kg/kg).
    static constexpr int TempStep = 5;
    static constexpr int TempStepMinor = 1;
    static constexpr double SpecHumStep = 0.005;
    static constexpr double SpecHumStepMinor = 0.001;

private:
    void BuildAxisTitles();
    void ReadLimits();
    void AdjustLimits();
    void ComputeLayout();
    bool IsDrawable() const;
    void SetChartFont(int Height, int Angle, int Weight);

    void DrawIsotherms();
    void DrawIsothermFamily(int Step, bool Labelled);
    void DrawSpecHumLines();
    void DrawSpecHumFamily(double Step, bool Labelled);
    void DrawEnthalpyLines();
    void DrawEnthalpyTitle();
    void DrawRelHumCurves();
    void DrawRelHumLabel(bool AtRight, double Temp, double RelHum);
    bool CellInsideFrame(int X, int Y, int W, int H, int Angle) const;
    void DrawFrame();
    bool PointPixel(const TMollierPoint& Point, TPoint& Pixel) const;
    void DrawProcessLines();
    void DrawPointMarker(TPoint P);
    void DrawPointLabels();

    void Line(TPoint From, TPoint To);

    TMollierCalculate& Calculator;
    std::unique_ptr<TMollierOptions> FOwnOptions;
    TCanvas* FCanvas = nullptr;
    int FChartTop = 0;
    int FChartLeft = 0;
    int FChartWidth = 0;
    int FChartHeight = 0;
    int FMarginY = 0;
    int FMarginX = 0;
    double FScaleX = 0;
    double FScaleY = 0;
    int FOriginX = 0;
    int FOriginY = 0;
    int FPenThick = 2;
    int FPenThin = 1;
    int FPenProcess = 0;
    int FFontLabel = 0;
    int FFontRelHum = 0;
    int FFontAxis = 0;
    int FMarkerSize = 0;
    double FMaxTemp = 40;
    double FMinTemp = 1;
    double FMaxSpecHum = 0.025;
    double FMinSpecHum = 0;
    std::string FTitleTemp;
    std::string FTitleSpecHum;
    std::string FTitleEnthalpy;
    bool FDirectFonts = false;
};

} // namespace psykrona
