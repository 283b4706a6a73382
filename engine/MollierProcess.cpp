#include "engine/MollierProcess.h"

#include "engine/Errors.h"
#include "engine/Main.h"
#include "engine/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace psykrona {

namespace {

using C = TMollierCalculate;

// Rounding in the solvers may leave a saturated result a hair above 100 %.
constexpr double KSaturationSlack = 1e-6;

[[noreturn]] void Fail(const std::string& Why) {
    throw ECalculationError("Calculation error: " + Why);
}
[[noreturn]] void FailSaturated(double RelHum) {
    throw EPastSaturation("Calculation error: the air would be past saturation (" + FormatFixed(RelHum, 1) +
                          " %)");
}
[[noreturn]] void FailBelowDry() {
    throw EBelowDryAir("Calculation error: the humidity ratio would be below 0 g/kg");
}

double Finite(double Value, const char* What) {
    if (!std::isfinite(Value)) {
        Fail(std::string("the ") + What + " is not a finite number");
    }
    return Value;
}

void CheckState(const TMoistAirState& S) {
    Finite(S.Temp, "temperature");
    Finite(S.SpecHum, "humidity ratio");
    if (S.SpecHum < 0) {
        FailBelowDry();
    }
}

std::string Text(double Value) {
    return FormatFixed(Value, 1);
}

// A humidifier reaches RelHum from In only up to saturation and only upwards.
void CheckHumidifyTo(const TMollierCalculate& K, const TMoistAirState& In, double RelHum) {
    if (RelHum > 100) {
        FailSaturated(RelHum);
    }
    const double RhIn = K.RelHumFromTempSpecHum(In.Temp, In.SpecHum);
    if (RelHum < RhIn) {
        Fail("humidification only adds water: the air already has " + Text(RhIn) + " %");
    }
}

// Enthalpy of the water added at t: liquid above 0 °C, ice below (kJ/kg).
double WaterEnthalpy(double Temp) {
    return Temp >= 0 ? 4.186 * Temp : -333.4 + 2.1 * Temp;
}

// Root of F on [Lo, Hi] with F(Lo) <= 0 <= F(Hi), by false position with
// the Illinois correction: a few evaluations where F is smooth, a bisection's
// guarantee where it is not (the wet bulb's water enthalpy jumps at 0 °C).
template <typename TF> double Root(TF F, double Lo, double Hi) {
    double FLo = F(Lo);
    double FHi = F(Hi);
    if (FLo == 0) {
        return Lo;
    }
    if (FHi == 0) {
        return Hi;
    }
    if (!(FLo < 0 && FHi > 0)) {
        Fail("no solution in the range searched");
    }
    int Side = 0;
    for (int I = 0; I < 200 && Hi - Lo > 1e-10; ++I) {
        double M = (Lo * FHi - Hi * FLo) / (FHi - FLo);
        if (!(M > Lo && M < Hi)) {
            M = 0.5 * (Lo + Hi);
        }
        const double FM = F(M);
        if (FM == 0) {
            return M;
        }
        if (FM < 0) {
            Lo = M;
            FLo = FM;
            if (Side == -1) {
                FHi *= 0.5;
            }
            Side = -1;
        } else {
            Hi = M;
            FHi = FM;
            if (Side == 1) {
                FLo *= 0.5;
            }
            Side = 1;
        }
    }
    return 0.5 * (Lo + Hi);
}

} // namespace

TMollierProcess::TMollierProcess(double Pressure) : FPressure(Pressure) {
    if (!(std::isfinite(Pressure) && Pressure > 0)) {
        Fail("the pressure must be a positive number");
    }
}

TMollierCalculate& TMollierProcess::Calc() const {
    TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    Calc.Pressure = FPressure;
    return Calc;
}

double TMollierProcess::SatSpecHum(double Temp) const {
    return Calc().SpecHumFromTempRelHum(Temp, 100);
}

TMoistAirState TMollierProcess::Solved(double Temp, double SpecHum) const {
    TMoistAirState S;
    S.Temp = Finite(Temp, "temperature");
    S.SpecHum = Finite(SpecHum, "humidity ratio");
    if (SpecHum < 0) {
        FailBelowDry();
    }
    Calc().SolveFromPair(PROP_TEMP, PROP_SPECHUM, S);
    if (S.RelHum > 100 + KSaturationSlack) {
        FailSaturated(S.RelHum);
    }
    return S;
}

// pv = P x / (eps + x)
double TMollierProcess::VapourPressure(double SpecHum) const {
    Finite(SpecHum, "humidity ratio");
    if (SpecHum < 0) {
        FailBelowDry();
    }
    return FPressure * SpecHum / (C::Epsilon + SpecHum);
}

// The temperature at which the vapour pressure saturates.
double TMollierProcess::DewPoint(double SpecHum) const {
    const double Pv = VapourPressure(SpecHum);
    if (Pv <= 0) {
        Fail("dry air (0 g/kg) has no dew point");
    }
    return Calc().SatTemp(Pv);
}

// The temperature t* at which air saturated at t*, with the water added at
// t*, has the state's enthalpy: h(t, x) + (xs(t*) - x) hw(t*) = h(t*, xs(t*)).
// It lies between the dew point and the dry bulb.
double TMollierProcess::WetBulb(double Temp, double SpecHum) const {
    CheckState({Temp, SpecHum, 0, 0});
    const TMollierCalculate& K = Calc();
    const double H = K.Enthalpy(Temp, SpecHum);
    const double Lo = SpecHum > 0 ? DewPoint(SpecHum) : K.SatTable.Rows[0].Temp + 1e-9;
    if (Lo > Temp + 1e-9) {
        Fail("the air is past saturation and has no wet bulb");
    }
    if (Lo >= Temp) {
        return Temp;
    }
    auto F = [&](double T) {
        const double Xs = K.SpecHumFromTempRelHum(T, 100);
        return K.Enthalpy(T, Xs) - H - (Xs - SpecHum) * WaterEnthalpy(T);
    };
    return Root(F, Lo, Temp);
}

// The ideal-gas volume of 1 kg of dry air with its x kg of vapour:
// v = (Ra + x Rv) T / P, m³/kg with P in kPa.
double TMollierProcess::SpecificVolume(double Temp, double SpecHum) const {
    CheckState({Temp, SpecHum, 0, 0});
    return (Ra + SpecHum * Rv) * (Temp + ZeroCelsius) / FPressure;
}

double TMollierProcess::MoistAirDensity(double Temp, double SpecHum) const {
    return (1 + SpecHum) / SpecificVolume(Temp, SpecHum);
}

TStateProperties TMollierProcess::Properties(double Temp, double SpecHum) const {
    TStateProperties P;
    P.DewPoint = SpecHum > 0 ? DewPoint(SpecHum) : std::numeric_limits<double>::quiet_NaN();
    P.WetBulb = WetBulb(Temp, SpecHum);
    P.MoistAirDensity = MoistAirDensity(Temp, SpecHum);
    P.SpecificVolume = SpecificVolume(Temp, SpecHum);
    P.VapourPressure = VapourPressure(SpecHum);
    return P;
}

TMoistAirState TMollierProcess::FromTempDewPoint(double Temp, double DewPoint) const {
    Finite(Temp, "temperature");
    Finite(DewPoint, "dew point");
    if (DewPoint > Temp) {
        Fail("the dew point must not be above the dry-bulb temperature");
    }
    return Solved(Temp, SatSpecHum(DewPoint));
}

// Solving the wet-bulb relation for x:
// x = (h(t*, xs) - xs hw(t*) - cpa t) / (r0 + cpv t - hw(t*)).
TMoistAirState TMollierProcess::FromTempWetBulb(double Temp, double WetBulb) const {
    Finite(Temp, "temperature");
    Finite(WetBulb, "wet-bulb temperature");
    if (WetBulb > Temp) {
        Fail("the wet-bulb temperature must not be above the dry-bulb temperature");
    }
    const TMollierCalculate& K = Calc();
    const double Xs = K.SpecHumFromTempRelHum(WetBulb, 100);
    const double Hw = WaterEnthalpy(WetBulb);
    const double X = (K.Enthalpy(WetBulb, Xs) - Xs * Hw - C::cpa * Temp) / (C::r0 + C::cpv * Temp - Hw);
    if (X < 0) {
        FailBelowDry();
    }
    return Solved(Temp, X);
}

// Along a wet-bulb line the relative humidity falls from 100 % at t = t* to
// 0 % where the line meets dry air, t0 = (h(t*, xs) - xs hw) / cpa.
TMoistAirState TMollierProcess::FromWetBulbRelHum(double WetBulb, double RelHum) const {
    Finite(WetBulb, "wet-bulb temperature");
    Finite(RelHum, "relative humidity");
    if (!(RelHum > 0 && RelHum <= 100)) {
        Fail("the relative humidity must be above 0 % and at most 100 %");
    }
    if (RelHum == 100) {
        return Solved(WetBulb, SatSpecHum(WetBulb));
    }
    const TMollierCalculate& K = Calc();
    const double Xs = K.SpecHumFromTempRelHum(WetBulb, 100);
    const double Hw = WaterEnthalpy(WetBulb);
    const double T0 = (K.Enthalpy(WetBulb, Xs) - Xs * Hw) / C::cpa;
    auto X = [&](double T) {
        return (K.Enthalpy(WetBulb, Xs) - Xs * Hw - C::cpa * T) / (C::r0 + C::cpv * T - Hw);
    };
    auto F = [&](double T) { return RelHum - K.RelHumFromTempSpecHum(T, X(T)); };
    // The saturation table ends at 160 °C.
    const double T = Root(F, WetBulb, std::min(T0, 159.99));
    return Solved(T, std::max(0.0, X(T)));
}

TMoistAirState TMollierProcess::HeatToTemp(const TMoistAirState& In, double Temp) const {
    CheckState(In);
    return Solved(Finite(Temp, "leaving temperature"), In.SpecHum);
}

// h2 = h1 + Q / (V rho)
TMoistAirState TMollierProcess::HeatByPower(const TMoistAirState& In, double Power, double Flow,
                                            double Density) const {
    CheckState(In);
    Finite(Power, "power");
    const double Mass = Finite(Flow * Density, "air flow");
    if (Mass <= 0) {
        Fail("a power needs a positive air flow and density");
    }
    const TMollierCalculate& K = Calc();
    const double H = K.Enthalpy(In.Temp, In.SpecHum) + Power / Mass;
    return Solved(K.TempFromSpecHumEnthalpy(In.SpecHum, H), In.SpecHum);
}

TMoistAirState TMollierProcess::CoilByBypass(const TMoistAirState& In, double Adp,
                                             double BypassFactor) const {
    CheckState(In);
    Finite(Adp, "apparatus dew point");
    Finite(BypassFactor, "bypass factor");
    if (!(BypassFactor >= 0 && BypassFactor <= 1)) {
        Fail("the bypass factor must lie from 0 to 1");
    }
    if (Adp >= In.Temp) {
        Fail("the apparatus dew point must be below the entering temperature");
    }
    if (In.SpecHum == 0 || DewPoint(In.SpecHum) <= Adp) {
        return Solved(Adp + BypassFactor * (In.Temp - Adp), In.SpecHum);
    }
    const TMollierCalculate& K = Calc();
    const double Xa = K.SpecHumFromTempRelHum(Adp, 100);
    const double Ha = K.Enthalpy(Adp, Xa);
    const double X = Xa + BypassFactor * (In.SpecHum - Xa);
    const double H = Ha + BypassFactor * (K.Enthalpy(In.Temp, In.SpecHum) - Ha);
    return Solved(K.TempFromSpecHumEnthalpy(X, H), X);
}

// On the coil line x = xa + b dx, h = ha + b dh the temperature
// t = (h - r0 x) / (cpa + cpv x) is t2 where
// b = (t2 cpa + t2 cpv xa + r0 xa - ha) / (dh - r0 dx - t2 cpv dx).
TMoistAirState TMollierProcess::CoilToTemp(const TMoistAirState& In, double Adp, double LeavingTemp) const {
    CheckState(In);
    Finite(Adp, "apparatus dew point");
    Finite(LeavingTemp, "leaving temperature");
    if (Adp >= In.Temp) {
        Fail("the apparatus dew point must be below the entering temperature");
    }
    if (LeavingTemp < Adp || LeavingTemp > In.Temp) {
        Fail("the leaving temperature must lie from the apparatus dew point (" + Text(Adp) +
             " °C) to the entering temperature (" + Text(In.Temp) + " °C)");
    }
    if (In.SpecHum == 0 || DewPoint(In.SpecHum) <= Adp) {
        return Solved(LeavingTemp, In.SpecHum);
    }
    const TMollierCalculate& K = Calc();
    const double Xa = K.SpecHumFromTempRelHum(Adp, 100);
    const double Ha = K.Enthalpy(Adp, Xa);
    const double Dx = In.SpecHum - Xa;
    const double Dh = K.Enthalpy(In.Temp, In.SpecHum) - Ha;
    const double T = LeavingTemp;
    const double B = (T * C::cpa + T * C::cpv * Xa + C::r0 * Xa - Ha) / (Dh - C::r0 * Dx - T * C::cpv * Dx);
    const double X = Xa + B * Dx;
    return Solved(T, X);
}

TMoistAirState TMollierProcess::SteamToSpecHum(const TMoistAirState& In, double SpecHum,
                                               double SteamEnthalpy) const {
    CheckState(In);
    Finite(SpecHum, "humidity ratio");
    Finite(SteamEnthalpy, "steam enthalpy");
    if (SpecHum < In.SpecHum) {
        Fail("steam only adds water: the humidity ratio must not fall");
    }
    const TMollierCalculate& K = Calc();
    const double H = K.Enthalpy(In.Temp, In.SpecHum) + (SpecHum - In.SpecHum) * SteamEnthalpy;
    return Solved(K.TempFromSpecHumEnthalpy(SpecHum, H), SpecHum);
}

// The relative humidity rises with the water added (the small warming by the
// steam does not outweigh it), so the humidity ratio is found by bracketing.
TMoistAirState TMollierProcess::SteamToRelHum(const TMoistAirState& In, double RelHum,
                                              double SteamEnthalpy) const {
    CheckState(In);
    Finite(RelHum, "relative humidity");
    Finite(SteamEnthalpy, "steam enthalpy");
    const TMollierCalculate& K = Calc();
    CheckHumidifyTo(K, In, RelHum);
    const double H1 = K.Enthalpy(In.Temp, In.SpecHum);
    auto Rh = [&](double X) {
        return K.RelHumFromTempSpecHum(K.TempFromSpecHumEnthalpy(X, H1 + (X - In.SpecHum) * SteamEnthalpy),
                                       X);
    };
    double Hi = In.SpecHum + 0.001;
    while (Rh(Hi) < RelHum) {
        Hi += 2 * (Hi - In.SpecHum);
        if (Hi > 1) {
            Fail("no humidity ratio gives that relative humidity");
        }
    }
    const double X = Root([&](double Trial) { return Rh(Trial) - RelHum; }, In.SpecHum, Hi);
    return SteamToSpecHum(In, X, SteamEnthalpy);
}

TMoistAirState TMollierProcess::AdiabaticToSpecHum(const TMoistAirState& In, double SpecHum) const {
    CheckState(In);
    Finite(SpecHum, "humidity ratio");
    if (SpecHum < In.SpecHum) {
        Fail("adiabatic humidification only adds water: the humidity ratio must not fall");
    }
    const TMollierCalculate& K = Calc();
    TMoistAirState S;
    S.SpecHum = SpecHum;
    S.Enthalpy = K.Enthalpy(In.Temp, In.SpecHum);
    K.SolveFromPair(PROP_SPECHUM, PROP_ENTHALPY, S);
    if (S.RelHum > 100 + KSaturationSlack) {
        FailSaturated(S.RelHum);
    }
    return S;
}

TMoistAirState TMollierProcess::AdiabaticToRelHum(const TMoistAirState& In, double RelHum) const {
    CheckState(In);
    Finite(RelHum, "relative humidity");
    const TMollierCalculate& K = Calc();
    CheckHumidifyTo(K, In, RelHum);
    const double H = K.Enthalpy(In.Temp, In.SpecHum);
    const double T = K.TempFromRelHumEnthalpy(RelHum, H);
    return AdiabaticToSpecHum(In, std::max(In.SpecHum, K.SpecHumFromTempEnthalpy(T, H)));
}

TMoistAirState TMollierProcess::HeatRecovery(const TMoistAirState& In, const TMoistAirState& Extract,
                                             double Efficiency) const {
    CheckState(In);
    CheckState(Extract);
    Finite(Efficiency, "efficiency");
    if (!(Efficiency >= 0 && Efficiency <= 1)) {
        Fail("the temperature efficiency must lie from 0 to 1");
    }
    return Solved(In.Temp + Efficiency * (Extract.Temp - In.Temp), In.SpecHum);
}

// Dry air, water and enthalpy are conserved:
// x = (mA xA + mB xB) / (mA + mB), h likewise.
TMoistAirState TMollierProcess::Mix(const TMoistAirState& A, double MassA, const TMoistAirState& B,
                                    double MassB) const {
    CheckState(A);
    CheckState(B);
    Finite(MassA, "first air flow");
    Finite(MassB, "second air flow");
    if (MassA < 0 || MassB < 0 || MassA + MassB <= 0) {
        Fail("the air flows must not be negative and not both 0");
    }
    const TMollierCalculate& K = Calc();
    const double M = MassA + MassB;
    const double X = (MassA * A.SpecHum + MassB * B.SpecHum) / M;
    const double H = (MassA * K.Enthalpy(A.Temp, A.SpecHum) + MassB * K.Enthalpy(B.Temp, B.SpecHum)) / M;
    TMoistAirState S;
    S.SpecHum = X;
    S.Enthalpy = H;
    K.SolveFromPair(PROP_SPECHUM, PROP_ENTHALPY, S);
    if (S.RelHum > 100 + KSaturationSlack) {
        FailSaturated(S.RelHum);
    }
    return Solved(S.Temp, X);
}

TProcessQuantities TMollierProcess::Quantities(const TMoistAirState& S1, const TMoistAirState& S2,
                                               double Flow, double Density) {
    TProcessQuantities Q;
    Q.Power = C::Power(Flow, Density, S1.Enthalpy, S2.Enthalpy);
    Q.SensiblePower = C::SensiblePower(Flow, Density, S1.Temp, S2.Temp, S1.SpecHum, S2.SpecHum);
    Q.LatentPower = Q.Power - Q.SensiblePower;
    Q.SensibleHeatRatio = Q.Power != 0 ? Q.SensiblePower / Q.Power : std::numeric_limits<double>::quiet_NaN();
    Q.WaterPerHour = Flow * Density * (S2.SpecHum - S1.SpecHum) * 3600;
    return Q;
}

double TMollierProcess::StreamDensity(const TMain& Doc, double Temp) {
    const bool Normal = Doc.Density == TMain::NormalDensity && Doc.DensityTemp == TMain::NormalDensityTemp &&
                        Doc.Pressure == TMain::NormalPressure;
    return Normal ? TMain::NormalDensity : TMain::RealDensity(Temp, Doc.Pressure * 10);
}

double TMollierProcess::PressureFromAltitude(double Altitude) {
    Finite(Altitude, "altitude");
    if (Altitude < -500 || Altitude > 11000) {
        Fail("the altitude must lie from -500 m to 11000 m");
    }
    return 101.325 * std::pow(1 - 2.25577e-5 * Altitude, 5.2559);
}

} // namespace psykrona
