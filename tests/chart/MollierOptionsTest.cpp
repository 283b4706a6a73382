#include "chart/MollierOptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace psykrona {
namespace {

// Each setter on default options, judged against the opposite limit.
TEST(TMollierOptionsTest, SettersClampAgainstTheOppositeLimitAndTheRange) {
    using Setter = std::function<void(TMollierOptions&, double)>;
    using Getter = std::function<double(const TMollierOptions&)>;
    const Setter MinT = &TMollierOptions::SetMinTemp, MaxT = &TMollierOptions::SetMaxTemp;
    const Setter MinX = &TMollierOptions::SetMinSpecHum, MaxX = &TMollierOptions::SetMaxSpecHum;
    const Getter GMinT = &TMollierOptions::MinTemp, GMaxT = &TMollierOptions::MaxTemp;
    const Getter GMinX = &TMollierOptions::MinSpecHum, GMaxX = &TMollierOptions::MaxSpecHum;
    struct Case {
        const char* What;
        Setter Set;
        Getter Get;
        double Value;
        double Expected;
    };
    const Case Cases[] = {
        {"min temp below -40", MinT, GMinT, -50, -40},
        {"min temp well below max", MinT, GMinT, 45, 45},
        {"min temp within 2 of max", MinT, GMinT, 49, 48},
        {"min temp exactly 2 below max", MinT, GMinT, 48, 48},
        {"max temp above 80", MaxT, GMaxT, 100, 80},
        {"max temp below min", MaxT, GMaxT, -30, -18},
        {"max temp exactly 2 above min", MaxT, GMaxT, -18, -18},
        {"min humidity below 0", MinX, GMinX, -0.001, 0},
        {"min humidity within 0.002 of max", MinX, GMinX, 0.034, 0.033},
        {"min humidity well below max", MinX, GMinX, 0.01, 0.01},
        {"max humidity within 0.002 of min", MaxX, GMaxX, 0.001, 0.002},
        {"max humidity has no upper bound", MaxX, GMaxX, 0.5, 0.5},
    };
    for (const Case& C : Cases) {
        TMollierOptions O;
        C.Set(O, C.Value);
        EXPECT_DOUBLE_EQ(C.Get(O), C.Expected) << C.What;
    }
}

// The chart-limits dialog applies a pair as minimum, maximum, minimum.
TEST(TMollierOptionsTest, MinimumMaximumMinimumReachesAPairTheFirstCallCannot) {
    struct Case {
        double Min, Max, AfterFirst, ExpectedMin, ExpectedMax;
    };
    const Case Cases[] = {{60, 70, 48, 60, 70}, {10, 11, 10, 10, 12}, {-60, -30, -40, -40, -30}};
    for (const Case& C : Cases) {
        TMollierOptions O;
        O.SetMinTemp(C.Min);
        EXPECT_EQ(O.MinTemp(), C.AfterFirst);
        O.SetMaxTemp(C.Max);
        O.SetMinTemp(C.Min);
        EXPECT_EQ(O.MinTemp(), C.ExpectedMin) << C.Min << " to " << C.Max;
        EXPECT_EQ(O.MaxTemp(), C.ExpectedMax) << C.Min << " to " << C.Max;
    }
}

TEST(TMollierOptionsTest, NotANumberNeverBecomesALimit) {
    TMollierOptions O;
    O.SetMinTemp(std::nan(""));
    O.SetMaxTemp(std::nan(""));
    O.SetMinSpecHum(std::nan(""));
    O.SetMaxSpecHum(std::nan(""));
    EXPECT_EQ(O.MinTemp(), 48);
    EXPECT_EQ(O.MaxTemp(), 50);
    EXPECT_DOUBLE_EQ(O.MinSpecHum(), 0.033);
    EXPECT_DOUBLE_EQ(O.MaxSpecHum(), 0.035);
}

} // namespace
} // namespace psykrona
