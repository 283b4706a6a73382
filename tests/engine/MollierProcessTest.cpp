#include "engine/MollierProcess.h"

#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

namespace psykrona {
namespace {

constexpr unsigned KSeed = 20261206;

// The state at Temp and RelHum, at 101.3 kPa.
TMoistAirState State(double Temp, double RelHum) {
    TMollierCalculate::GetInstance().Pressure = 101.3;
    TMoistAirState S{Temp, 0, RelHum, 0};
    TMollierCalculate::GetInstance().SolveFromPair(PROP_TEMP, PROP_RELHUM, S);
    return S;
}

// Published references: the ASHRAE handbook's examples (40 °C, wet bulb 20 °C:
// 6.5 g/kg, 56.7 kJ/kg; 20 °C and 50 %) and the standard atmosphere.
TEST(MollierProcess, HandbookExampleAndStandardAtmosphere) {
    const TMoistAirState Room = State(20, 50);
    EXPECT_NEAR(Room.SpecHum, 0.0072585, 5e-8);
    EXPECT_NEAR(Room.Enthalpy, 38.518, 5e-4);
    const TMollierProcess P(101.325);
    const TMoistAirState S = P.FromTempWetBulb(40, 20);
    EXPECT_NEAR(S.SpecHum * 1000, 6.5, 0.2);
    EXPECT_NEAR(S.Enthalpy, 56.7, 0.6);
    EXPECT_NEAR(P.WetBulb(40, S.SpecHum), 20, 1e-6);
    EXPECT_NEAR(TMollierProcess::PressureFromAltitude(500), 95.461, 0.01);
    EXPECT_NEAR(TMollierProcess::PressureFromAltitude(1000), 89.875, 0.01);
}

// Over random states: the dew point and wet bulb define their states, each
// process leaves the state it defines, mixing keeps water and energy.
TEST(MollierProcess, EveryProcessLeavesTheStateItDefines) {
    std::mt19937 Rng(KSeed);
    std::uniform_real_distribution<double> T(-10, 40), Rh(10, 90), U(0, 1);
    const TMollierProcess P(101.3);
    int Dehumidified = 0;
    for (int I = 0; I < 300; ++I) {
        const TMoistAirState In = State(T(Rng), Rh(Rng));
        SCOPED_TRACE(::testing::Message() << "seed " << KSeed << " case " << I);
        const double Dew = P.DewPoint(In.SpecHum);
        const double Wet = P.WetBulb(In.Temp, In.SpecHum);
        EXPECT_NEAR(State(Dew, 100).SpecHum, In.SpecHum, 1e-9); // saturated at the same x
        EXPECT_TRUE(Dew <= Wet + 1e-9 && Wet <= In.Temp + 1e-9) << Dew << " " << Wet << " " << In.Temp;
        EXPECT_NEAR(P.FromTempDewPoint(In.Temp, Dew).SpecHum, In.SpecHum, 1e-9);
        EXPECT_NEAR(P.FromTempWetBulb(In.Temp, Wet).SpecHum, In.SpecHum, 1e-8);
        EXPECT_NEAR(P.FromWetBulbRelHum(Wet, In.RelHum).Temp, In.Temp, 1e-6);
        const double Kw = 50 * U(Rng) - 10;
        try {
            const TMoistAirState S = P.HeatByPower(In, Kw, 2, 1.2);
            EXPECT_EQ(S.SpecHum, In.SpecHum);
            EXPECT_NEAR(TMollierCalculate::Power(2, 1.2, In.Enthalpy, S.Enthalpy), Kw, 1e-9);
        } catch (const EPastSaturation&) {
            EXPECT_LT(In.Enthalpy + Kw / 2.4, State(Dew, 100).Enthalpy); // only below the dew point
        }
        // The coil: the entering and leaving air on one straight line (in x
        // and h) to saturation at the apparatus dew point.
        const double Adp = In.Temp - 1 - 15 * U(Rng);
        const double Bf = U(Rng);
        const TMoistAirState A = State(Adp, 100);
        for (const bool ByTemp : {false, true}) {
            TMoistAirState S;
            try {
                S = ByTemp ? P.CoilToTemp(In, Adp, Adp + Bf * (In.Temp - Adp)) : P.CoilByBypass(In, Adp, Bf);
            } catch (const EPastSaturation&) {
                EXPECT_GT(In.RelHum, 60); // only nearly saturated air fogs on the straight line
                continue;
            }
            if (Dew <= Adp) {
                EXPECT_EQ(S.SpecHum, In.SpecHum);
            } else {
                ++Dehumidified;
                EXPECT_NEAR((S.SpecHum - A.SpecHum) * (In.Enthalpy - A.Enthalpy),
                            (S.Enthalpy - A.Enthalpy) * (In.SpecHum - A.SpecHum), 1e-9);
            }
            if (ByTemp || Dew <= Adp) {
                EXPECT_NEAR(S.Temp, Adp + Bf * (In.Temp - Adp), 1e-9);
            } else {
                EXPECT_NEAR(S.SpecHum - A.SpecHum, Bf * (In.SpecHum - A.SpecHum), 1e-12);
            }
        }
        const double Target = In.RelHum + (100 - In.RelHum) * U(Rng);
        TMoistAirState S = P.SteamToRelHum(In, Target);
        EXPECT_NEAR(S.RelHum, Target, 1e-6);
        EXPECT_NEAR(S.Enthalpy - In.Enthalpy, (S.SpecHum - In.SpecHum) * 2676, 1e-9);
        S = P.AdiabaticToRelHum(In, Target);
        EXPECT_NEAR(S.RelHum, Target, 1e-5);
        EXPECT_NEAR(S.Enthalpy, In.Enthalpy, 1e-9);
        const TMoistAirState Other = State(T(Rng), Rh(Rng));
        const double Eff = U(Rng);
        try {
            S = P.HeatRecovery(In, Other, Eff);
            EXPECT_NEAR(S.Temp - In.Temp, Eff * (Other.Temp - In.Temp), 1e-9);
            EXPECT_EQ(S.SpecHum, In.SpecHum);
        } catch (const EPastSaturation&) {
            EXPECT_LT(In.Temp + Eff * (Other.Temp - In.Temp), Dew);
        }
        try {
            S = P.Mix(In, Eff + 0.1, Other, 1);
            EXPECT_NEAR((Eff + 1.1) * S.SpecHum, (Eff + 0.1) * In.SpecHum + Other.SpecHum, 1e-12);
            EXPECT_NEAR((Eff + 1.1) * S.Enthalpy, (Eff + 0.1) * In.Enthalpy + Other.Enthalpy, 1e-9);
        } catch (const EPastSaturation&) {
            // fog
        }
    }
    EXPECT_GT(Dehumidified, 100); // both coil branches were exercised
}

// What has no answer fails, never returns a number: beyond the table,
// divisions by zero, non-finite inputs and results, unreachable searches.
TEST(MollierProcess, WhatHasNoAnswerIsRefused) {
    const TMollierProcess P(101.3);
    const TMollierCalculate& C = TMollierCalculate::GetInstance();
    const TMoistAirState Room = State(20, 50);
    const TMoistAirState Negative{Room.Temp, -0.001, Room.RelHum, Room.Enthalpy};
    const std::function<void()> Cases[] = {
        [&] { P.HeatToTemp(Room, 5); }, // below the dew point
        [&] { P.AdiabaticToRelHum(Room, 101); }, [&] { P.SteamToRelHum(Room, 40); },
        [&] { P.CoilToTemp(Room, 10, 25); }, [&] { P.HeatByPower(Room, 10, 0, 1.2); },
        [&] { P.HeatRecovery(Room, Room, std::nan("")); }, [&] { P.HeatToTemp(Negative, 30); },
        [&] { P.Mix(State(-15, 90), 1, State(35, 95), 1); }, // fog
        [&] { P.Mix(Room, 0, Room, 0); }, [&] { P.FromTempDewPoint(20, 21); },
        [&] { P.FromTempWetBulb(50, -10); }, [&] { P.WetBulb(20, 0.02); }, [&] { P.DewPoint(-0.001); },
        [&] { TMollierProcess::PressureFromAltitude(20000); },
        [&] { (void)C.TempFromRelHumEnthalpy(100, -100); }, // walks down to -60 °C
        [&] { (void)C.TempFromRelHumEnthalpy(1, 600); },    // would creep towards 160 °C
        [&] { (void)C.TempFromRelHumEnthalpy(NAN, 20); }, [&] { (void)C.TempFromRelHumEnthalpy(50, NAN); },
        [&] { (void)C.SpecHumFromRelHumEnthalpy(1, 600); }, [&] { (void)C.RelHumFromTempSpecHum(-60, 0.001); },
        [&] { (void)C.TempFromSpecHumRelHum(0.005, 0); }, [&] { (void)C.Enthalpy(1e308, 1e308); },
        [&] { (void)C.SpecHumFromTempRelHum(200, 50); }, [&] { (void)C.TempFromSpecHumRelHum(1.0, 1); },
        [&] { (void)C.SatPressure(160); }, [&] { (void)C.SatPressure(-60.01); }, [&] { (void)C.SatPressure(NAN); },
        [&] { (void)C.SatTemp(618); }, [&] { (void)C.SatTemp(-0.001); }, [&] { (void)C.SatTemp(HUGE_VAL); },
    };
    int Row = 0;
    for (const auto& Case : Cases) {
        EXPECT_THROW(Case(), ECalculationError) << "row " << Row++;
    }
}

} // namespace
} // namespace psykrona
