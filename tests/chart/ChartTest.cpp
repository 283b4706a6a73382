// The chart renderer: properties over random limits and canvas sizes, calls
// against reviewed golden files; the limits' setters.
#include "tests/chart/ChartFixture.h"

#include "engine/MollierCalculate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <set>
#include <tuple>

namespace psykrona {
namespace {

using test::TChart;
using test::TRecordedCall;
using test::TRecordingCanvas;

constexpr unsigned Seed = 7202612;

struct TLimits {
    double MinTemp, MaxTemp, MinSpecHum, MaxSpecHum;
    int Width = 800, Height = 600;
};

// Whether Value is what the pixel (X, Y) or one of its neighbours stands for:
// lines end on whole pixels.
bool MapsBack(const TMollierDraw& D, int X, int Y, double Value, double TMoistAirState::*Of) {
    double Lo = INFINITY;
    double Hi = -INFINITY;
    for (int N = 0; N < 9; ++N) {
        const double V = D.PixelToState(X + N % 3 - 1, Y + N / 3 - 1).*Of;
        Lo = std::min(Lo, V);
        Hi = std::max(Hi, V);
    }
    return Value >= Lo - 1e-9 && Value <= Hi + 1e-9;
}

// The multiples of Step from Lo to Hi, an edge counting within a millionth of
// a step.
std::set<std::string> Multiples(double Lo, double Hi, double Step, int Decimals) {
    std::set<std::string> Out;
    for (double K = std::ceil(Lo / Step - 1e-6); K <= std::floor(Hi / Step + 1e-6); ++K) {
        Out.insert(Decimals == 0 ? std::to_string(static_cast<int>(K * Step)) : FormatFixed(K * Step, Decimals));
    }
    return Out;
}

// Checks one drawing; returns false when the limits leave no chart.
bool Check(const TLimits& L) {
    SCOPED_TRACE(testing::Message() << "seed " << Seed << ": " << L.MinTemp << " to " << L.MaxTemp << " °C, "
                                    << L.MinSpecHum * 1000 << " to " << L.MaxSpecHum * 1000 << " g/kg, " << L.Width
                                    << " x " << L.Height);
    TChart C(L.Width, L.Height);
    C.SetLimits(L.MinTemp, L.MaxTemp, L.MinSpecHum, L.MaxSpecHum);
    const auto& Calls = C.Render();
    const TMollierDraw& D = C.Draw;
    const TPoint TopLeft = D.StateToPixel(D.MaxTemp(), D.MinSpecHum());
    const TPoint BottomRight = D.StateToPixel(D.MinTemp(), D.MaxSpecHum());
    auto InFrame = [&](double X, double Y) {
        return X >= TopLeft.X - 1 && X <= BottomRight.X + 1 && Y >= TopLeft.Y - 1 && Y <= BottomRight.Y + 1;
    };
    // Families in drawing order, each ended by its axis title: isotherms,
    // humidity ratios, enthalpies, then the humidity curves.
    const std::string Titles[3] = {D.TitleTemp(), D.TitleSpecHum(), D.TitleEnthalpy()};
    double TMoistAirState::*const Of[4] = {&TMoistAirState::Temp, &TMoistAirState::SpecHum,
                                           &TMoistAirState::Enthalpy, &TMoistAirState::RelHum};
    const double Steps[4] = {1, 0.001, 5, 10};
    int Family = 0, Frame = 0;
    std::set<std::string> Labels[3], CurveLabels;
    std::set<int> Curves;
    const TRecordedCall* LastLine = nullptr;
    bool LabelWaits = false;
    for (std::size_t I = 0; I < Calls.size(); ++I) {
        const TRecordedCall& Call = Calls[I];
        if (Call.Name == "LineTo" && Call.PenColor == clBlack) {
            ++Frame;
            EXPECT_TRUE(std::min({Call.X1, Call.X2, Call.Y1, Call.Y2}) >= 0 && std::max(Call.X1, Call.X2) < L.Width &&
                        std::max(Call.Y1, Call.Y2) < L.Height)
                << "frame off the canvas: " << Call.ToString();
        } else if (Call.Name == "LineTo") {
            EXPECT_TRUE(InFrame(Call.X1, Call.Y1) && InFrame(Call.X2, Call.Y2))
                << "line crosses the frame: " << Call.ToString();
            const double V = std::round(D.PixelToState(Call.X1, Call.Y1).*Of[Family] / Steps[Family]) * Steps[Family];
            EXPECT_TRUE(MapsBack(D, Call.X1, Call.Y1, V, Of[Family]) && MapsBack(D, Call.X2, Call.Y2, V, Of[Family]))
                << "family " << Family << " line at no value of its step: " << Call.ToString();
            if (LabelWaits) {
                // Isotherm and humidity-ratio labels come just before their line.
                const std::string Own = Family == 0 ? std::to_string(static_cast<int>(V)) : FormatFixed(V, 3);
                EXPECT_EQ(Calls[I - 2].Text, Own) << Call.ToString();
                LabelWaits = false;
            }
            Curves.insert(Family == 3 ? static_cast<int>(V) : -1);
            LastLine = &Call;
        } else if (Call.Name == "TextOut" && Family < 3 && Call.Text == Titles[Family]) {
            ++Family;
        } else if (Call.Name == "TextOut" && Family < 2) {
            EXPECT_TRUE(Labels[Family].insert(Call.Text).second) << "twice: " << Call.Text;
            LabelWaits = true;
        } else if (Call.Name == "TextOut" && Family == 2) {
            // An enthalpy label follows its line, at each multiple of 10.
            EXPECT_TRUE(std::stoi(Call.Text) % 10 == 0 && LastLine != nullptr &&
                        std::fabs(std::stod(Call.Text) - D.PixelToState(LastLine->X2, LastLine->Y2).Enthalpy) < 3)
                << Call.ToString();
        } else if (Call.Name == "TextOut" && Call.Font.Height == D.FontRelHum() && Frame == 0) {
            EXPECT_TRUE(CurveLabels.insert(Call.Text).second) << "a curve labelled twice: " << Call.Text;
            const double A = Call.Font.Angle * std::numbers::pi / 180;
            const double W = TRecordingCanvas::CodePoints(Call.Text) * TRecordingCanvas::CharWidth(Call.Font.Height);
            const double H = Call.Font.Height;
            for (const auto& [U, V] : {std::pair{0.0, 0.0}, {W, 0.0}, {0.0, H}, {W, H}}) {
                EXPECT_TRUE(InFrame(Call.X1 + U * std::cos(A) + V * std::sin(A), Call.Y1 - U * std::sin(A) + V * std::cos(A)))
                    << "label crosses the frame: " << Call.ToString();
            }
        }
    }
    if (Frame == 0) {
        return false;
    }
    // Every whole multiple of the major steps inside the limits has its
    // labelled line; isotherms end where saturation leaves the bottom edge.
    const double LowestTemp = std::max(D.MinTemp(), TMollierCalculate::GetInstance().TempFromSpecHumRelHum(D.MinSpecHum(), 100));
    EXPECT_EQ(Labels[0], Multiples(LowestTemp, D.MaxTemp(), 5, 0));
    EXPECT_EQ(Labels[1], Multiples(D.MinSpecHum(), D.MaxSpecHum(), 0.005, 3));
    for (const std::string& Label : CurveLabels) {
        EXPECT_EQ(Curves.count(static_cast<int>(std::lround(StrToFloat(Label) * 100))), 1u) << "no curve for " << Label;
    }
    return true;
}

TEST(ChartProperties, FrameGridAndCurvesOverRandomLimitsAndSizes) {
    std::mt19937 Rng(Seed);
    auto Uniform = [&](double Lo, double Hi) { return std::uniform_real_distribution<double>(Lo, Hi)(Rng); };
    auto Whole = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
    int Drawn = 0;
    for (int I = 0; I < 1200 && !testing::Test::HasFailure(); ++I) {
        // Warm bottoms, narrow ranges and whole-g/kg limits come often.
        const double MinT = I % 3 == 0 ? Uniform(40, 78) : Uniform(-40, 78);
        const double MaxT = MinT + (I % 4 == 0 ? Uniform(2, 6) : Uniform(2, 80 - MinT));
        const double MinX = I % 2 == 0 ? Whole(0, 58) / 1000.0 : Uniform(0, 0.05);
        const double MaxX = MinX + (I % 2 == 0 ? Whole(2, I % 4 == 0 ? 4 : 40) / 1000.0 : Uniform(0.002, 0.04));
        Drawn += Check({MinT, MaxT, MinX, MaxX, Whole(240, 3000), Whole(180, 2400)});
    }
    EXPECT_GT(Drawn, 800);
    // As users met them: a warm bottom, narrow humidity ranges, whole-g/kg
    // limits whose left edge is a major line, a top below -10 °C.
    for (const TLimits& L : {TLimits{60, 70, 0, 0.035}, {-20, 50, 0.010, 0.012}, {-20, 50, 0.005, 0.007},
                             {-20, 50, 0.005, 0.030}, {-20, 50, 0.020, 0.045}, {-20, 50, 0.025, 0.060},
                             {-40, -12, 0, 0.035}}) {
        EXPECT_TRUE(Check(L));
    }
}

// Nothing is drawn where there is no chart; in a chart too small for the
// saturation table a calculation fails and ends the drawing without escaping.
TEST(ChartProperties, NoChartDrawsNothingAndFailuresStayInside) {
    for (const auto& [Width, Height, Left, MinSpecHum, Document, Canvas] :
         {std::tuple{800, 600, 0, 0.0, false, true}, {800, 600, 0, 0.0, true, false}, {7, 600, 0, 0.0, true, true},
          {800, 9, 0, 0.0, true, true}, {800, 600, -1, 0.0, true, true}, {800, 600, 0, 0.1, true, true}}) {
        TChart C(Width, Height);
        C.SetLimits(-20, 50, MinSpecHum, 0.2);
        C.Draw.SetCanvas(Canvas ? &C.Canvas : nullptr, Left, 0, Width, Height);
        C.Draw.Document = Document ? &C.Doc : nullptr;
        C.Draw.DrawDiagram(false);
        EXPECT_EQ(C.Canvas.DrawingCount(), 0) << Width << " x " << Height << " at " << Left;
    }
    TChart Tiny(24, 20);
    EXPECT_GT((Tiny.Render(), Tiny.Canvas.DrawingCount()), 0);
}

const char* const Header = R"(
Texts show their keys (no translator); a character is 0.6 of the font's height wide.
To rewrite after a meant change: PSYKRONA_UPDATE_GOLDEN=1 build/test/tests/chart_tests
  --gtest_filter='ChartGolden.*', then read `git diff` before committing it. Look at: the frame
(black, pen 2) on the canvas and nothing red beyond it; labels beside their lines with the
case's separator; markers, numbers, process lines. Render it with psykrona-cli chart to PNG.)";

// A short process on the default limits: a hidden point and a broken line
// show what is drawn and what is left out.
void AddProcess(TChart& C) {
    C.AddPoints({{-5, 0.002}, {22, 0.002}, {26, 0.009}, {18, 0.011}, {24, 0.012}});
    C.Doc.Points[2].ShowInChart = false;
    C.Doc.Points[3].LineToNext = false;
}

// The default chart with a process, also with "," as the separator; the
// limits raised to 60 °C and 45 g/kg, the bottom to 3 g/kg, with points below
// -10 °C beyond the bottom edge, drawn where they map; a warm bottom, where
// humidity curves once ran out of the frame.
TEST(ChartGolden, DefaultCommaRaisedAndWarmCharts) {
    const std::tuple<const char*, int, int, std::function<void(TChart&)>, const char*> Cases[] = {
        {"default.txt", 800, 600, AddProcess, "default limits at 800 x 600, five points"},
        {"comma.txt", 800, 600, [](TChart& C) { AddProcess(C), SetDecimalSeparator(','); },
         "default limits at 800 x 600 with \",\" as the separator"},
        {"raised.txt", 1024, 700,
         [](TChart& C) { C.SetLimits(-30, 60, 0.003, 0.045), C.AddPoints({{-15, 0.001}, {-12, 0.0015}, {35, 0.02}}); },
         "-30 to 60 °C, 3 to 45 g/kg at 1024 x 700, points at -15 and -12 °C"},
        {"warm.txt", 800, 600, [](TChart& C) { C.SetLimits(60, 70, 0, 0.035); }, "60 to 70 °C, 0 to 35 g/kg at 800 x 600"}};
    for (const auto& [File, Width, Height, Set, What] : Cases) {
        SetDecimalSeparator('.');
        TChart C(Width, Height);
        Set(C);
        const std::string Drawn = (C.Render(), C.Canvas.ToText());
        const std::string Path = std::string(PSYKRONA_SOURCE_DIR) + "/tests/chart/golden/" + File;
        const std::string About = std::string("The chart renderer's calls on the recording canvas, one a line: ") + What;
        EXPECT_EQ(test::CompareWithGolden(Path, About + "." + Header, Drawn), "");
        // Printer fonts change nothing on the recording canvas.
        EXPECT_EQ((C.Render(true), C.Canvas.ToText()), Drawn);
    }
}

// Calls on default options, in order ("t" minimum temperature, "T" maximum,
// "x" and "X" the humidity ratios), and the limits they leave: each setter
// clamps against its range and the opposite limit, minimum-maximum-minimum
// reaches a pair the first call cannot, and not a number never becomes one.
TEST(TMollierOptionsTest, SettersClampAgainstTheOppositeLimitAndTheRange) {
    const std::tuple<std::string, std::vector<double>, std::vector<double>> Cases[] = {
        {"t", {-50}, {-40, 50, 0, 0.035}},          {"t", {49}, {48, 50, 0, 0.035}},
        {"T", {100}, {-20, 80, 0, 0.035}},          {"T", {-30}, {-20, -18, 0, 0.035}},
        {"x", {-0.001}, {-20, 50, 0, 0.035}},       {"x", {0.034}, {-20, 50, 0.033, 0.035}},
        {"X", {0.001}, {-20, 50, 0, 0.002}},        {"X", {0.5}, {-20, 50, 0, 0.5}},
        {"tTt", {60, 70, 60}, {60, 70, 0, 0.035}},  {"tTt", {10, 11, 10}, {10, 12, 0, 0.035}},
        {"tTt", {-60, -30, -60}, {-40, -30, 0, 0.035}},
        {"tTxX", {NAN, NAN, NAN, NAN}, {48, 50, 0.033, 0.035}},
    };
    for (const auto& [Calls, Values, Limits] : Cases) {
        TMollierOptions O;
        for (std::size_t I = 0; I < Calls.size(); ++I) {
            const std::size_t Which = std::string("tTxX").find(Calls[I]);
            (O.*std::array{&TMollierOptions::SetMinTemp, &TMollierOptions::SetMaxTemp, &TMollierOptions::SetMinSpecHum,
                           &TMollierOptions::SetMaxSpecHum}[Which])(Values[I]);
        }
        EXPECT_EQ((std::vector<double>{O.MinTemp(), O.MaxTemp(), O.MinSpecHum(), O.MaxSpecHum()}), Limits)
            << Calls << " " << Values[0];
    }
}

} // namespace
} // namespace psykrona
