#include "engine/MollierCalculate.h"

#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace psykrona {
namespace {

const TMollierCalculate& Calc() { return TMollierCalculate::GetInstance(); }

// The lookups as a plain scan from the first row; the fast lookups must
// agree with it to the last bit.
double ScanSatPressure(double T) {
    const auto& R = Calc().SatTable.Rows;
    for (int I = 1; I < TSatPressure::RowCount; ++I) {
        if (R[I - 1].Temp <= T && T < R[I].Temp) {
            return TMollierCalculate::Interpolate(R[I - 1].Temp, R[I].Temp, T, R[I - 1].Pressure, R[I].Pressure);
        }
    }
    return NAN;
}

double ScanSatTemp(double P) {
    const auto& R = Calc().SatTable.Rows;
    for (int I = 1; I < TSatPressure::RowCount; ++I) {
        if (R[I - 1].Pressure <= P && P < R[I].Pressure) {
            return TMollierCalculate::Interpolate(R[I - 1].Pressure, R[I].Pressure, P, R[I - 1].Temp, R[I].Temp);
        }
    }
    return NAN;
}

TEST(SatPressureTable, MergesTheTwoGridsInStrictlyRisingRows) {
    const auto& R = TSatPressure().Rows;
    ASSERT_EQ(R.size(), 254u);
    EXPECT_EQ(R.front().Temp, -60);
    EXPECT_EQ(R.front().Pressure, 0);
    EXPECT_EQ(R.back().Temp, 160);
    EXPECT_EQ(R.back().Pressure, 618);
    int WholeDegrees = 0;
    for (size_t I = 1; I < R.size(); ++I) {
        EXPECT_LT(R[I - 1].Temp, R[I].Temp) << "row " << I + 1;
        EXPECT_LT(R[I - 1].Pressure, R[I].Pressure) << "row " << I + 1;
    }
    for (const auto& Row : R) {
        WholeDegrees += Row.Temp == std::floor(Row.Temp) ? 1 : 0;
    }
    EXPECT_EQ(WholeDegrees, 154);
    // The 15 kPa point of the pressure grid is the 54 °C row.
    EXPECT_EQ(Calc().SatPressure(54), 15);
    // Spot checks spread over the table, against the handbook-like values.
    EXPECT_EQ(Calc().SatPressure(-40), 0.0124);
    EXPECT_EQ(Calc().SatPressure(0), 0.611);
    EXPECT_EQ(Calc().SatPressure(120.63), 200);
    EXPECT_EQ(Calc().SatPressure(144.92), 410);
    EXPECT_EQ(Calc().SatPressure(155), 543.31);
}

TEST(SatPressureLookup, InterpolatesBetweenRowsClosedBelowOpenAbove) {
    EXPECT_DOUBLE_EQ(Calc().SatPressure(20), 2.337);
    EXPECT_DOUBLE_EQ(Calc().SatPressure(20.5), 2.4115);
    EXPECT_DOUBLE_EQ(Calc().SatPressure(100), 101.32);
    EXPECT_DOUBLE_EQ(Calc().SatPressure(6.99), 1.0005);
    EXPECT_EQ(Calc().SatPressure(-60), 0);
    EXPECT_DOUBLE_EQ(Calc().SatPressure(-59.5), 0.00055);
    EXPECT_DOUBLE_EQ(Calc().SatPressure(159.99), 600 + (159.99 - 158.84) / (160 - 158.84) * 18);
    EXPECT_DOUBLE_EQ(Calc().SatTemp(2.337), 20);
    EXPECT_EQ(Calc().SatTemp(0), -60);
    EXPECT_GE(Calc().SatTemp(0.001), -60);
    EXPECT_LT(Calc().SatTemp(0.001), -59);
}

TEST(SatPressureLookup, FailsOutsideTheTable) {
    for (double T : {160.0, -60.01, 1e300, -HUGE_VAL, HUGE_VAL, std::nan("")}) {
        EXPECT_THROW(Calc().SatPressure(T), ECalculationError) << T;
    }
    for (double P : {618.0, -0.001, 1e300, HUGE_VAL, std::nan("")}) {
        EXPECT_THROW(Calc().SatTemp(P), ECalculationError) << P;
    }
}

TEST(SatPressureLookup, AgreesBitForBitWithAScanOfTheTable) {
    const auto& R = Calc().SatTable.Rows;
    // Every row, the doubles either side of it, and the middle of each pair.
    for (int I = 0; I < TSatPressure::RowCount - 1; ++I) {
        for (double T : {R[I].Temp, std::nextafter(R[I].Temp, 1e9), std::nextafter(R[I + 1].Temp, -1e9),
                         (R[I].Temp + R[I + 1].Temp) / 2}) {
            EXPECT_EQ(Calc().SatPressure(T), ScanSatPressure(T)) << T;
        }
        for (double P : {R[I].Pressure, std::nextafter(R[I].Pressure, 1e9), std::nextafter(R[I + 1].Pressure, -1e9),
                         (R[I].Pressure + R[I + 1].Pressure) / 2}) {
            EXPECT_EQ(Calc().SatTemp(P), ScanSatTemp(P)) << P;
        }
    }
    std::mt19937_64 Rng(7);
    std::uniform_real_distribution<double> Temps(-60, 160);
    std::uniform_real_distribution<double> LogP(-12, std::log(618.0));
    for (int I = 0; I < 100000; ++I) {
        const double T = Temps(Rng);
        EXPECT_EQ(Calc().SatPressure(T), ScanSatPressure(T)) << T;
        const double P = std::exp(LogP(Rng));
        if (P < 618) {
            EXPECT_EQ(Calc().SatTemp(P), ScanSatTemp(P)) << P;
        }
    }
}

TEST(SatPressureLookup, SatTempInvertsSatPressure) {
    for (double T = -59.5; T < 160; T += 0.37) {
        EXPECT_NEAR(Calc().SatTemp(Calc().SatPressure(T)), T, 1e-9) << T;
    }
}

} // namespace
} // namespace psykrona
