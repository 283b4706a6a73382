// Points, markers, process lines and the placement of the point numbers.
#include "tests/chart/ChartFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace psykrona {
namespace {

using test::Only;
using test::TChart;
using test::TRecordedCall;

// The calls after the frame: process lines, markers and numbers.
std::vector<TRecordedCall> PointCalls(const TChart& C) {
    std::vector<TRecordedCall> Out;
    int FrameLines = 0;
    for (const TRecordedCall& Call : C.Canvas.Calls) {
        if (FrameLines == 4 && Call.IsDrawing()) {
            Out.push_back(Call);
        }
        FrameLines += Call.Name == "LineTo" && Call.PenColor == clBlack && FrameLines < 4;
    }
    return Out;
}

// Direction (degrees, y downwards, 0 to 360) and distance from a point to
// the centre of its number's cell.
struct TPlacement {
    double Angle;
    double Distance;
};

TPlacement Placement(TPoint P, const TRecordedCall& Label) {
    const double W = Label.Text.size() * test::TRecordingCanvas::CharWidth(Label.Font.Height);
    const double Dx = Label.X1 + std::floor(W / 2) - P.X;
    const double Dy = Label.Y1 + Label.Font.Height / 2 - P.Y;
    double A = std::atan2(Dy, Dx) * 180 / std::numbers::pi;
    if (A < 0) {
        A += 360;
    }
    return {A, std::hypot(Dx, Dy) / W};
}

TEST(TMollierDrawPointsTest, NumbersStandOppositeTheProcessLines) {
    struct Case {
        const char* What;
        std::vector<TPoint> Points;
        std::vector<double> Angles; // of each point's number, y downwards
    };
    const Case Cases[] = {
        {"one point: above right", {{400, 300}}, {315}},
        {"two side by side", {{300, 300}, {500, 300}}, {180, 0}},
        {"middle between left and right: straight up", {{300, 300}, {400, 300}, {500, 300}}, {180, 270, 0}},
        {"second straight above the first", {{400, 300}, {400, 200}}, {90, 270}},
        // -80° and 260° average to 90°: the number goes up between the lines.
        {"neighbours either side of straight up", {{410, 243}, {400, 300}, {390, 243}}, {-1, 270, -1}},
        {"coinciding points: up", {{400, 300}, {400, 300}}, {270, 270}},
    };
    for (const Case& K : Cases) {
        TChart C;
        C.Render();
        for (const TPoint P : K.Points) {
            C.AddPointAt(P.X, P.Y);
        }
        C.Render();
        const auto Labels = Only(PointCalls(C), "TextOut");
        ASSERT_EQ(Labels.size(), K.Points.size()) << K.What;
        for (size_t I = 0; I < Labels.size(); ++I) {
            EXPECT_EQ(Labels[I].Text, std::to_string(I + 1));
            EXPECT_EQ(Labels[I].Font.Height, 17) << K.What; // Round(15 * 1.15)
            EXPECT_EQ(Labels[I].Font.Weight, 900);
            EXPECT_EQ(Labels[I].FillStyle, TFillStyle::Clear);
            if (K.Angles[I] < 0) {
                continue;
            }
            const TPlacement Pl = Placement(K.Points[I], Labels[I]);
            // Whole pixels and a one-digit label: a few degrees and a tenth
            // of a width either way.
            const double Diff = std::remainder(Pl.Angle - K.Angles[I], 360.0);
            EXPECT_NEAR(Diff, 0, 6) << K.What << ", point " << I + 1 << " at " << Pl.Angle;
            EXPECT_NEAR(Pl.Distance, 1.7, 0.15) << K.What << ", point " << I + 1;
        }
    }
}

TEST(TMollierDrawPointsTest, LinesLeaveEveryPointThatAsksAndMarkersLieOnTop) {
    TChart C;
    C.Render();
    C.AddPointAt(200, 400);
    C.AddPointAt(300, 300).ShowInChart = false;
    C.AddPointAt(400, 350);
    C.AddPointAt(500, 250).LineToNext = false;
    C.AddPointAt(600, 200); // the last point's line leads nowhere
    C.Render();
    std::string Order;
    for (const TRecordedCall& Call : PointCalls(C)) {
        if (Call.Name == "LineTo") {
            Order += "L" + std::to_string(Call.X1 / 100) + std::to_string(Call.X2 / 100) + " ";
            EXPECT_EQ(Call.PenWidth, 2);
            EXPECT_EQ(Call.PenColor, clBlack);
        } else if (Call.Name == "Ellipse") {
            Order += "M" + std::to_string((Call.X1 + 4) / 100) + " ";
            EXPECT_EQ(Call.X2 - Call.X1, 9);
            EXPECT_EQ(Call.Y2 - Call.Y1, 9);
            EXPECT_EQ(Call.FillColor, clAqua);
            EXPECT_EQ(Call.FillStyle, TFillStyle::Solid);
            EXPECT_EQ(Call.PenColor, clBlack);
            EXPECT_EQ(Call.PenWidth, 2);
        } else {
            Order += Call.Text + " ";
        }
    }
    EXPECT_EQ(Order, "L23 M2 L34 L45 M4 M5 M6 1 3 4 5 ");
    // The marker is centred on its point: MarkerSize 9, radius 4.
    const auto Markers = Only(PointCalls(C), "Ellipse");
    EXPECT_EQ(Markers[0].X1, 196);
    EXPECT_EQ(Markers[0].Y1, 396);
}

TEST(TMollierDrawPointsTest, PointsOutsideTheLimitsAreDrawnWhereTheyMapTo) {
    TChart C;
    C.Render();
    TMollierPoint& P = C.Doc.AddPoint();
    P.Temp = 70;
    P.SpecHum = 0.05;
    C.Render();
    const auto Markers = Only(PointCalls(C), "Ellipse");
    ASSERT_EQ(Markers.size(), 1u);
    const TPoint Where = C.Draw.StateToPixel(70, 0.05);
    EXPECT_LT(Where.Y, 60);
    EXPECT_EQ(Markers[0].X1, Where.X - 4);
    EXPECT_EQ(Markers[0].Y1, Where.Y - 4);
}

} // namespace
} // namespace psykrona
