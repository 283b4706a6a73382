#include "engine/MollierCalculate.h"

#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace psykrona {
namespace {

class MollierCalculateTest : public ::testing::Test {
protected:
    void SetUp() override { Calc.Pressure = 101.3; }
    TMollierCalculate Calc;
};

// A published example: 20 °C and 50 % at 101.3 kPa.
TEST_F(MollierCalculateTest, HandbookStateAt1013) {
    EXPECT_NEAR(Calc.SpecHumFromTempRelHum(20, 50), 0.0072585, 5e-8);
    EXPECT_NEAR(Calc.EnthalpyFromTempRelHum(20, 50), 38.518, 5e-4);
}

// Each of the six prescribed pairs, in either order, fed from one random
// state with the free properties poisoned, gives back the whole state.
TEST_F(MollierCalculateTest, EveryPairSolvesBackToTheSameState) {
    const unsigned Seed = 20261207;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937_64 Rng(Seed);
    std::uniform_real_distribution<double> Temp(-20, 60), Rh(1, 100), Pressure(80, 105);
    const int Pairs[6][2] = {{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};
    for (int I = 0; I < 2000; ++I) {
        Calc.Pressure = Pressure(Rng);
        const double T = Temp(Rng);
        const double Phi = Rh(Rng);
        const double X = Calc.SpecHumFromTempRelHum(T, Phi);
        const double Truth[5] = {0, T, X, Phi, Calc.Enthalpy(T, X)};
        const auto& Pair = Pairs[I % 6];
        const bool Swap = (I / 6) % 2 == 1;
        TMoistAirState S{NAN, NAN, NAN, NAN};
        double* Field[5] = {nullptr, &S.Temp, &S.SpecHum, &S.RelHum, &S.Enthalpy};
        *Field[Pair[0]] = Truth[Pair[0]];
        *Field[Pair[1]] = Truth[Pair[1]];
        ASSERT_TRUE(Calc.SolveFromPair(Pair[Swap ? 1 : 0], Pair[Swap ? 0 : 1], S));
        SCOPED_TRACE(::testing::Message() << "case " << I << " P " << Calc.Pressure << " t " << T << " rh "
                                          << Phi << " pair " << Pair[0] << Pair[1]);
        EXPECT_NEAR(S.Temp, T, 1e-6);
        EXPECT_NEAR(S.SpecHum, X, 1e-9);
        EXPECT_NEAR(S.RelHum, Phi, 1e-5);
        EXPECT_NEAR(S.Enthalpy, Truth[4], 1e-5);
    }
    // A pair that names no two different properties changes nothing.
    TMoistAirState S{1, 2, 3, 4};
    for (auto [A, B] : {std::pair{0, 1}, std::pair{1, 1}, std::pair{5, 1}, std::pair{-1, 2}}) {
        EXPECT_FALSE(Calc.SolveFromPair(A, B, S));
        EXPECT_TRUE(S.Temp == 1 && S.SpecHum == 2 && S.RelHum == 3 && S.Enthalpy == 4);
    }
}

} // namespace
} // namespace psykrona
