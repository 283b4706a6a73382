// The chart renderer on projects whose values are extreme or not finite, as
// a hand-edited file or a failed calculation leaves them: the chart draws
// what it can (the grid, every point that has a place on a canvas, the lines
// between those) and never throws, hangs or computes out of range.
#include "chart/MollierDraw.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "printing/MollierPrint.h"
#include "tests/printing/PrintFixture.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace psykrona {
namespace {

using test::TRecordedCall;
using test::TRecordingCanvas;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

struct TState {
    double Temp;
    double SpecHum;
};

TMain Project(const std::vector<TState>& States) {
    TMain Doc;
    for (const TState& S : States) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = Doc.PointCount();
        P.Temp = S.Temp;
        P.SpecHum = S.SpecHum;
    }
    return Doc;
}

TRecordingCanvas Draw(TMain& Doc) {
    TRecordingCanvas Canvas;
    TMollierDraw Renderer;
    Renderer.Document = &Doc;
    Renderer.SetCanvas(&Canvas, 0, 0, 800, 600);
    Renderer.DrawDiagram(false);
    TMollierCalculate::GetInstance().Pressure = TMain::NormalPressure;
    return Canvas;
}

std::vector<std::string> Lines(const std::vector<TRecordedCall>& Calls) {
    std::vector<std::string> Out;
    for (const TRecordedCall& C : Calls) {
        Out.push_back(C.ToString());
    }
    return Out;
}

// Nothing drawn lies absurdly far away, where a coordinate would have
// wrapped around the int range.
void ExpectSaneCoordinates(const TRecordingCanvas& Canvas) {
    for (const TRecordedCall& C : Canvas.Calls) {
        for (const int V : {C.X1, C.Y1, C.X2, C.Y2}) {
            ASSERT_LT(std::abs(V), 1 << 25) << C.ToString();
        }
    }
}

struct TExtremeCase {
    const char* Name;
    TState State;
};

const TExtremeCase ExtremeCases[] = {
    {"1e300 degrees", {1e300, 0.008}},
    {"-1e300 degrees", {-1e300, 0.008}},
    {"NaN temperature", {NaN, 0.008}},
    {"NaN humidity ratio", {20, NaN}},
    {"humidity ratio -1e308", {20, -1e308}},
    {"humidity ratio 1e308", {20, 1e308}},
    {"infinities", {Inf, -Inf}},
    {"pixels beyond the int range", {1e9, 0.008}},
    {"pixels millions away", {3e6, 0.008}},
};

// Point 2 is the extreme one. The chart with it equals the chart without it
// except for what touches point 2: its marker, its label, its two lines, and
// the places of its neighbours' labels.
TEST(ExtremeValuesChart, PointWithoutAPlaceIsLeftOutAndTheRestIsDrawn) {
    const TState A{20, 0.008};
    const TState B{30, 0.012};
    const TState C{10, 0.005};
    TMain Reference = Project({A, B, C});
    const TRecordingCanvas Expected = Draw(Reference);
    const auto ExpectedMarkers = Lines(Expected.Named("Ellipse"));
    ASSERT_EQ(ExpectedMarkers.size(), 3u);
    const auto ExpectedLines = Lines(Expected.Named("LineTo"));

    for (const TExtremeCase& Case : ExtremeCases) {
        SCOPED_TRACE(Case.Name);
        TMain Doc = Project({A, Case.State, B, C});
        TRecordingCanvas Canvas;
        ASSERT_NO_THROW(Canvas = Draw(Doc));
        ExpectSaneCoordinates(Canvas);

        EXPECT_EQ(Lines(Canvas.Named("Ellipse")), ExpectedMarkers);
        // The grid and the frame, then the line from B to C only.
        auto DrawnLines = Lines(Canvas.Named("LineTo"));
        ASSERT_EQ(DrawnLines.size(), ExpectedLines.size() - 1);
        EXPECT_TRUE(std::equal(DrawnLines.begin(), DrawnLines.end() - 1, ExpectedLines.begin()));
        EXPECT_EQ(DrawnLines.back(), ExpectedLines.back());

        std::vector<std::string> Labels;
        for (const TRecordedCall& T : Canvas.Named("TextOut")) {
            if (T.Font.Weight == 900) {
                Labels.push_back(T.Text);
            }
        }
        EXPECT_EQ(Labels, (std::vector<std::string>{"1", "3", "4"}));
    }
}

// Far off, yet within reach of a canvas: drawn, with nothing overflowing.
TEST(ExtremeValuesChart, FarPointIsDrawnWhereItIs) {
    TMain Doc = Project({{20, 0.008}, {2e6, 500}, {30, 0.012}});
    TRecordingCanvas Canvas;
    ASSERT_NO_THROW(Canvas = Draw(Doc));
    ExpectSaneCoordinates(Canvas);
    const auto Markers = Canvas.Named("Ellipse");
    ASSERT_EQ(Markers.size(), 3u);
    EXPECT_GT(Markers[1].X1, 5000000);
    EXPECT_LT(Markers[1].Y1, -5000000);
}

// A project pressure from a hand-edited file: the chart draws what the
// calculator allows, possibly nothing, and returns.
TEST(ExtremeValuesChart, AbsurdPressureEndsTheDrawingQuietly) {
    for (const double Pressure : {NaN, Inf, -Inf, 0.0, -101.3, 1e-300, 1e300, 1e6}) {
        SCOPED_TRACE(FloatToStr(Pressure));
        TMain Doc = Project({{20, 0.008}, {1e300, NaN}, {30, 0.012}});
        Doc.Pressure = Pressure;
        TRecordingCanvas Canvas;
        ASSERT_NO_THROW(Canvas = Draw(Doc));
        ExpectSaneCoordinates(Canvas);
    }
}

// The print layout on the same projects: every layout is drawn and returns,
// the data page lists every point with whatever its values say, and nothing
// lands where a coordinate would have wrapped.
TEST(ExtremeValuesChart, EveryPrintLayoutDrawsWhatItCan) {
    for (const TExtremeCase& Case : ExtremeCases) {
        SCOPED_TRACE(Case.Name);
        test::TPrintPage Page(4672, 6774);
        Page.Doc = Project({{20, 0.008}, Case.State, {30, 0.012}});
        for (TMollierPoint& P : Page.Doc.Points) {
            P.Name = "Point ";
            P.Name += std::to_string(P.Number);
        }
        for (const int Layout :
             {TMollierPrint::KDataPage, TMollierPrint::KChartPage, TMollierPrint::KChartPicture}) {
            ASSERT_NO_THROW(Page.Print(Layout)) << "layout " << Layout;
            ExpectSaneCoordinates(Page.Canvas);
            if (Layout == TMollierPrint::KDataPage) {
                for (const char* Name : {"Point 1", "Point 2", "Point 3"}) {
                    EXPECT_EQ(Page.TextCalls(Name).size(), 1u) << Name;
                }
            }
        }
        TMollierCalculate::GetInstance().Pressure = TMain::NormalPressure;
    }
}

} // namespace
} // namespace psykrona
