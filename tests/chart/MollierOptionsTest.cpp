#include "chart/MollierOptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace psykrona {
namespace {

// Calls on default options, in order ("t" minimum temperature, "T" maximum,
// "x" and "X" the humidity ratios), and the limits they leave: each setter
// clamps against its range and the opposite limit, minimum-maximum-minimum
// reaches a pair the first call cannot, and not a number never becomes one.
TEST(TMollierOptionsTest, SettersClampAgainstTheOppositeLimitAndTheRange) {
    struct TCase {
        std::string Calls;
        std::vector<double> Values;
        double MinT, MaxT, MinX, MaxX;
    };
    const double NaN = std::nan("");
    const TCase Cases[] = {
        {"t", {-50}, -40, 50, 0, 0.035},           {"t", {49}, 48, 50, 0, 0.035},
        {"T", {100}, -20, 80, 0, 0.035},           {"T", {-30}, -20, -18, 0, 0.035},
        {"x", {-0.001}, -20, 50, 0, 0.035},        {"x", {0.034}, -20, 50, 0.033, 0.035},
        {"X", {0.001}, -20, 50, 0, 0.002},         {"X", {0.5}, -20, 50, 0, 0.5},
        {"tTt", {60, 70, 60}, 60, 70, 0, 0.035},   {"tTt", {10, 11, 10}, 10, 12, 0, 0.035},
        {"tTt", {-60, -30, -60}, -40, -30, 0, 0.035},
        {"tTxX", {NaN, NaN, NaN, NaN}, 48, 50, 0.033, 0.035},
    };
    for (const TCase& C : Cases) {
        TMollierOptions O;
        for (std::size_t I = 0; I < C.Calls.size(); ++I) {
            const double V = C.Values[I];
            const char Which = C.Calls[I];
            Which == 't' ? O.SetMinTemp(V) : Which == 'T' ? O.SetMaxTemp(V) : Which == 'x' ? O.SetMinSpecHum(V) : O.SetMaxSpecHum(V);
        }
        EXPECT_EQ((std::vector<double>{O.MinTemp(), O.MaxTemp(), O.MinSpecHum(), O.MaxSpecHum()}),
                  (std::vector<double>{C.MinT, C.MaxT, C.MinX, C.MaxX}))
            << C.Calls << " " << C.Values[0];
    }
}

} // namespace
} // namespace psykrona
