// The renderer's drawing, call by call, against reviewed golden files.
#include "tests/chart/ChartFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace psykrona {
namespace {

using test::TChart;

const char* const Header = R"(
Texts show their keys (no translator); a character is 0.6 of the font's height wide.
To rewrite after a meant change: PSYKRONA_UPDATE_GOLDEN=1 build/test/tests/chart_tests
  --gtest_filter='ChartGolden.*', then read `git diff` before committing it. Look at: the frame
(black, pen 2) on the canvas and nothing red beyond it; labels beside their lines with the
case's separator; markers, numbers, process lines. Render it with psykrona-cli chart to PNG.)";

// A short process on the default limits: a hidden point and a broken line
// show what is drawn and what is left out.
void AddProcess(TChart& C) {
    C.AddPoint(-5, 0.002);
    C.AddPoint(22, 0.002);
    C.AddPoint(26, 0.009).ShowInChart = false;
    C.AddPoint(18, 0.011).LineToNext = false;
    C.AddPoint(24, 0.012);
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
         [](TChart& C) {
             C.SetLimits(-30, 60, 0.003, 0.045);
             C.AddPoint(-15, 0.001);
             C.AddPoint(-12, 0.0015);
             C.AddPoint(35, 0.02);
         },
         "-30 to 60 °C, 3 to 45 g/kg at 1024 x 700, points at -15 and -12 °C"},
        {"warm.txt", 800, 600, [](TChart& C) { C.SetLimits(60, 70, 0, 0.035); }, "60 to 70 °C, 0 to 35 g/kg at 800 x 600"}};
    for (const auto& [File, Width, Height, Set, What] : Cases) {
        SetDecimalSeparator('.');
        TChart C(Width, Height);
        Set(C);
        const std::string Drawn = (C.Render(), C.Canvas.ToText());
        EXPECT_EQ(test::CompareWithGolden(std::string(PSYKRONA_SOURCE_DIR) + "/tests/chart/golden/" + File,
                                          std::string("The chart renderer's calls on the recording canvas, one a "
                                                      "line: ") + What + "." + Header,
                                          Drawn),
                  "");
        // Printer fonts change nothing on the recording canvas.
        EXPECT_EQ((C.Render(true), C.Canvas.ToText()), Drawn);
    }
}

} // namespace
} // namespace psykrona
