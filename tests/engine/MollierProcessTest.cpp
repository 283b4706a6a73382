#include "engine/MollierProcess.h"

#include "engine/Errors.h"
#include "engine/Main.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace psykrona {
namespace {

constexpr unsigned KSeed = 20261206;

TMoistAirState State(double Temp, double RelHum, double Pressure = 101.325) {
    TMollierCalculate& C = TMollierCalculate::GetInstance();
    C.Pressure = Pressure;
    TMoistAirState S;
    S.Temp = Temp;
    S.RelHum = RelHum;
    C.SolveFromPair(PROP_TEMP, PROP_RELHUM, S);
    return S;
}

// ASHRAE Handbook, Fundamentals, psychrometrics example: 40 °C dry bulb and
// 20 °C wet bulb at 101.325 kPa have 6.5 g/kg and 56.7 kJ/kg; the tolerance
// covers this program's table and constants.
TEST(MollierProcess, WetBulbMatchesTheHandbookExampleBothWays) {
    const TMollierProcess P(101.325);
    const TMoistAirState S = P.FromTempWetBulb(40, 20);
    EXPECT_NEAR(S.SpecHum * 1000, 6.5, 0.2);
    EXPECT_NEAR(S.Enthalpy, 56.7, 0.6);
    EXPECT_NEAR(P.WetBulb(40, S.SpecHum), 20, 1e-6);
}

// The standard atmosphere's tabulated pressures.
TEST(MollierProcess, PressureFromAltitudeFollowsTheStandardAtmosphere) {
    EXPECT_NEAR(TMollierProcess::PressureFromAltitude(0), 101.325, 1e-9);
    EXPECT_NEAR(TMollierProcess::PressureFromAltitude(500), 95.461, 0.01);
    EXPECT_NEAR(TMollierProcess::PressureFromAltitude(1000), 89.875, 0.01);
    EXPECT_THROW(TMollierProcess::PressureFromAltitude(20000), ECalculationError);
    EXPECT_THROW(TMollierProcess::PressureFromAltitude(std::nan("")), ECalculationError);
}

// The dew point saturates at the state's humidity ratio; the wet bulb lies
// between it and the dry bulb; the states fixed by dew point, wet bulb, or
// wet bulb with relative humidity give those values back.
TEST(MollierProcess, DewPointAndWetBulbDefineTheirStates) {
    std::mt19937 Rng(KSeed);
    std::uniform_real_distribution<double> T(-20, 50), Rh(5, 100), Pr(80, 105);
    for (int I = 0; I < 300; ++I) {
        const double Pressure = Pr(Rng);
        const TMoistAirState S = State(T(Rng), Rh(Rng), Pressure);
        SCOPED_TRACE(::testing::Message() << "seed " << KSeed << " case " << I << " t " << S.Temp << " rh "
                                          << S.RelHum << " P " << Pressure);
        const TMollierProcess P(Pressure);
        TMollierCalculate& C = TMollierCalculate::GetInstance();
        const double Dew = P.DewPoint(S.SpecHum);
        C.Pressure = Pressure;
        EXPECT_NEAR(C.SpecHumFromTempRelHum(Dew, 100), S.SpecHum, 1e-9);
        const double Wet = P.WetBulb(S.Temp, S.SpecHum);
        EXPECT_LE(Dew, Wet + 1e-9);
        EXPECT_LE(Wet, S.Temp + 1e-9);
        EXPECT_NEAR(P.FromTempDewPoint(S.Temp, Dew).SpecHum, S.SpecHum, 1e-9);
        EXPECT_NEAR(P.FromTempWetBulb(S.Temp, Wet).SpecHum, S.SpecHum, 1e-8);
        const TMoistAirState B = P.FromWetBulbRelHum(Wet, S.RelHum);
        EXPECT_NEAR(B.Temp, S.Temp, 1e-6);
        EXPECT_NEAR(B.RelHum, S.RelHum, 1e-6);
    }
    const TMollierProcess P(101.325);
    EXPECT_THROW(P.FromTempDewPoint(20, 21), ECalculationError);
    EXPECT_THROW(P.FromTempWetBulb(20, 21), ECalculationError);
    EXPECT_THROW(P.FromTempWetBulb(50, -10), EBelowDryAir);
    EXPECT_THROW(P.WetBulb(20, 0.02), ECalculationError); // past saturation
    EXPECT_THROW(P.DewPoint(-0.001), ECalculationError);
    EXPECT_THROW(P.WetBulb(std::numeric_limits<double>::infinity(), 0.005), ECalculationError);
}

// Each process's leaving state meets the process's definition, over random
// entering states and settings; what has no answer is refused.
TEST(MollierProcess, EveryProcessLeavesTheStateItDefines) {
    std::mt19937 Rng(KSeed);
    std::uniform_real_distribution<double> T(-10, 40), Rh(10, 90), U(0, 1);
    const double Pressure = 101.3;
    const TMollierProcess P(Pressure);
    TMollierCalculate& C = TMollierCalculate::GetInstance();
    int Dehumidified = 0;
    int Fogged = 0;
    for (int I = 0; I < 300; ++I) {
        const TMoistAirState In = State(T(Rng), Rh(Rng), Pressure);
        SCOPED_TRACE(::testing::Message()
                     << "seed " << KSeed << " case " << I << " t " << In.Temp << " rh " << In.RelHum);
        const double Dew = P.DewPoint(In.SpecHum);

        const double Warm = In.Temp + 30 * U(Rng);
        TMoistAirState S = P.HeatToTemp(In, Warm);
        EXPECT_EQ(S.SpecHum, In.SpecHum);
        EXPECT_EQ(S.Temp, Warm);

        const double Kw = 50 * U(Rng) - 10;
        try {
            S = P.HeatByPower(In, Kw, 2, 1.2);
            EXPECT_EQ(S.SpecHum, In.SpecHum);
            EXPECT_NEAR(TMollierCalculate::Power(2, 1.2, In.Enthalpy, S.Enthalpy), Kw, 1e-9);
        } catch (const EPastSaturation&) {
            // Only cooling below the dew point has no answer.
            C.Pressure = Pressure;
            EXPECT_LT(In.Enthalpy + Kw / 2.4, C.Enthalpy(Dew, In.SpecHum));
        }

        // The coil: saturation at the apparatus dew point, the entering and
        // the leaving air on one straight line in x and h.
        const double Adp = In.Temp - 1 - 15 * U(Rng);
        const double Bf = U(Rng);
        C.Pressure = Pressure;
        const double Xa = C.SpecHumFromTempRelHum(Adp, 100);
        const double Ha = C.Enthalpy(Adp, Xa);
        for (const bool ByTemp : {false, true}) {
            try {
                S = ByTemp ? P.CoilToTemp(In, Adp, Adp + Bf * (In.Temp - Adp)) : P.CoilByBypass(In, Adp, Bf);
            } catch (const EPastSaturation&) {
                // The straight coil line bulges past the curved saturation
                // line only from nearly saturated entering air.
                EXPECT_GT(In.RelHum, 60);
                ++Fogged;
                continue;
            }
            if (Dew <= Adp) {
                EXPECT_EQ(S.SpecHum, In.SpecHum);
                EXPECT_NEAR(S.Temp, Adp + Bf * (In.Temp - Adp), 1e-9);
            } else {
                ++Dehumidified;
                EXPECT_NEAR((S.SpecHum - Xa) * (In.Enthalpy - Ha), (S.Enthalpy - Ha) * (In.SpecHum - Xa),
                            1e-9);
                EXPECT_LE(S.SpecHum, In.SpecHum);
                EXPECT_GE(S.SpecHum, Xa - 1e-12);
                if (ByTemp) {
                    EXPECT_NEAR(S.Temp, Adp + Bf * (In.Temp - Adp), 1e-9);
                } else {
                    EXPECT_NEAR(S.SpecHum - Xa, Bf * (In.SpecHum - Xa), 1e-12);
                }
            }
            EXPECT_LE(S.RelHum, 100 + 1e-6);
        }

        const double Target = In.RelHum + (100 - In.RelHum) * U(Rng);
        S = P.SteamToRelHum(In, Target);
        EXPECT_NEAR(S.RelHum, Target, 1e-6);
        EXPECT_NEAR(S.Enthalpy - In.Enthalpy, (S.SpecHum - In.SpecHum) * 2676, 1e-9);
        const double Half = (In.SpecHum + S.SpecHum) / 2; // short of the target, so short of saturation
        S = P.SteamToSpecHum(In, Half, 2500);
        EXPECT_EQ(S.SpecHum, Half);
        EXPECT_NEAR(S.Enthalpy - In.Enthalpy, (Half - In.SpecHum) * 2500, 1e-9);

        S = P.AdiabaticToRelHum(In, Target);
        EXPECT_NEAR(S.RelHum, Target, 1e-5);
        EXPECT_NEAR(S.Enthalpy, In.Enthalpy, 1e-9);
        EXPECT_GE(S.SpecHum, In.SpecHum);

        const TMoistAirState Extract = State(T(Rng), Rh(Rng), Pressure);
        const double Eff = U(Rng);
        try {
            S = P.HeatRecovery(In, Extract, Eff);
            EXPECT_EQ(S.SpecHum, In.SpecHum);
            EXPECT_NEAR(S.Temp - In.Temp, Eff * (Extract.Temp - In.Temp), 1e-9);
        } catch (const EPastSaturation&) {
            // Only recovery that would chill the air below its dew point has no answer.
            EXPECT_LT(In.Temp + Eff * (Extract.Temp - In.Temp), Dew);
        }
    }
    EXPECT_GT(Dehumidified, 100); // both coil branches were exercised
    EXPECT_LT(Fogged, 30);

    const TMoistAirState Room = State(20, 50, Pressure);
    EXPECT_THROW(P.HeatToTemp(Room, 5), EPastSaturation); // below the dew point
    EXPECT_THROW(P.AdiabaticToRelHum(Room, 101), ECalculationError);
    EXPECT_THROW(P.AdiabaticToSpecHum(Room, 0.02), EPastSaturation);
    EXPECT_THROW(P.SteamToRelHum(Room, 40), ECalculationError);
    EXPECT_THROW(P.SteamToSpecHum(Room, 0.05), ECalculationError);
    EXPECT_THROW(P.CoilToTemp(Room, 10, 25), ECalculationError);
    EXPECT_THROW(P.CoilByBypass(Room, 10, 1.5), ECalculationError);
    EXPECT_THROW(P.HeatByPower(Room, 10, 0, 1.2), ECalculationError);
    EXPECT_THROW(P.HeatRecovery(Room, Room, std::nan("")), ECalculationError);
    TMoistAirState Negative = Room;
    Negative.SpecHum = -0.001;
    EXPECT_THROW(P.HeatToTemp(Negative, 30), EBelowDryAir);
}

// Mixing conserves dry air, water and enthalpy; fog is refused.
TEST(MollierProcess, MixingKeepsTheThreeBalances) {
    std::mt19937 Rng(KSeed);
    std::uniform_real_distribution<double> T(-20, 40), Rh(10, 90), M(0.1, 5);
    const TMollierProcess P(101.3);
    for (int I = 0; I < 200; ++I) {
        const TMoistAirState A = State(T(Rng), Rh(Rng), 101.3);
        const TMoistAirState B = State(T(Rng), Rh(Rng), 101.3);
        const double Ma = M(Rng);
        const double Mb = M(Rng);
        SCOPED_TRACE(::testing::Message() << "seed " << KSeed << " case " << I);
        try {
            const TMoistAirState S = P.Mix(A, Ma, B, Mb);
            const double Mix = Ma + Mb; // dry air
            EXPECT_NEAR(Mix * S.SpecHum, Ma * A.SpecHum + Mb * B.SpecHum, 1e-12);
            EXPECT_NEAR(Mix * S.Enthalpy, Ma * A.Enthalpy + Mb * B.Enthalpy, 1e-9);
            EXPECT_LE(S.RelHum, 100 + 1e-6);
        } catch (const EPastSaturation&) {
            // fog: refused
        }
    }
    EXPECT_THROW(P.Mix(State(-15, 90, 101.3), 1, State(35, 95, 101.3), 1), EPastSaturation); // fog
    EXPECT_THROW(P.Mix(State(20, 50, 101.3), 0, State(30, 50, 101.3), 0), ECalculationError);
}

TEST(MollierProcess, QuantitiesSplitThePowerAndCountWaterPerHour) {
    const TMoistAirState A = State(30, 60, 101.3);
    TMoistAirState B = TMollierProcess(101.3).CoilByBypass(A, 10, 0.2);
    const TProcessQuantities Q = TMollierProcess::Quantities(A, B, 2, 1.2);
    EXPECT_NEAR(Q.LatentPower, 2 * 1.2 * TMollierCalculate::r0 * (B.SpecHum - A.SpecHum), 1e-9);
    EXPECT_NEAR(Q.SensibleHeatRatio * Q.Power, Q.SensiblePower, 1e-9);
    TMain Doc;
    Doc.AirFlow = 2;
    Doc.Density = 1.2;
    EXPECT_NEAR(Q.WaterPerHour, Doc.Water(A.SpecHum, B.SpecHum) * 60, 1e-9);
    EXPECT_TRUE(std::isnan(TMollierProcess::Quantities(A, A, 2, 1.2).SensibleHeatRatio));
}

} // namespace
} // namespace psykrona
