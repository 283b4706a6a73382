#include "engine/MollierCalculate.h"

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

TEST(SatPressureLookup, RowsRiseAndSatTempInvertsSatPressure) {
    const auto& R = Calc().SatTable.Rows;
    for (int I = 1; I < TSatPressure::RowCount; ++I) {
        EXPECT_TRUE(R[I - 1].Temp < R[I].Temp && R[I - 1].Pressure < R[I].Pressure) << "row " << I + 1;
    }
    for (double T = -59.5; T < 160; T += 0.37) {
        EXPECT_NEAR(Calc().SatTemp(Calc().SatPressure(T)), T, 1e-9) << T;
    }
}

} // namespace
} // namespace psykrona
