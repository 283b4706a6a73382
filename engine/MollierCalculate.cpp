#include "engine/MollierCalculate.h"

#include "engine/Errors.h"
#include "engine/NumberText.h"

#include <bit>
#include <cmath>
#include <string>

namespace psykrona {

namespace {

// Pressures are positive, so the bits of the double (exponent and the top
// four mantissa bits) rise with the value: a cheap logarithmic bucket key.
constexpr int KPressureKeyShift = 48;

std::uint64_t PressureKey(double P) { return std::bit_cast<std::uint64_t>(P) >> KPressureKeyShift; }

[[noreturn]] void Fail(const std::string& Why) { throw ECalculationError("Calculation error: " + Why); }

// Division as the floating-point unit would trap it: by zero has no result.
double Div(double A, double B) {
    if (B == 0) {
        Fail("division by zero");
    }
    return A / B;
}

double Checked(double Value) {
    if (!std::isfinite(Value)) {
        Fail("the result is not a finite number");
    }
    return Value;
}

} // namespace

TMollierCalculate& TMollierCalculate::GetInstance() {
    static TMollierCalculate Instance;
    return Instance;
}

TMollierCalculate::TMollierCalculate() {
    const auto& R = SatTable.Rows;
    // FTempIndex[b]: the last row at or below b - 60 °C.
    int Row = 0;
    for (int B = 0; B < KTempBuckets; ++B) {
        while (Row + 1 < TSatPressure::RowCount && R[Row + 1].Temp <= KMinTemp + B) {
            ++Row;
        }
        FTempIndex[B] = static_cast<std::uint8_t>(Row);
    }
    for (int I = 0; I + 1 < TSatPressure::RowCount; ++I) {
        FPsSlope[I] = (R[I + 1].Pressure - R[I].Pressure) / (R[I + 1].Temp - R[I].Temp);
    }
    // FPressureIndex[k]: the last row at or below the smallest pressure whose
    // key is FPressureKeyMin + k. Pressures below the second row use row 0.
    FPressureKeyMin = PressureKey(R[1].Pressure);
    const std::uint64_t KeyMax = PressureKey(R[TSatPressure::RowCount - 1].Pressure);
    FPressureIndex.resize(KeyMax - FPressureKeyMin + 1);
    Row = 0;
    for (std::uint64_t K = FPressureKeyMin; K <= KeyMax; ++K) {
        const auto Low = std::bit_cast<double>(K << KPressureKeyShift);
        while (Row + 1 < TSatPressure::RowCount && R[Row + 1].Pressure <= Low) {
            ++Row;
        }
        FPressureIndex[K - FPressureKeyMin] = static_cast<std::uint8_t>(Row);
    }
}

int TMollierCalculate::TempRow(double Temp) const {
    const auto& R = SatTable.Rows;
    int Row = FTempIndex[static_cast<int>(Temp - KMinTemp)];
    // The subtraction may round up across a whole degree.
    if (Temp < R[Row].Temp) {
        --Row;
    }
    while (Temp >= R[Row + 1].Temp) {
        ++Row;
    }
    return Row;
}

int TMollierCalculate::PressureRow(double P) const {
    const auto& R = SatTable.Rows;
    if (P < R[1].Pressure) {
        return 0;
    }
    int Row = FPressureIndex[PressureKey(P) - FPressureKeyMin];
    while (P >= R[Row + 1].Pressure) {
        ++Row;
    }
    return Row;
}

double TMollierCalculate::SatPressure(double Temp) const {
    // The interval of each row pair is closed below and open above, so the
    // last row's temperature itself has no pair.
    if (!(Temp >= SatTable.Rows[0].Temp && Temp < SatTable.Rows[TSatPressure::RowCount - 1].Temp)) {
        Fail("the temperature " + FloatToStr(Temp) + " °C is outside the saturation table (-60 to 160 °C)");
    }
    const int I = TempRow(Temp);
    const auto& Lo = SatTable.Rows[I];
    const auto& Hi = SatTable.Rows[I + 1];
    return Interpolate(Lo.Temp, Hi.Temp, Temp, Lo.Pressure, Hi.Pressure);
}

double TMollierCalculate::SatTemp(double P) const {
    if (!(P >= SatTable.Rows[0].Pressure && P < SatTable.Rows[TSatPressure::RowCount - 1].Pressure)) {
        Fail("the vapour pressure " + FloatToStr(P) + " kPa is outside the saturation table (0 to 618 kPa)");
    }
    const int I = PressureRow(P);
    const auto& Lo = SatTable.Rows[I];
    const auto& Hi = SatTable.Rows[I + 1];
    return Interpolate(Lo.Pressure, Hi.Pressure, P, Lo.Temp, Hi.Temp);
}

// h = cpa t + x (r0 + cpv t)
double TMollierCalculate::Enthalpy(double Temp, double SpecHum) const {
    return Checked(cpa * Temp + SpecHum * (r0 + cpv * Temp));
}

// x = eps phi ps / (P - phi ps)
double TMollierCalculate::SpecHumFromTempRelHum(double Temp, double RelHum) const {
    const double Ps = SatPressure(Temp);
    const double Phi = RelHum / 100;
    return Checked(Div(Epsilon * Phi * Ps, Pressure - Phi * Ps));
}

double TMollierCalculate::EnthalpyFromTempRelHum(double Temp, double RelHum) const {
    return Enthalpy(Temp, SpecHumFromTempRelHum(Temp, RelHum));
}

// The dew point of the vapour pressure p = P x / (eps + x), raised to phi:
// t = SatTemp(P x / ((eps + x) phi))
double TMollierCalculate::TempFromSpecHumRelHum(double SpecHum, double RelHum) const {
    const double Phi = RelHum / 100;
    return Checked(SatTemp(Checked(Div(Pressure * SpecHum, (Epsilon + SpecHum) * Phi))));
}

double TMollierCalculate::EnthalpyFromSpecHumRelHum(double SpecHum, double RelHum) const {
    return Enthalpy(TempFromSpecHumRelHum(SpecHum, RelHum), SpecHum);
}

// x = (h - cpa t) / (cpv t + r0)
double TMollierCalculate::SpecHumFromTempEnthalpy(double Temp, double Enthalpy) const {
    return Checked(Div(Enthalpy - cpa * Temp, cpv * Temp + r0));
}

// RH = x P / ((eps + x) ps) 100
double TMollierCalculate::RelHumFromTempSpecHum(double Temp, double SpecHum) const {
    const double Ps = SatPressure(Temp);
    return Checked(Div(SpecHum * Pressure, (Epsilon + SpecHum) * Ps) * 100);
}

double TMollierCalculate::RelHumFromTempEnthalpy(double Temp, double Enthalpy) const {
    const double X = SpecHumFromTempEnthalpy(Temp, Enthalpy);
    const double Ps = SatPressure(Temp);
    return Checked(Div(100 * X * Pressure, Ps * (X + Epsilon)));
}

// t = (h - r0 x) / (cpa + cpv x)
double TMollierCalculate::TempFromSpecHumEnthalpy(double SpecHum, double Enthalpy) const {
    return Checked(Div(Enthalpy - r0 * SpecHum, cpa + cpv * SpecHum));
}

double TMollierCalculate::RelHumFromSpecHumEnthalpy(double SpecHum, double Enthalpy) const {
    return RelHumFromTempEnthalpy(TempFromSpecHumEnthalpy(SpecHum, Enthalpy), Enthalpy);
}

// The relative humidity that temperature T gives at enthalpy H and the
// calculator's pressure, as a fraction: x = (h - cpa T) / (cpv T + r0),
// phi = x P / ps / (x + eps).
double TMollierCalculate::SearchPhi(double T, double H) const {
    const double Ps = SatPressure(T);
    const double X = Div(H - cpa * T, cpv * T + r0);
    return Div(Div(X * Pressure, Ps), X + Epsilon);
}

// At constant enthalpy the relative humidity rises as the temperature falls.
// The search walks down from 150 °C in steps of 10 K until a point comes out
// too cold (too humid), then bisects: a too-cold point halves the step and
// moves up by it, a too-warm point moves down by the step, back to the last
// too-cold one. The tolerance is 1e-7 percentage points. It fails when the
// walk leaves the table, and when the step no longer moves the temperature:
// that search would never end (no solution below 160 °C).
//
// Every result is exactly that search's. Two shortcuts keep it fast without
// changing a bit of it: where the relative humidity is known to fall
// steadily with the temperature, the walk's first too-cold grid point is
// found by bisecting the grid; and the bisection skips the evaluation of
// points that lie provably outside the tolerance band, whose outcome is then
// known from their side of the root.
double TMollierCalculate::TempFromRelHumEnthalpy(double RelHum, double Enthalpy, int* Steps) const {
    const double Phi = RelHum / 100;
    TSearch S;
    S.Phi = Phi;
    S.H = Enthalpy;
    // x falls with T for h > -r0 cpa / cpv (about -1381 kJ/kg), and phi
    // then falls too wherever it is positive; a negative phi never reaches
    // a target above the tolerance.
    const bool Monotone = Phi > 1e-8 && std::isfinite(Phi) && Enthalpy > -1300 && std::isfinite(Enthalpy) &&
                          Pressure > 0 && std::isfinite(Pressure);
    if (!Monotone) {
        return Finish(S, Steps);
    }
    auto Walks = [&](double PhiC) { return PhiC < Phi && !(std::fabs(PhiC - Phi) * 100 <= 1e-7); };
    // Grid points 150 - 10 k for k = 0 .. 20 lie inside the table; the first
    // one where the walk stops is found by bisection over k.
    int Lo = 0;
    int Hi = 21;
    double PhiLoPrev = NAN; // at Lo - 1
    double PhiHi = NAN;     // at Hi
    while (Lo < Hi) {
        const int Mid = (Lo + Hi) / 2;
        const double V = Checked(SearchPhi(150.0 - 10.0 * Mid, Enthalpy));
        if (Walks(V)) {
            Lo = Mid + 1;
            PhiLoPrev = V;
        } else {
            Hi = Mid;
            PhiHi = V;
        }
    }
    if (Lo == 21) {
        // The walk goes on to -60 °C, where the saturation pressure is zero.
        SearchPhi(-60.0, Enthalpy);
    }
    const double Tc = 150.0 - 10.0 * Lo;
    S.Count = Lo + 1;
    if (std::fabs(PhiHi - Phi) * 100 <= 1e-7) {
        if (Steps != nullptr) {
            *Steps = S.Count;
        }
        return Tc;
    }
    // Too cold at Tc: the bisection starts from there.
    S.ColdT = Tc;
    S.ColdPhi = PhiHi;
    S.Step = 5.0;
    S.T = Tc + 5.0;
    if (Lo > 0) {
        Certify(S, Tc, PhiHi, Tc + 10.0, PhiLoPrev);
    }
    return Finish(S, Steps);
}

// Finds an interval (L, U) around the root such that every temperature at
// or below L is too cold and every one at or above U is too warm, beyond the
// tolerance and beyond any rounding of the evaluation. The root is located by
// a safeguarded Newton iteration; both ends are then checked by evaluation.
// When the check fails the search simply evaluates every point.
void TMollierCalculate::Certify(TSearch& S, double A, double PhiA, double B, double PhiB) const {
    constexpr double Tol = 1e-9;    // the tolerance as a fraction
    constexpr double Margin = 1e-12; // far above the evaluation's rounding
    double Fa = PhiA - S.Phi;
    double Fb = PhiB - S.Phi;
    if (!(Fa > 0 && Fb < 0)) {
        return;
    }
    double T = A + (B - A) * Fa / (Fa - Fb);
    double Slope = 0;
    double Delta = B - A;
    // Only the bracket and the final check need exact arithmetic; the
    // iteration itself multiplies by reciprocals and takes the table's slopes
    // from a list.
    for (int I = 0; I < 30; ++I) {
        const int Row = TempRow(T);
        const double PsSlope = FPsSlope[Row];
        const double Ps = SatTable.Rows[Row].Pressure + (T - SatTable.Rows[Row].Temp) * PsSlope;
        const double InvDen = 1 / (cpv * T + r0);
        const double X = (S.H - cpa * T) * InvDen;
        const double InvXe = 1 / (X + Epsilon);
        const double InvPs = 1 / Ps;
        const double G = X * InvXe;
        const double F = Pressure * G * InvPs - S.Phi;
        const double DX = -(cpa * r0 + cpv * S.H) * InvDen * InvDen;
        const double DG = Epsilon * InvXe * InvXe * DX;
        Slope = Pressure * (DG - G * PsSlope * InvPs) * InvPs;
        if (F > 0) {
            A = T;
        } else {
            B = T;
        }
        double Next = Slope < 0 ? T - F / Slope : NAN;
        if (!(Next > A && Next < B)) {
            Next = A + (B - A) / 2;
        }
        Delta = std::fabs(Next - T);
        T = Next;
        // Newton's error after a step of Delta is about Delta^2 times half the
        // curvature over the slope, well under 0.1 / K here; the check of
        // both ends below catches any misjudgement.
        if (Slope < 0 && 0.1 * Delta * Delta < 0.25 * Tol / -Slope) {
            Delta = 0.1 * Delta * Delta;
            break;
        }
    }
    if (!(Slope < 0) || !std::isfinite(T)) {
        return;
    }
    const double Band = Tol / -Slope; // half width of the tolerance band in K
    const double Pad = 2 * Band + 4 * Delta + 1e-12 * std::fabs(T);
    const double L = T - Pad;
    const double U = T + Pad;
    if (!(L > S.ColdT && U < S.ColdT + 10.0)) {
        return;
    }
    if (SearchPhi(L, S.H) > S.Phi + Tol + Margin && SearchPhi(U, S.H) < S.Phi - Tol - Margin) {
        S.Low = L;
        S.High = U;
    }
}

// The search itself from the state S, with the outcome of points outside
// (S.Low, S.High) taken as known.
double TMollierCalculate::Finish(TSearch& S, int* Steps) const {
    auto Stuck = [&S]() {
        Fail("no solution below 160 °C for " + FloatToStr(S.Phi * 100) + " % and " + FloatToStr(S.H) + " kJ/kg");
    };
    for (;;) {
        // Known outcomes. Cold and warm alternate at random here, so the
        // step is written without branches on them.
        while (S.T <= S.Low || S.T >= S.High) {
            ++S.Count;
            const bool Cold = S.T <= S.Low;
            const double Half = S.Step / 2;
            const double Next = Cold ? S.T + Half : S.T - S.Step;
            S.Step = Cold ? Half : S.Step;
            if (Next == S.T) {
                Stuck();
            }
            S.T = Next;
        }
        ++S.Count;
        const double T = S.T;
        const double PhiC = T == S.ColdT ? S.ColdPhi : SearchPhi(T, S.H);
        if (!std::isfinite(PhiC)) {
            Fail("no solution for " + FloatToStr(S.Phi * 100) + " % and " + FloatToStr(S.H) + " kJ/kg");
        }
        if (std::fabs(PhiC - S.Phi) * 100 <= 1e-7) {
            break;
        }
        double Next;
        if (PhiC < S.Phi) {
            Next = T - S.Step;
        } else {
            S.ColdT = T;
            S.ColdPhi = PhiC;
            S.Step = S.Step / 2;
            Next = T + S.Step;
        }
        if (Next == T) {
            Stuck();
        }
        S.T = Next;
    }
    if (Steps != nullptr) {
        *Steps = S.Count;
    }
    return S.T;
}

double TMollierCalculate::SpecHumFromRelHumEnthalpy(double RelHum, double Enthalpy) const {
    return SpecHumFromTempEnthalpy(TempFromRelHumEnthalpy(RelHum, Enthalpy), Enthalpy);
}

double TMollierCalculate::Power(double Flow, double Density, double Enthalpy1, double Enthalpy2) {
    return Flow * Density * (Enthalpy2 - Enthalpy1);
}

double TMollierCalculate::SensiblePower(double Flow, double Density, double Temp1, double Temp2,
                                        double SpecHum1, double SpecHum2) {
    return Flow * Density * (cpa * (Temp2 - Temp1) + cpv * (SpecHum2 * Temp2 - SpecHum1 * Temp1));
}

bool TMollierCalculate::IsCompletePair(int CodeA, int CodeB) {
    return CodeA != CodeB && CodeA >= PROP_TEMP && CodeA <= PROP_ENTHALPY && CodeB >= PROP_TEMP &&
           CodeB <= PROP_ENTHALPY;
}

bool TMollierCalculate::SolveFromPair(int CodeA, int CodeB, TMoistAirState& S) const {
    if (!IsCompletePair(CodeA, CodeB)) {
        return false;
    }
    const int Lo = CodeA < CodeB ? CodeA : CodeB;
    const int Hi = CodeA < CodeB ? CodeB : CodeA;
    // Both free values come from the prescribed pair, never one from the
    // other; results are stored only when both succeed.
    double First = 0;
    double Second = 0;
    switch (Lo * 10 + Hi) {
    case 12:
        First = RelHumFromTempSpecHum(S.Temp, S.SpecHum);
        Second = Enthalpy(S.Temp, S.SpecHum);
        S.RelHum = First;
        S.Enthalpy = Second;
        break;
    case 13:
        First = SpecHumFromTempRelHum(S.Temp, S.RelHum);
        Second = EnthalpyFromTempRelHum(S.Temp, S.RelHum);
        S.SpecHum = First;
        S.Enthalpy = Second;
        break;
    case 14:
        First = SpecHumFromTempEnthalpy(S.Temp, S.Enthalpy);
        Second = RelHumFromTempEnthalpy(S.Temp, S.Enthalpy);
        S.SpecHum = First;
        S.RelHum = Second;
        break;
    case 23:
        First = TempFromSpecHumRelHum(S.SpecHum, S.RelHum);
        Second = EnthalpyFromSpecHumRelHum(S.SpecHum, S.RelHum);
        S.Temp = First;
        S.Enthalpy = Second;
        break;
    case 24:
        First = TempFromSpecHumEnthalpy(S.SpecHum, S.Enthalpy);
        Second = RelHumFromSpecHumEnthalpy(S.SpecHum, S.Enthalpy);
        S.Temp = First;
        S.RelHum = Second;
        break;
    default: // 34
        First = TempFromRelHumEnthalpy(S.RelHum, S.Enthalpy);
        Second = SpecHumFromRelHumEnthalpy(S.RelHum, S.Enthalpy);
        S.Temp = First;
        S.SpecHum = Second;
        break;
    }
    return true;
}

} // namespace psykrona
