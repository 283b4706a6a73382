#include "engine/MollierCalculate.h"

#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <cmath>

namespace psykrona {
namespace {

class MollierCalculateTest : public ::testing::Test {
protected:
    void SetUp() override { Calc.Pressure = 101.3; }
    TMollierCalculate Calc;
};

TEST_F(MollierCalculateTest, HandbookStatesAt1013) {
    EXPECT_NEAR(Calc.SpecHumFromTempRelHum(20, 50), 0.0072585, 5e-8);
    EXPECT_NEAR(Calc.EnthalpyFromTempRelHum(20, 50), 38.518, 5e-4);
    EXPECT_NEAR(Calc.RelHumFromTempSpecHum(20, 0.0072585), 50, 1e-3);
    EXPECT_NEAR(Calc.TempFromSpecHumRelHum(0.0072585, 50), 20, 1e-3);
    EXPECT_NEAR(Calc.TempFromSpecHumEnthalpy(0.0072585, 38.518), 20, 1e-3);
    EXPECT_EQ(Calc.Enthalpy(0, 0), 0);
    EXPECT_NEAR(Calc.Enthalpy(20, 0.01), 45.474, 1e-9);
    EXPECT_NEAR(Calc.RelHumFromTempSpecHum(20, 0.01), 68.59, 5e-3);
    EXPECT_NEAR(Calc.SpecHumFromTempRelHum(30, 100), 0.027185, 5e-7);
    EXPECT_NEAR(Calc.EnthalpyFromTempRelHum(30, 100), 99.624, 5e-3);
    EXPECT_NEAR(Calc.TempFromRelHumEnthalpy(0, 10), 10 / 1.005, 1e-6);
    EXPECT_NEAR(Calc.TempFromRelHumEnthalpy(50, 0), -3.4898, 5e-5);
}

TEST_F(MollierCalculateTest, SearchLandsOnItsGridAfterFourteenSteps) {
    const double H = Calc.EnthalpyFromTempRelHum(20, 50);
    int Steps = 0;
    EXPECT_EQ(Calc.TempFromRelHumEnthalpy(50, H, &Steps), 20);
    EXPECT_EQ(Steps, 14);
}

TEST_F(MollierCalculateTest, SearchWithoutSolutionEndsWithAFailure) {
    // Colder than the table: the walk down reaches -60 °C where the pressure is 0.
    EXPECT_THROW(Calc.TempFromRelHumEnthalpy(100, -100), ECalculationError);
    // Still too humid at 150 °C: the search would creep towards 160 °C for ever.
    EXPECT_THROW(Calc.TempFromRelHumEnthalpy(1, 600), ECalculationError);
    EXPECT_THROW(Calc.TempFromRelHumEnthalpy(0.001, 5000), ECalculationError);
    EXPECT_THROW(Calc.TempFromRelHumEnthalpy(NAN, 20), ECalculationError);
    EXPECT_THROW(Calc.TempFromRelHumEnthalpy(50, NAN), ECalculationError);
    EXPECT_THROW(Calc.SpecHumFromRelHumEnthalpy(1, 600), ECalculationError);
}

TEST_F(MollierCalculateTest, DivisionsByZeroAndNonFiniteResultsFail) {
    EXPECT_THROW(Calc.RelHumFromTempSpecHum(-60, 0.001), ECalculationError);
    EXPECT_THROW(Calc.TempFromSpecHumRelHum(0.005, 0), ECalculationError);
    EXPECT_THROW(Calc.TempFromSpecHumRelHum(0, 0), ECalculationError);
    EXPECT_THROW(Calc.Enthalpy(1e308, 1e308), ECalculationError);
    EXPECT_THROW(Calc.SpecHumFromTempRelHum(200, 50), ECalculationError);
    EXPECT_THROW(Calc.TempFromSpecHumRelHum(1.0, 1), ECalculationError); // vapour pressure above the table
}

// Each of the six prescribed pairs, fed from one state, gives back the
// other two properties of that state.
TEST_F(MollierCalculateTest, EveryPairSolvesBackToTheSameState) {
    const int Pairs[6][2] = {{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};
    for (double P : {101.3, 90.0}) {
        Calc.Pressure = P;
        for (double T = -20; T <= 50; T += 5) {
            for (double Rh = 10; Rh <= 100; Rh += 15) {
                const TMoistAirState Truth{T, Calc.SpecHumFromTempRelHum(T, Rh), Rh,
                                           Calc.EnthalpyFromTempRelHum(T, Rh)};
                for (const auto& Pair : Pairs) {
                    // Feed the prescribed values, poison the free ones.
                    TMoistAirState S{NAN, NAN, NAN, NAN};
                    for (int Code : Pair) {
                        switch (Code) {
                        case 1: S.Temp = Truth.Temp; break;
                        case 2: S.SpecHum = Truth.SpecHum; break;
                        case 3: S.RelHum = Truth.RelHum; break;
                        default: S.Enthalpy = Truth.Enthalpy; break;
                        }
                    }
                    ASSERT_TRUE(Calc.SolveFromPair(Pair[1], Pair[0], S));
                    const auto Where = ::testing::Message() << "P " << P << " t " << T << " RH " << Rh
                                                            << " pair " << Pair[0] << Pair[1];
                    EXPECT_NEAR(S.Temp, Truth.Temp, 1e-6) << Where;
                    EXPECT_NEAR(S.SpecHum, Truth.SpecHum, 1e-9) << Where;
                    EXPECT_NEAR(S.RelHum, Truth.RelHum, 1e-5) << Where;
                    EXPECT_NEAR(S.Enthalpy, Truth.Enthalpy, 1e-5) << Where;
                }
            }
        }
    }
}

TEST_F(MollierCalculateTest, IncompletePairsChangeNothing) {
    TMoistAirState S{1, 2, 3, 4};
    for (auto Pair : {std::pair{0, 1}, std::pair{1, 1}, std::pair{0, 0}, std::pair{5, 1}, std::pair{-1, 2}}) {
        EXPECT_FALSE(Calc.SolveFromPair(Pair.first, Pair.second, S));
        EXPECT_EQ(S.Temp, 1);
        EXPECT_EQ(S.SpecHum, 2);
        EXPECT_EQ(S.RelHum, 3);
        EXPECT_EQ(S.Enthalpy, 4);
    }
}

TEST_F(MollierCalculateTest, PressureMovesOnlyTheSaturationBasedResults) {
    const double X1013 = Calc.SpecHumFromTempRelHum(20, 50);
    const double Rh1013 = Calc.RelHumFromTempSpecHum(20, 0.008);
    const double T1013 = Calc.TempFromRelHumEnthalpy(50, 40);
    const double Indep[] = {Calc.Enthalpy(20, 0.008), Calc.SpecHumFromTempEnthalpy(20, 40),
                            Calc.TempFromSpecHumEnthalpy(0.008, 40)};
    Calc.Pressure = 90;
    EXPECT_GT(Calc.SpecHumFromTempRelHum(20, 50), X1013);
    EXPECT_LT(Calc.RelHumFromTempSpecHum(20, 0.008), Rh1013);
    EXPECT_NE(Calc.TempFromRelHumEnthalpy(50, 40), T1013);
    EXPECT_EQ(Calc.Enthalpy(20, 0.008), Indep[0]);
    EXPECT_EQ(Calc.SpecHumFromTempEnthalpy(20, 40), Indep[1]);
    EXPECT_EQ(Calc.TempFromSpecHumEnthalpy(0.008, 40), Indep[2]);
}

TEST_F(MollierCalculateTest, ProcessPowersAndSigns) {
    EXPECT_DOUBLE_EQ(TMollierCalculate::Power(1, 1.2, 20, 40), 24);
    EXPECT_DOUBLE_EQ(TMollierCalculate::Power(1, 1.2, 40, 20), -24);
    // Equal humidity ratio: the sensible power is the whole power.
    const double H1 = Calc.Enthalpy(10, 0.006);
    const double H2 = Calc.Enthalpy(30, 0.006);
    EXPECT_NEAR(TMollierCalculate::SensiblePower(2, 1.2, 10, 30, 0.006, 0.006),
                TMollierCalculate::Power(2, 1.2, H1, H2), 1e-12);
    // Humidifying: the sensible part is the power less the latent r0 (x2 - x1).
    const double H3 = Calc.Enthalpy(30, 0.010);
    EXPECT_NEAR(TMollierCalculate::SensiblePower(2, 1.2, 10, 30, 0.006, 0.010),
                TMollierCalculate::Power(2, 1.2, H1, H3) - 2 * 1.2 * 2501 * 0.004, 1e-9);
}

TEST(MollierCalculateInstance, IsSharedAndKeepsItsPressure) {
    TMollierCalculate& A = TMollierCalculate::GetInstance();
    const double Saved = A.Pressure;
    A.Pressure = 95;
    EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, 95);
    EXPECT_EQ(&A, &TMollierCalculate::GetInstance());
    A.Pressure = Saved;
}

} // namespace
} // namespace psykrona
