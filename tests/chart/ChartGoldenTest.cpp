// The renderer's drawing, call by call, against reviewed golden files.
#include "tests/chart/ChartFixture.h"

#include <gtest/gtest.h>

namespace psykrona {
namespace {

using test::TChart;

const char* const Header = R"(
Texts show their keys (no translator); a character is 0.6 of the font's height wide.
To rewrite after a meant change: PSYKRONA_UPDATE_GOLDEN=1 build/test/tests/chart_tests
  --gtest_filter='ChartGolden.*', then read `git diff` before committing it. Look at: the frame
(black, pen 2) on the canvas and nothing red beyond it; labels beside their lines with the
case's separator; markers, numbers, process lines. Render it with psykrona-cli chart to PNG.)";

std::string Golden(const std::string& File, const std::string& What, TChart& C) {
    C.Render();
    return test::CompareWithGolden("tests/chart/golden/" + File,
                                   "The chart renderer's calls on the recording canvas, one a line: " + What + "." + Header,
                                   C.Canvas.ToText());
}

// A short process on the default limits: a hidden point and a broken line
// show what is drawn and what is left out.
void AddProcess(TChart& C) {
    C.AddPoint(-5, 0.002);
    C.AddPoint(22, 0.002);
    C.AddPoint(26, 0.009).ShowInChart = false;
    C.AddPoint(18, 0.011).LineToNext = false;
    C.AddPoint(24, 0.012);
}

TEST(ChartGolden, DefaultChartWithAProcess) {
    TChart C;
    AddProcess(C);
    EXPECT_EQ(Golden("default.txt", "default limits at 800 x 600, five points", C), "");
    // Printer fonts change nothing on the recording canvas.
    const std::string Screen = C.Canvas.ToText();
    C.Render(true);
    EXPECT_EQ(C.Canvas.ToText(), Screen);
}

TEST(ChartGolden, CommaSeparator) {
    TChart C;
    AddProcess(C);
    SetDecimalSeparator(',');
    EXPECT_EQ(Golden("comma.txt", "default limits at 800 x 600 with \",\" as the separator", C), "");
}

// The limits raised to 60 °C and 45 g/kg with the bottom raised to 3 g/kg;
// points below -10 °C lie beyond the bottom edge and are drawn where they map.
TEST(ChartGolden, RaisedLimitsWithPointsBelowMinusTen) {
    TChart C(1024, 700);
    C.SetLimits(-30, 60, 0.003, 0.045);
    C.AddPoint(-15, 0.001);
    C.AddPoint(-12, 0.0015);
    C.AddPoint(35, 0.02);
    EXPECT_EQ(Golden("raised.txt", "-30 to 60 °C, 3 to 45 g/kg at 1024 x 700, points at -15 and -12 °C", C), "");
}

// A warm minimum, where humidity curves once ran out of the frame.
TEST(ChartGolden, WarmChart) {
    TChart C;
    C.SetLimits(60, 70, 0, 0.035);
    EXPECT_EQ(Golden("warm.txt", "60 to 70 °C, 0 to 35 g/kg at 800 x 600", C), "");
}

} // namespace
} // namespace psykrona
