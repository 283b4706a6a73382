// The calculator's lookups and search against plain oracles, bit for bit;
// pairs solving back; the document's point list and calculation failures.
#include "engine/MollierCalculate.h"

#include "engine/Errors.h"
#include "engine/Main.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <random>
#include <stdexcept>
#include <tuple>

namespace psykrona {
namespace {

const TMollierCalculate& Shared() { return TMollierCalculate::GetInstance(); }

// A lookup as a plain scan from the first row, by temperature or by
// pressure; the fast lookups must agree with it to the last bit.
double Scan(bool ByTemp, double V) {
    const auto& R = Shared().SatTable.Rows;
    for (int I = 1; I < TSatPressure::RowCount; ++I) {
        const double Lo = ByTemp ? R[I - 1].Temp : R[I - 1].Pressure;
        const double Hi = ByTemp ? R[I].Temp : R[I].Pressure;
        if (Lo <= V && V < Hi) {
            return TMollierCalculate::Interpolate(Lo, Hi, V, ByTemp ? R[I - 1].Pressure : R[I - 1].Temp,
                                                  ByTemp ? R[I].Pressure : R[I].Temp);
        }
    }
    return NAN;
}

// Every row, the doubles either side of it, the middle of each pair and
// random values; the rows rise, and SatTemp inverts SatPressure.
TEST(SatPressureLookup, AgreesBitForBitWithAScanOfTheTable) {
    const auto& R = Shared().SatTable.Rows;
    for (int I = 0; I < TSatPressure::RowCount - 1; ++I) {
        EXPECT_TRUE(R[I].Temp < R[I + 1].Temp && R[I].Pressure < R[I + 1].Pressure) << "row " << I + 2;
        for (const bool ByTemp : {true, false}) {
            const double A = ByTemp ? R[I].Temp : R[I].Pressure;
            const double B = ByTemp ? R[I + 1].Temp : R[I + 1].Pressure;
            for (double V : {A, std::nextafter(A, 1e9), std::nextafter(B, -1e9), (A + B) / 2}) {
                EXPECT_EQ(ByTemp ? Shared().SatPressure(V) : Shared().SatTemp(V), Scan(ByTemp, V)) << V;
            }
        }
    }
    std::mt19937_64 Rng(7);
    std::uniform_real_distribution<double> Temps(-60, 160);
    std::uniform_real_distribution<double> LogP(-12, std::log(618.0));
    for (int I = 0; I < 100000; ++I) {
        const double T = Temps(Rng);
        EXPECT_EQ(Shared().SatPressure(T), Scan(true, T)) << T;
        const double P = std::exp(LogP(Rng));
        if (P < 618) {
            EXPECT_EQ(Shared().SatTemp(P), Scan(false, P)) << P;
        }
        if (T > -59.9 && T < 159.9) {
            EXPECT_NEAR(Shared().SatTemp(Shared().SatPressure(T)), T, 1e-9) << T;
        }
    }
}

class MollierCalculateTest : public ::testing::Test {
protected:
    void SetUp() override { Calc.Pressure = 101.3; }
    TMollierCalculate Calc;
};
using MollierFastSearchTest = MollierCalculateTest;

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

// The search exactly as described, one evaluation per step and no shortcuts,
// with a cap in place of the endless cases; Steps counts the evaluations.
std::optional<double> ReferenceSearch(const TMollierCalculate& C, double RelHum, double H, int& Steps) {
    double T = 150;
    double Step = 10;
    for (int I = 0; I < 100000 && T >= -60 && T < 160; ++I) {
        const double Ps = C.SatPressure(T);
        const double X = (H - TMollierCalculate::cpa * T) / (TMollierCalculate::cpv * T + TMollierCalculate::r0);
        if (Ps == 0) {
            break;
        }
        const double PhiC = X * C.Pressure / Ps / (X + TMollierCalculate::Epsilon);
        if (std::fabs(PhiC - RelHum / 100) * 100 <= 1e-7) {
            Steps = I + 1;
            return T;
        }
        Step = PhiC < RelHum / 100 ? Step : Step / 2;
        T = PhiC < RelHum / 100 ? T - Step : T + Step;
    }
    return std::nullopt;
}

bool SameBits(double A, double B) { return std::memcmp(&A, &B, sizeof A) == 0; }

// Any target and enthalpy at two pressures (ordinary states, roots on the
// walk's 10 degree grid and on the table's rows): the same result after the
// same steps; the pair, which searches once, gives what its two operations
// give, or fails and leaves the state as it was.
TEST_F(MollierFastSearchTest, SearchGivesExactlyTheDescribedResult) {
    const unsigned Seed = 11;
    std::mt19937_64 Rng(Seed);
    std::uniform_real_distribution<double> Rh(0, 110), H(-80, 900), Temps(-40, 90);
    std::uniform_int_distribution<int> Row(1, 250);
    int Solved = 0;
    for (double P : {101.3, 90.0}) {
        Calc.Pressure = P;
        for (int I = 0; I < 12000; ++I) {
            double Phi = Rh(Rng);
            double Enthalpy = H(Rng);
            if (I % 3 != 0) {
                const double T = I % 3 == 1 ? Calc.SatTable.Rows[Row(Rng)].Temp : I % 6 == 2 ? 10.0 * (I % 13 - 4) : Temps(Rng);
                Phi = Rh(Rng) * 0.9 + 1;
                Enthalpy = Calc.EnthalpyFromTempRelHum(T, Phi);
            }
            int ExpectedSteps = 0, Steps = 0;
            const std::optional<double> Expected = ReferenceSearch(Calc, Phi, Enthalpy, ExpectedSteps);
            const std::string Case = "seed " + std::to_string(Seed) + ": " + std::to_string(Phi) + " % " +
                                     std::to_string(Enthalpy) + " kJ/kg at " + std::to_string(P);
            TMoistAirState Want{NAN, NAN, Phi, Enthalpy};
            TMoistAirState Pair = Want;
            if (Expected) {
                ++Solved;
                EXPECT_EQ(Calc.TempFromRelHumEnthalpy(Phi, Enthalpy, &Steps), *Expected) << Case;
                EXPECT_EQ(Steps, ExpectedSteps) << Case;
                Want = {*Expected, Calc.SpecHumFromRelHumEnthalpy(Phi, Enthalpy), Phi, Enthalpy};
                EXPECT_NO_THROW(Calc.SolveFromPair(PROP_ENTHALPY, PROP_RELHUM, Pair)) << Case;
            } else {
                EXPECT_THROW(Calc.TempFromRelHumEnthalpy(Phi, Enthalpy), ECalculationError) << Case;
                EXPECT_THROW(Calc.SolveFromPair(PROP_ENTHALPY, PROP_RELHUM, Pair), ECalculationError) << Case;
            }
            EXPECT_TRUE(SameBits(Pair.Temp, Want.Temp) && SameBits(Pair.SpecHum, Want.SpecHum) &&
                        SameBits(Pair.RelHum, Want.RelHum) && SameBits(Pair.Enthalpy, Want.Enthalpy))
                << Case << ": the pair gave " << Pair.Temp << " °C, " << Pair.SpecHum << " kg/kg";
        }
    }
    EXPECT_GT(Solved, 12000);
}

std::string Names(const TMain& Doc) {
    std::string N;
    for (const TMollierPoint& P : Doc.Points) {
        N.append(P.Name).append(std::to_string(P.Number)).append(" ");
    }
    return N;
}

// Numbers are positions after every change; a position outside the list
// changes nothing; a point stays in memory while others come and go.
TEST(TMainTest, ListOperationsKeepNumbersAsPositions) {
    TMain Doc;
    EXPECT_THROW(Doc.DeletePoint(1), std::out_of_range);
    for (const char* Name : {"a", "b", "c"}) {
        TMollierPoint& P = Doc.AddPoint();
        std::tie(P.Name, P.Number) = std::tuple(Name, Doc.PointCount());
    }
    EXPECT_EQ(Doc.InsertPoint(1).Number, 1);
    EXPECT_EQ(Names(Doc), "1 a2 b3 c4 ");
    TMollierPoint& Appended = Doc.InsertPoint(Doc.PointCount() + 1);
    std::tie(Appended.Name, Appended.Number) = std::tuple("z", Doc.PointCount());
    Doc.DeletePoint(2);
    for (int Bad : {0, 5, -1}) {
        EXPECT_THROW(Doc.InsertPoint(Bad + (Bad == 5)), std::out_of_range) << Bad;
        EXPECT_THROW(Doc.DeletePoint(Bad), std::out_of_range) << Bad;
    }
    EXPECT_EQ(Names(Doc), "1 b2 c3 z4 ");
    TMollierPoint& Kept = Doc.Points[1];
    for (int I = 0; I < 100; ++I) {
        Doc.InsertPoint(1);
    }
    Doc.DeletePoint(1);
    Kept.Name = "kept";
    EXPECT_EQ(Doc.Points[100].Name, "kept");
}

// A failing point ends the calculation with the points before it updated;
// a density that is not finite is a failed calculation, not a value: the
// flow data stay as they were (a saved NaN would not open again).
TEST(TMainTest, FailuresStopTheCalculationAndLeaveTheFlowData) {
    TMain Doc;
    for (double T : {20.0, 200.0, 25.0}) {
        TMollierPoint& P = Doc.AddPoint();
        std::tie(P.Temp, P.RelHum, P.Prescribed1, P.Prescribed2) = std::tuple(T, 50.0, PROP_TEMP, PROP_RELHUM);
    }
    EXPECT_THROW(Doc.CalculateAll(), ECalculationError);
    EXPECT_TRUE(Doc.Points[0].SpecHum > 0 && Doc.Points[1].SpecHum == 0 && Doc.Points[2].SpecHum == 0);
    Doc.SetRealDensity(25, 950);
    const double Density = Doc.Density;
    for (auto [Temp, Pressure] : {std::pair{-273.0, 1013.0}, std::pair{-273.0, 0.0}}) {
        EXPECT_THROW(Doc.SetRealDensity(Temp, Pressure), ECalculationError);
        EXPECT_TRUE(Doc.Density == Density && Doc.DensityTemp == 25 && Doc.Pressure == 95);
        EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, 95);
    }
}

} // namespace
} // namespace psykrona
