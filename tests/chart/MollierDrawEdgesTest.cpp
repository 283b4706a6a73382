// The chart at the edges of its limits, as properties over many random
// limits and canvas sizes: the frame lies on the canvas, no grid line, curve
// or humidity label crosses it, and every humidity-ratio line of whole-g/kg
// limits keeps its label. The seed is printed with every failure.
#include "tests/chart/ChartFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <sstream>

namespace psykrona {
namespace {

using test::TChart;
using test::TRecordedCall;
using test::TRecordingCanvas;

constexpr unsigned KSeed = 7202612;

struct TLimits {
    double MinTemp, MaxTemp, MinSpecHum, MaxSpecHum;
    int Width, Height;

    std::string ToString() const {
        std::ostringstream S;
        S << "seed " << KSeed << ": " << MinTemp << " to " << MaxTemp << " °C, " << MinSpecHum * 1000
          << " to " << MaxSpecHum * 1000 << " g/kg, " << Width << " x " << Height;
        return S.str();
    }
};

// Applied as the limits dialog does: minimum, maximum, minimum.
void Apply(TChart& C, const TLimits& L) {
    C.Options.SetMinTemp(L.MinTemp);
    C.Options.SetMaxTemp(L.MaxTemp);
    C.Options.SetMinTemp(L.MinTemp);
    C.Options.SetMinSpecHum(L.MinSpecHum);
    C.Options.SetMaxSpecHum(L.MaxSpecHum);
    C.Options.SetMinSpecHum(L.MinSpecHum);
}

struct TBox {
    int Left, Top, Right, Bottom;
};

// The frame's bounding rectangle in the layout of the last drawing.
TBox FrameBox(const TMollierDraw& D) {
    const TPoint TopLeft = D.StateToPixel(D.MaxTemp(), D.MinSpecHum());
    const TPoint BottomRight = D.StateToPixel(D.MinTemp(), D.MaxSpecHum());
    return {TopLeft.X, TopLeft.Y, BottomRight.X, BottomRight.Y};
}

bool Within(const TBox& B, double X, double Y, int Slack) {
    return X >= B.Left - Slack && X <= B.Right + Slack && Y >= B.Top - Slack && Y <= B.Bottom + Slack;
}

// Checks one drawing; returns false when the limits leave no chart.
bool CheckEdges(const TLimits& L) {
    TChart C(L.Width, L.Height);
    Apply(C, L);
    const auto& Calls = C.Render();
    const TMollierDraw& D = C.Draw;
    std::vector<TRecordedCall> Frame;
    for (const TRecordedCall& Call : Calls) {
        if (Call.Name == "LineTo" && Call.PenColor == clBlack) {
            Frame.push_back(Call);
        }
    }
    if (Frame.empty()) {
        return false;
    }
    const TBox Box = FrameBox(D);
    const TBox Canvas{0, 0, L.Width - 1, L.Height - 1};
    for (const TRecordedCall& F : Frame) {
        EXPECT_TRUE(Within(Canvas, F.X1, F.Y1, 0) && Within(Canvas, F.X2, F.Y2, 0))
            << "frame off the canvas: " << F.ToString() << "\n"
            << L.ToString();
    }
    for (const TRecordedCall& Call : Calls) {
        if (Call.Name == "LineTo" && Call.PenColor == clRed) {
            EXPECT_TRUE(Within(Box, Call.X1, Call.Y1, 1) && Within(Box, Call.X2, Call.Y2, 1))
                << "line crosses the frame: " << Call.ToString() << "\n"
                << L.ToString();
        }
        // Humidity labels, in their rotated cells.
        const int H = Call.Font.Height;
        if (Call.Name == "TextOut" && H == D.FontRelHum()) {
            const double A = Call.Font.Angle * std::numbers::pi / 180;
            const double W = TRecordingCanvas::CodePoints(Call.Text) * TRecordingCanvas::CharWidth(H);
            for (const auto& [U, V] : {std::pair{0.0, 0.0}, {W, 0.0}, {0.0, 1.0 * H}, {W, 1.0 * H}}) {
                const double X = Call.X1 + U * std::cos(A) + V * std::sin(A);
                const double Y = Call.Y1 - U * std::sin(A) + V * std::cos(A);
                EXPECT_TRUE(Within(Box, X, Y, 1)) << "label crosses the frame: " << Call.ToString() << "\n"
                                                  << L.ToString();
            }
        }
    }
    return true;
}

TEST(TMollierDrawEdgesTest, FrameOnTheCanvasAndNothingCrossesIt) {
    std::mt19937 Rng(KSeed);
    auto Uniform = [&](double Lo, double Hi) { return std::uniform_real_distribution<double>(Lo, Hi)(Rng); };
    auto Whole = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
    int Drawn = 0;
    for (int I = 0; I < 1500 && !HasFailure(); ++I) {
        TLimits L{};
        // Warm bottoms and narrow ranges need to come often.
        L.MinTemp = I % 3 == 0 ? Uniform(40, 78) : Uniform(-40, 78);
        L.MaxTemp = L.MinTemp + (I % 4 == 0 ? Uniform(2, 6) : Uniform(2, 80 - L.MinTemp));
        if (I % 2 == 0) {
            L.MinSpecHum = Whole(0, 58) / 1000.0;
            L.MaxSpecHum = L.MinSpecHum + Whole(2, I % 4 == 0 ? 4 : 40) / 1000.0;
        } else {
            L.MinSpecHum = Uniform(0, 0.05);
            L.MaxSpecHum = L.MinSpecHum + Uniform(0.002, 0.04);
        }
        L.Width = Whole(240, 3000);
        L.Height = Whole(180, 2400);
        Drawn += CheckEdges(L);
    }
    EXPECT_GT(Drawn, 1000);
    // The faults as users met them.
    EXPECT_TRUE(CheckEdges({60, 70, 0, 0.035, 800, 600}));
    EXPECT_TRUE(CheckEdges({-20, 50, 0.010, 0.012, 800, 600}));
    EXPECT_TRUE(CheckEdges({-20, 50, 0.005, 0.007, 800, 600}));
}

// Every multiple of 5 g/kg between the lowest humidity ratio and the
// effective highest one has its labelled major line, for every pair of
// whole-g/kg limits whose left edge lies on such a line.
TEST(TMollierDrawEdgesTest, WholeGramLimitsKeepEveryHumidityRatioLabel) {
    std::mt19937 Rng(KSeed);
    for (int Lo = 0; Lo <= 55 && !HasFailure(); Lo += 5) {
        for (int Hi = Lo + 2; Hi <= 60; ++Hi) {
            TChart C(std::uniform_int_distribution<int>(240, 3000)(Rng), 600);
            const TLimits L{-20, 50, Lo / 1000.0, Hi / 1000.0, C.Draw.ChartWidth(), 600};
            Apply(C, L);
            C.Render();
            std::set<std::string> Labels;
            for (const TRecordedCall& Call : C.Between(C.Draw.TitleTemp(), C.Draw.TitleSpecHum())) {
                if (Call.Name == "TextOut") {
                    Labels.insert(Call.Text);
                }
            }
            const int Top = static_cast<int>(std::floor(C.Draw.MaxSpecHum() * 1000 + 1e-6));
            for (int G = (Lo + 4) / 5 * 5; G <= Top; G += 5) {
                EXPECT_EQ(Labels.count(FormatFixed(G / 1000.0, 3)), 1u) << G << " g/kg; " << L.ToString();
            }
            EXPECT_EQ(Labels.size(), static_cast<size_t>(std::max(0, Top / 5 - (Lo + 4) / 5 + 1)))
                << L.ToString();
        }
    }
}

} // namespace
} // namespace psykrona
