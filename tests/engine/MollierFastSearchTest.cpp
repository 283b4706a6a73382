// The fast search against the plain walk it must equal, bit for bit.
#include "engine/MollierCalculate.h"

#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace psykrona {
namespace {

class MollierFastSearchTest : public ::testing::Test {
protected:
    void SetUp() override { Calc.Pressure = 101.3; }
    TMollierCalculate Calc;
};

// The search exactly as described, one evaluation per step and no shortcuts,
// with a cap in place of the endless cases; Steps counts the evaluations.
double ReferenceSearch(const TMollierCalculate& C, double RelHum, double H, bool& Ok, int& Steps) {
    const double Phi = RelHum / 100;
    double T = 150;
    double Step = 10;
    for (int I = 0; I < 100000; ++I) {
        if (!(T >= -60 && T < 160)) {
            break;
        }
        const double Ps = C.SatPressure(T);
        const double X = (H - TMollierCalculate::cpa * T) / (TMollierCalculate::cpv * T + TMollierCalculate::r0);
        if (Ps == 0) {
            break;
        }
        const double PhiC = X * C.Pressure / Ps / (X + TMollierCalculate::Epsilon);
        if (std::fabs(PhiC - Phi) * 100 <= 1e-7) {
            Steps = I + 1;
            Ok = true;
            return T;
        }
        if (PhiC < Phi) {
            T = T - Step;
        } else {
            Step = Step / 2;
            T = T + Step;
        }
    }
    Ok = false;
    return NAN;
}

// Any target and enthalpy, solvable or not, at two pressures: ordinary
// states, roots on the walk's 10 degree grid, and roots right on the table's
// rows where the curve bends; the same result after the same steps.
TEST_F(MollierFastSearchTest, SearchGivesExactlyTheDescribedResult) {
    const unsigned Seed = 11;
    std::mt19937_64 Rng(Seed);
    std::uniform_real_distribution<double> Rh(0, 110);
    std::uniform_real_distribution<double> H(-80, 900);
    std::uniform_real_distribution<double> Temps(-40, 90);
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
            bool Ok = false;
            int ExpectedSteps = 0;
            int Steps = 0;
            const double Expected = ReferenceSearch(Calc, Phi, Enthalpy, Ok, ExpectedSteps);
            const std::string Case = "seed " + std::to_string(Seed) + ": " + std::to_string(Phi) + " % " +
                                     std::to_string(Enthalpy) + " kJ/kg at " + std::to_string(P);
            if (Ok) {
                ++Solved;
                EXPECT_EQ(Calc.TempFromRelHumEnthalpy(Phi, Enthalpy, &Steps), Expected) << Case;
                EXPECT_EQ(Steps, ExpectedSteps) << Case;
            } else {
                EXPECT_THROW(Calc.TempFromRelHumEnthalpy(Phi, Enthalpy), ECalculationError) << Case;
            }
        }
    }
    EXPECT_GT(Solved, 12000);
}

bool SameBits(double A, double B) { return std::memcmp(&A, &B, sizeof A) == 0; }

// Solving the pair runs the search once and must give what the two
// operations of the pair give on their own, failures included (which leave
// the state as it was).
TEST_F(MollierFastSearchTest, RelHumEnthalpyPairEqualsItsTwoOperations) {
    const unsigned Seed = 20240517;
    std::mt19937_64 Rng(Seed);
    std::uniform_real_distribution<double> Rh(0, 110);
    std::uniform_real_distribution<double> H(-80, 400);
    int Solved = 0;
    for (double P : {101.3, 80.0}) {
        Calc.Pressure = P;
        for (int I = 0; I < 5000; ++I) {
            TMoistAirState State;
            State.RelHum = Rh(Rng);
            State.Enthalpy = H(Rng);
            TMoistAirState Expected = State;
            bool Failed = false;
            try {
                Expected.Temp = Calc.TempFromRelHumEnthalpy(State.RelHum, State.Enthalpy);
                Expected.SpecHum = Calc.SpecHumFromRelHumEnthalpy(State.RelHum, State.Enthalpy);
            } catch (const ECalculationError&) {
                Expected = State;
                Failed = true;
            }
            bool PairFailed = false;
            try {
                Calc.SolveFromPair(PROP_ENTHALPY, PROP_RELHUM, State);
            } catch (const ECalculationError&) {
                PairFailed = true;
            }
            ASSERT_EQ(PairFailed, Failed) << "seed " << Seed << " case " << I;
            Solved += Failed ? 0 : 1;
            EXPECT_TRUE(SameBits(State.Temp, Expected.Temp) && SameBits(State.SpecHum, Expected.SpecHum) &&
                        SameBits(State.RelHum, Expected.RelHum) && SameBits(State.Enthalpy, Expected.Enthalpy))
                << "seed " << Seed << " case " << I << ": " << Expected.RelHum << " % " << Expected.Enthalpy
                << " kJ/kg gave " << State.Temp << " / " << State.SpecHum << ", the operations " << Expected.Temp
                << " / " << Expected.SpecHum;
        }
    }
    EXPECT_GT(Solved, 2000);
}

} // namespace
} // namespace psykrona
