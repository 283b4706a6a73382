#include "chart/MollierDraw.h"

#include "engine/Errors.h"
#include "engine/NumberText.h"
#include "localisation/Translator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace psykrona {

namespace {

// Sizes are nominal at this chart width and scale with it.
constexpr double KReferenceWidth = 4672;
constexpr int KRelHumSteps = 150;
const char* const KFace = "Arial";
// Farther from the chart than any canvas reaches, and far enough inside the
// int range that the sizes and offsets added to a point cannot overflow.
constexpr double KFarPixel = 1 << 24;

int RoundInt(double Value) {
    return static_cast<int>(Round(Value));
}

double Deg(double Radians) {
    return Radians * 180 / std::numbers::pi;
}
double Rad(double Degrees) {
    return Degrees * std::numbers::pi / 180;
}

// The larger of a floor and the nominal size scaled by F.
int Scaled(int Nominal, int Floor, double F) {
    return std::max(Floor, RoundInt(Nominal * F));
}

} // namespace

TMollierDraw::TMollierDraw()
    : Calculator(TMollierCalculate::GetInstance()), FOwnOptions(std::make_unique<TMollierOptions>()) {
    Options = FOwnOptions.get();
}

void TMollierDraw::SetCanvas(TCanvas* Canvas, int ChartLeft, int ChartTop, int ChartWidth, int ChartHeight) {
    FCanvas = Canvas;
    FChartLeft = ChartLeft;
    FChartTop = ChartTop;
    FChartWidth = ChartWidth;
    FChartHeight = ChartHeight;
    if (FCanvas != nullptr) {
        FCanvas->SetPenColor(clBlack);
        FCanvas->SetPenWidth(2);
    }
}

void TMollierDraw::DrawDiagram(bool DirectFonts) {
    FDirectFonts = DirectFonts;
    BuildAxisTitles();
    if (Document == nullptr || FCanvas == nullptr || Options == nullptr) {
        return;
    }
    // Only extremes fail here: a chart a few dozen pixels small or a
    // pressure that puts a dew point beyond the saturation table. The chart
    // then stops where it failed; the caller's window or page goes on.
    try {
        Calculator.Pressure = Document->Pressure;
        ReadLimits();
        ComputeLayout();
        FCanvas->SetPenColor(clRed);
        if (!IsDrawable()) {
            return;
        }
        DrawIsotherms();
        DrawSpecHumLines();
        DrawEnthalpyLines();
        if (ShowRelHumCurves) {
            DrawRelHumCurves();
        }
        DrawFrame();
        if (Document->PointCount() > 0) {
            DrawProcessLines();
            DrawPointLabels();
        }
    } catch (const ECalculationError&) {
    }
}

TPoint TMollierDraw::StateToPixel(double Temp, double SpecHum) const {
    return {RoundInt(SpecHum * FScaleX + FOriginX), RoundInt(FOriginY - Temp * FScaleY)};
}

TMoistAirState TMollierDraw::PixelToState(int X, int Y) const {
    TMoistAirState S;
    S.Temp = FScaleY == 0 ? 0 : (FOriginY - Y) / FScaleY;
    S.SpecHum = FScaleX == 0 ? 0 : (X - FOriginX) / FScaleX;
    S.RelHum = Calculator.RelHumFromTempSpecHum(S.Temp, S.SpecHum);
    S.Enthalpy = Calculator.Enthalpy(S.Temp, S.SpecHum);
    return S;
}

void TMollierDraw::BuildAxisTitles() {
    FTitleTemp = TTranslator::GetText("CHART", "TXT_TEMP_DRY_BULB") + ", T, (°C)";
    FTitleSpecHum = TTranslator::GetText("CHART", "TXT_SPEC_HUM") + ", x, (kg/kg)";
    FTitleEnthalpy = TTranslator::GetText("CHART", "TXT_ENTHALPY") + ", i, (kJ/kg)";
}

void TMollierDraw::ReadLimits() {
    FMinTemp = Options->MinTemp();
    FMaxTemp = Options->MaxTemp();
    FMinSpecHum = Options->MinSpecHum();
    FMaxSpecHum = Options->MaxSpecHum();
    AdjustLimits();
}

// The top right corner is kept out of the fog region and the bottom left
// corner is raised to the dew point of the lowest humidity ratio, so both lie
// on or inside the saturation curve.
void TMollierDraw::AdjustLimits() {
    if (Calculator.RelHumFromTempSpecHum(FMaxTemp, FMaxSpecHum) > 100) {
        FMaxSpecHum = Calculator.SpecHumFromTempRelHum(FMaxTemp, 100);
    }
    const double DewPoint = Calculator.TempFromSpecHumRelHum(FMinSpecHum, 100);
    if (DewPoint > FMinTemp) {
        FMinTemp = DewPoint;
    }
}

void TMollierDraw::ComputeLayout() {
    const int W = FChartWidth;
    const int H = FChartHeight;
    const double F = W / KReferenceWidth;
    FPenThick = Scaled(6, 2, F);
    FPenThin = Scaled(2, 1, F);
    FPenProcess = Scaled(14, 2, F);
    FFontLabel = Scaled(85, 14, F);
    FFontAxis = Scaled(85, 14, F);
    FFontRelHum = Scaled(68, 11, F);
    FMarkerSize = Scaled(50, 9, F);
    FMarginX = W / 8;
    FMarginY = H / 10;
    const double SpecHumSpan = FMaxSpecHum - FMinSpecHum;
    const double TempSpan = FMaxTemp - FMinTemp;
    // The humidity scale spans 6.4 margins, leaving 0.6 of a margin on the
    // right; the origin is placed over W - 2 margins all the same, so with a
    // lowest humidity ratio above 0 the left edge lies right of the margin.
    // An empty range leaves a zero scale, which the drawable test refuses.
    FScaleX = SpecHumSpan == 0 ? 0 : FMarginX * 6.4 / SpecHumSpan;
    FScaleY = TempSpan == 0 ? 0 : (8.0 * FMarginY) / TempSpan;
    FOriginX =
        SpecHumSpan == 0 ? 0 : RoundInt((0 - FMinSpecHum) / SpecHumSpan * (W - 2 * FMarginX) + FMarginX);
    FOriginY = TempSpan == 0 ? 0 : RoundInt(FMaxTemp / TempSpan * (H - 2 * FMarginY) + FMarginY);
    // That difference of spans pushes the frame off the canvas when the
    // lowest humidity ratio is large against the range (10 to 12 g/kg), and
    // likewise for a narrow temperature range far from 0 °C. Such a chart
    // takes its origin over the scale's own span instead, which puts the
    // frame's left and top edges on the margins; a chart that fits keeps
    // its layout.
    if (SpecHumSpan > 0 &&
        (StateToPixel(FMaxTemp, FMinSpecHum).X < 0 || StateToPixel(FMaxTemp, FMaxSpecHum).X > W - 1)) {
        FOriginX = RoundInt(-FMinSpecHum * FScaleX + FMarginX);
    }
    if (TempSpan > 0 &&
        (StateToPixel(FMaxTemp, FMinSpecHum).Y < 0 || StateToPixel(FMinTemp, FMinSpecHum).Y > H - 1)) {
        FOriginY = RoundInt(FMaxTemp * FScaleY + FMarginY);
    }
}

bool TMollierDraw::IsDrawable() const {
    return Document != nullptr && FCanvas != nullptr && FChartTop >= 0 && FChartLeft >= 0 &&
           FChartWidth >= 0 && FChartHeight >= 0 && FMarginY >= 0 && FMarginX >= 0 && FScaleX > 0 &&
           FScaleY > 0 && FMaxTemp > FMinTemp && FMaxSpecHum > FMinSpecHum && FPenThick != 0 &&
           FPenThin != 0 && FPenProcess != 0 && FFontLabel != 0 && FFontRelHum != 0 && FFontAxis != 0 &&
           FMarkerSize != 0;
}

// Our font description carries every attribute and the text colour is not
// part of it, so a font copied from the canvas's and one made from scratch
// for a printer are the same description: both modes set it alike.
void TMollierDraw::SetChartFont(int Height, int Angle, int Weight) {
    if (Height < 25 && Angle == 90) {
        --Height;
    }
    FCanvas->SetFont({KFace, Height, Angle, Weight});
}

void TMollierDraw::Line(TPoint From, TPoint To) {
    FCanvas->MoveTo(From.X, From.Y);
    FCanvas->LineTo(To.X, To.Y);
}

void TMollierDraw::DrawIsotherms() {
    FCanvas->SetFillColor(clWhite);
    FCanvas->SetPenWidth(FPenThick);
    FCanvas->SetPenColor(clRed);
    SetChartFont(FFontLabel, 0, 400);
    DrawIsothermFamily(TempStep, true);
    FCanvas->SetPenWidth(FPenThin);
    DrawIsothermFamily(TempStepMinor, false);

    // Reads upwards, centred on the left edge, left of the labels.
    SetChartFont(FFontAxis, 90, 400);
    const TPoint Top = StateToPixel(FMaxTemp, FMinSpecHum);
    const TPoint Bottom = StateToPixel(FMinTemp, FMinSpecHum);
    const int W = FCanvas->TextWidth(FTitleTemp);
    const int X = Top.X - RoundInt(FCanvas->TextWidth("70") * 2.3) - FCanvas->TextHeight("A");
    const int Y = (Top.Y + Bottom.Y) / 2 + W / 2;
    FCanvas->TextOut(X, Y, FTitleTemp);
}

// Isotherms at the multiples of Step from the top down, each from the left
// edge to the saturation curve or to the right edge, whichever comes first.
void TMollierDraw::DrawIsothermFamily(int Step, bool Labelled) {
    const int Count = RoundInt(FMaxTemp - FMinTemp) / Step + 2;
    const int Top = (RoundInt(FMaxTemp) / Step) * Step;
    for (int K = 1; K <= Count; ++K) {
        const int T = Top - (K - 1) * Step;
        if (T < FMinTemp) {
            continue;
        }
        const double Saturated = std::min(Calculator.SpecHumFromTempRelHum(T, 100), FMaxSpecHum);
        if (Saturated < FMinSpecHum || T > FMaxTemp) {
            continue;
        }
        const TPoint P = StateToPixel(T, FMinSpecHum);
        if (Labelled) {
            // Ends 1.4 digit widths left of the edge, about centred on the line.
            const std::string Label = std::to_string(T);
            const int X = P.X - RoundInt(FCanvas->TextWidth("0") * 1.4) - FCanvas->TextWidth(Label);
            const int Y = P.Y - RoundInt(FCanvas->TextHeight(Label) / 2.5);
            FCanvas->TextOut(X, Y, Label);
        }
        Line(P, StateToPixel(T, Saturated));
    }
}

void TMollierDraw::DrawSpecHumLines() {
    FCanvas->SetPenWidth(FPenThick);
    FCanvas->SetPenColor(clRed);
    DrawSpecHumFamily(SpecHumStep, true);
    FCanvas->SetPenWidth(FPenThin);
    DrawSpecHumFamily(SpecHumStepMinor, false);

    // Centred above the labels of the top edge; the enthalpy labels keep
    // this font.
    SetChartFont(FFontAxis, 0, 400);
    const TPoint Left = StateToPixel(FMaxTemp, FMinSpecHum);
    const TPoint Right = StateToPixel(FMaxTemp, FMaxSpecHum);
    const int W = FCanvas->TextWidth(FTitleSpecHum);
    const int X = (Right.X + Left.X) / 2 - W / 2;
    const int Y = Right.Y - RoundInt(FCanvas->TextWidth("70") * 1.9) - FCanvas->TextHeight("A");
    FCanvas->TextOut(X, Y, FTitleSpecHum);
}

// Lines at the multiples of Step from the right down, each from the top edge
// to the saturation curve or to the bottom edge.
void TMollierDraw::DrawSpecHumFamily(double Step, bool Labelled) {
    // Limits typed in whole g/kg are no exact multiples of the step in
    // binary: 0.030 - 5 × 0.005 lies just below 0.005. A line within a
    // billionth of a step of an edge belongs to the chart.
    const double Slack = Step * 1e-9;
    const int Count = RoundInt((FMaxSpecHum - FMinSpecHum) / Step + 3);
    const double Right = std::trunc(FMaxSpecHum / Step + 1e-9) * Step;
    for (int K = 1; K <= Count; ++K) {
        const double X = Right - (K - 1) * Step;
        if (X < FMinSpecHum - Slack) {
            continue;
        }
        const double DewPoint = Calculator.TempFromSpecHumRelHum(X, 100);
        const TPoint P = StateToPixel(FMaxTemp, X);
        if (Labelled) {
            SetChartFont(FFontLabel, 0, 400);
            const std::string Label = FormatFixed(X, 3);
            const int LX = P.X - FCanvas->TextWidth(Label) / 2;
            const int LY = P.Y - RoundInt(FCanvas->TextHeight(Label) * 1.3);
            FCanvas->TextOut(LX, LY, Label);
        }
        Line(P, StateToPixel(DewPoint < FMinTemp ? FMinTemp : DewPoint, X));
    }
}

// Lines of constant enthalpy every TempStep kJ/kg, each from the left or the
// top edge down to the saturation curve, or to the bottom or right edge where
// the curve lies beyond them. Pen width and font stay as the humidity-ratio
// lines left them.
void TMollierDraw::DrawEnthalpyLines() {
    FCanvas->SetPenColor(clRed);
    const int H0 = (RoundInt(FMinTemp) / TempStep) * TempStep;
    for (int H = H0;; H += TempStep) {
        double X = FMinSpecHum;
        double T = Calculator.TempFromSpecHumEnthalpy(FMinSpecHum, H);
        if (T >= FMaxTemp) {
            T = FMaxTemp;
            X = Calculator.SpecHumFromTempEnthalpy(FMaxTemp, H);
        }
        if (X >= FMaxSpecHum) {
            break; // this line and all further ones lie right of the chart
        }
        if (T < FMinTemp) {
            continue;
        }
        const TPoint Start = StateToPixel(T, X);
        FCanvas->MoveTo(Start.X, Start.Y);
        const double SatTemp = Calculator.TempFromRelHumEnthalpy(100, H);
        if (SatTemp < FMinTemp) {
            T = FMinTemp;
            X = Calculator.SpecHumFromTempRelHum(FMinTemp, Calculator.RelHumFromTempEnthalpy(FMinTemp, H));
        } else {
            T = SatTemp;
            X = Calculator.SpecHumFromTempEnthalpy(SatTemp, H);
        }
        if (X >= FMaxSpecHum) {
            X = FMaxSpecHum;
            T = Calculator.TempFromSpecHumEnthalpy(FMaxSpecHum, H);
        }
        const TPoint End = StateToPixel(T, X);
        FCanvas->LineTo(End.X, End.Y);
        if (H % 10 == 0) {
            // Just below and right of the end.
            const int Offset = RoundInt(FCanvas->TextHeight("0") * 0.3);
            FCanvas->TextOut(End.X + Offset, End.Y + Offset, std::to_string(H));
        }
    }
    DrawEnthalpyTitle();
}

void TMollierDraw::DrawEnthalpyTitle() {
    const double BottomSat = Calculator.SpecHumFromTempRelHum(FMinTemp, 100);
    const double Span = FMaxSpecHum - FMinSpecHum;
    if (BottomSat > FMinSpecHum + Span * 5 / 14) {
        // The saturation curve meets the bottom edge well to the right: the
        // title goes below that edge, ending a little left of the meeting
        // point, but neither left of the chart nor past its middle.
        SetChartFont(FFontAxis, 0, 400);
        const int W = FCanvas->TextWidth(FTitleEnthalpy);
        const TPoint B = StateToPixel(FMinTemp, BottomSat);
        int X = RoundInt(BottomSat * FScaleX + FOriginX - 1.2 * W);
        const double Left = (FMinSpecHum + 0.001) * FScaleX + FOriginX;
        const double Mid = ((FMaxSpecHum + FMinSpecHum) / 2) * FScaleX + FOriginX;
        if (X < Left) {
            X = RoundInt(Left);
        } else if (X + W / 2 >= Mid) { // NOLINT(bugprone-integer-division): whole pixels
            X = RoundInt(Mid) - W / 2;
        }
        const int Y = B.Y + RoundInt(FCanvas->TextWidth("70") * 0.9) + FCanvas->TextHeight("A");
        FCanvas->TextOut(X, Y, FTitleEnthalpy);
        return;
    }
    // The saturation curve cuts the bottom left: the title stands on its fog
    // side, about centred on the stretch between 5/14 and 9/14 of the range.
    const double XA = FMinSpecHum + Span * 5 / 14;
    const double XB = FMinSpecHum + Span * 9 / 14;
    const TPoint A = StateToPixel(Calculator.TempFromSpecHumRelHum(XA, 100), XA);
    const TPoint B = StateToPixel(Calculator.TempFromSpecHumRelHum(XB, 100), XB);
    const double Angle =
        A.X == B.X ? std::numbers::pi / 2 : std::atan(static_cast<double>(A.Y - B.Y) / (B.X - A.X));
    SetChartFont(FFontAxis, 0, 400);
    const int W = FCanvas->TextWidth(FTitleEnthalpy);
    const int D = 2 * FCanvas->TextWidth("90");
    const int X = RoundInt(std::sin(Angle) * D + (A.X + B.X) / 2.0 - std::cos(Angle) * W / 2);
    const int Y = RoundInt(std::cos(Angle) * D + (A.Y + B.Y) / 2.0 + std::sin(Angle) * W / 2);
    FCanvas->TextOut(X, Y, FTitleEnthalpy);
}

// Curves of 10 % to 100 % in equal temperature steps from the bottom to the
// top of the chart; each enters at the left edge and ends at the right edge
// or at the top, where it is labelled.
void TMollierDraw::DrawRelHumCurves() {
    FCanvas->SetPenWidth(FPenThin);
    FCanvas->SetPenColor(clRed);
    const double StepT = (FMaxTemp - FMinTemp) / KRelHumSteps;
    for (int RelHum = 10; RelHum <= 100; RelHum += 10) {
        double T = FMinTemp;
        double X = Calculator.SpecHumFromTempRelHum(FMinTemp, RelHum);
        if (X >= FMaxSpecHum) {
            // Humidity ratio grows with temperature along a curve, so one
            // that starts right of the chart never enters it (a warm
            // bottom edge leaves the moist curves out).
            continue;
        }
        bool AtRight = false;
        bool Started = false;
        bool Inside = false;
        bool Labelled = false;
        for (int I = 1; I <= KRelHumSteps; ++I) {
            if (X >= FMinSpecHum) {
                Inside = true;
                // The first step inside starts exactly on the left edge.
                if (!Started && T > FMinTemp) {
                    X = FMinSpecHum;
                    T = Calculator.TempFromSpecHumRelHum(FMinSpecHum, RelHum);
                }
                Started = true;
            } else {
                Inside = false;
            }
            const TPoint From = StateToPixel(T, X);
            FCanvas->MoveTo(From.X, From.Y);
            T = FMinTemp + I * StepT;
            X = Calculator.SpecHumFromTempRelHum(T, RelHum);
            if (AtRight) {
                DrawRelHumLabel(true, T, RelHum);
                Labelled = true;
                break;
            }
            if (X >= FMaxSpecHum) {
                AtRight = true;
                X = FMaxSpecHum;
                T = Calculator.TempFromSpecHumRelHum(FMaxSpecHum, RelHum);
            }
            if (Inside) {
                const TPoint To = StateToPixel(T, X);
                FCanvas->LineTo(To.X, To.Y);
            }
        }
        if (Inside && !Labelled) {
            DrawRelHumLabel(AtRight, T, RelHum);
        }
    }
}

// Writes RelHum / 100 along the end of its curve, on the curve's upper left
// side, over a blanked stretch of the curve.
void TMollierDraw::DrawRelHumLabel(bool AtRight, double Temp, double RelHum) {
    // In a chart a few dozen pixels small the label's points can fall outside
    // the saturation table; such a label is left out and the drawing goes on.
    try {
        FCanvas->SetFillStyle(TFillStyle::Solid);
        SetChartFont(FFontRelHum, 0, 0);
        const int Hd = FCanvas->TextHeight("0");
        const int W = FCanvas->TextWidth("100");
        double TA = 0;
        double TB = 0;
        double XA = 0;
        double XB = 0;
        auto FromTemp = [&] {
            TA = Temp - 1.8 * W / FScaleY;
            TB = Temp - 0.8 * W / FScaleY;
            XA = Calculator.SpecHumFromTempRelHum(TA, RelHum);
            XB = Calculator.SpecHumFromTempRelHum(TB, RelHum);
        };
        if (AtRight) {
            XA = FMaxSpecHum - 1.5 * W / FScaleX;
            XB = FMaxSpecHum - 0.5 * W / FScaleX;
            TA = Calculator.TempFromSpecHumRelHum(XA, RelHum);
            TB = Calculator.TempFromSpecHumRelHum(XB, RelHum);
        } else {
            FromTemp();
        }
        TPoint A = StateToPixel(TA, XA);
        TPoint B = StateToPixel(TB, XB);
        const TPoint Top = StateToPixel(FMaxTemp, XB);
        if (B.Y < Top.Y + 1.5 * Hd) {
            // Too close to the top edge for a label along the right edge.
            FromTemp();
            A = StateToPixel(TA, XA);
            B = StateToPixel(TB, XB);
        }
        // The visual slope of the curve, counter-clockwise positive.
        const double Alpha = A.X == B.X ? 90 : -Deg(std::atan(static_cast<double>(B.Y - A.Y) / (B.X - A.X)));
        const int Angle = RoundInt(Alpha);
        SetChartFont(FFontRelHum, Angle, 400);
        const int X = RoundInt(A.X + std::cos(Rad(Alpha + 90)) * 1.25 * Hd) - FPenThin;
        const int Y = RoundInt(A.Y - std::sin(Rad(Alpha + 90)) * 1.25 * Hd) - FPenThick;
        if (X - Hd / 2 < FMarginX) {
            return;
        }
        // Near a corner the points A and B can lie beyond an edge (the
        // saturation curve meeting the right edge just above the bottom);
        // a label there would stand across the frame and is left out.
        const std::string Label = FormatFixed(RelHum / 100, 1);
        if (!CellInsideFrame(X, Y - 1, FCanvas->TextWidth(Label), FCanvas->TextHeight(Label), Angle)) {
            return;
        }
        FCanvas->SetFillStyle(TFillStyle::Solid);
        SetChartFont(FFontRelHum - 4, Angle, 400);
        FCanvas->TextOut(X, Y + 1, "       ");
        FCanvas->SetFillStyle(TFillStyle::Clear);
        SetChartFont(FFontRelHum, Angle, 400);
        FCanvas->TextOut(X, Y - 1, Label);
    } catch (const ECalculationError&) {
    }
}

// Whether a text cell of W x H at (X, Y), rotated by Angle degrees about that
// corner, lies within the frame's rectangle.
bool TMollierDraw::CellInsideFrame(int X, int Y, int W, int H, int Angle) const {
    const TPoint TopLeft = StateToPixel(FMaxTemp, FMinSpecHum);
    const TPoint BottomRight = StateToPixel(FMinTemp, FMaxSpecHum);
    const double C = std::cos(Rad(Angle));
    const double S = std::sin(Rad(Angle));
    for (const int U : {0, W}) {
        for (const int V : {0, H}) {
            const double CornerX = X + U * C + V * S;
            const double CornerY = Y - U * S + V * C;
            if (CornerX < TopLeft.X || CornerX > BottomRight.X || CornerY < TopLeft.Y ||
                CornerY > BottomRight.Y) {
                return false;
            }
        }
    }
    return true;
}

// Left and top edges, the bottom edge up to the saturation curve and the
// right edge down to it; the 100 % curve closes the outline.
void TMollierDraw::DrawFrame() {
    FCanvas->SetPenWidth(FPenThick);
    FCanvas->SetPenColor(clBlack);
    Line(StateToPixel(FMaxTemp, FMinSpecHum), StateToPixel(FMinTemp, FMinSpecHum));
    Line(StateToPixel(FMaxTemp, FMinSpecHum), StateToPixel(FMaxTemp, FMaxSpecHum));
    const double BottomSat = std::min(Calculator.SpecHumFromTempRelHum(FMinTemp, 100), FMaxSpecHum);
    if (BottomSat >= FMinSpecHum) {
        Line(StateToPixel(FMinTemp, FMinSpecHum), StateToPixel(FMinTemp, BottomSat));
    }
    const double DewPoint = Calculator.TempFromSpecHumRelHum(FMaxSpecHum, 100);
    Line(StateToPixel(FMaxTemp, FMaxSpecHum),
         StateToPixel(DewPoint < FMinTemp ? FMinTemp : DewPoint, FMaxSpecHum));
}

// Where a point of the document stands on the device. A hand-edited file can
// hold 1e300 °C and a document NaN: such a point has no place on any canvas
// and is left out, with its process lines, while the rest is drawn.
bool TMollierDraw::PointPixel(const TMollierPoint& Point, TPoint& Pixel) const {
    const double X = Point.SpecHum * FScaleX + FOriginX;
    const double Y = FOriginY - Point.Temp * FScaleY;
    if (!(std::fabs(X) <= KFarPixel && std::fabs(Y) <= KFarPixel)) {
        return false;
    }
    Pixel = {RoundInt(X), RoundInt(Y)};
    return true;
}

// A line leaves every point that asks for one, shown or not; the markers
// come after both lines at their point, so they always lie on top.
void TMollierDraw::DrawProcessLines() {
    FCanvas->SetPenWidth(FPenProcess);
    const int Count = Document->PointCount();
    for (int I = 0; I < Count; ++I) {
        const TMollierPoint& P = Document->Points[static_cast<size_t>(I)];
        TPoint From;
        if (!PointPixel(P, From)) {
            continue;
        }
        TPoint To;
        if (P.LineToNext && Count > 1 && I < Count - 1 &&
            PointPixel(Document->Points[static_cast<size_t>(I) + 1], To)) {
            Line(From, To);
        }
        if (P.ShowInChart) {
            DrawPointMarker(From);
        }
    }
}

void TMollierDraw::DrawPointMarker(TPoint P) {
    FCanvas->SetFillColor(clAqua);
    FCanvas->SetFillStyle(TFillStyle::Solid);
    const int R = FMarkerSize / 2;
    FCanvas->Ellipse(P.X - R, P.Y - R, P.X - R + FMarkerSize, P.Y - R + FMarkerSize);
}

// Each number stands 1.7 label widths from its point, opposite the mean
// direction of its neighbours, so it keeps clear of the process lines.
void TMollierDraw::DrawPointLabels() {
    SetChartFont(RoundInt(FFontLabel * 1.15), 0, 900);
    FCanvas->SetFillStyle(TFillStyle::Clear);
    const int Count = Document->PointCount();
    // Neighbours without a place on the canvas count as absent.
    auto PixelOf = [&](int I) -> std::optional<TPoint> {
        TPoint Pixel;
        if (I < 0 || I >= Count || !PointPixel(Document->Points[static_cast<size_t>(I)], Pixel)) {
            return std::nullopt;
        }
        return Pixel;
    };
    // Direction from P to N in degrees, y downwards; between -90 and 270.
    auto Direction = [](TPoint P, TPoint N) {
        const int Dx = N.X - P.X;
        const int Dy = N.Y - P.Y;
        if (Dx < 0) {
            return Deg(std::atan(static_cast<double>(Dy) / Dx)) + 180;
        }
        if (Dx == 0) {
            return N.Y >= P.Y ? 90.0 : -90.0;
        }
        return Deg(std::atan(static_cast<double>(Dy) / Dx));
    };
    for (int I = 0; I < Count; ++I) {
        const TMollierPoint& Point = Document->Points[static_cast<size_t>(I)];
        if (!Point.ShowInChart) {
            continue;
        }
        const std::optional<TPoint> Own = PixelOf(I);
        if (!Own) {
            continue;
        }
        const TPoint P = *Own;
        const std::optional<TPoint> Before = PixelOf(I - 1);
        const std::optional<TPoint> After = PixelOf(I + 1);
        TPoint N1;
        TPoint N2;
        if (!Before && !After) {
            // A lone point takes its label to the upper right.
            N1 = {P.X - 1, P.Y + 1};
            N2 = {P.X - 2, P.Y + 2};
        } else if (!Before) {
            N1 = N2 = *After;
        } else if (!After) {
            N1 = N2 = *Before;
        } else {
            N1 = *Before;
            N2 = *After;
        }
        // Averaged as plain numbers: neighbours either side of straight up
        // (-80° and 260°) send the label straight up, between the lines.
        const int L = RoundInt((Direction(P, N1) + Direction(P, N2)) / 2 + 180);
        const std::string Label = std::to_string(Point.Number);
        const int W = FCanvas->TextWidth(Label);
        const int Ht = FCanvas->TextHeight(Label);
        FCanvas->TextOut(P.X + RoundInt(std::cos(Rad(L)) * 1.7 * W) - W / 2,
                         P.Y + RoundInt(std::sin(Rad(L)) * 1.7 * W) - Ht / 2, Label);
    }
}

} // namespace psykrona
