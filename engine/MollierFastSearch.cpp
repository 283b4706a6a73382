// The calculator's speed-ups that must not change a bit of its results: the
// bucket index that finds a temperature's or a pressure's row of the
// saturation table, and the relative-humidity-and-enthalpy search, whose
// result is exactly that of the plain walk it describes.
#include "engine/MollierCalculate.h"

#include "engine/CalculationChecks.h"
#include "engine/NumberText.h"

#include <bit>
#include <cmath>

namespace psykrona {

using calculation::Checked;
using calculation::Fail;

namespace {

// Pressures are positive, so the bits of the double (exponent and the top
// four mantissa bits) rise with the value: a cheap logarithmic bucket key.
constexpr int KPressureKeyShift = 48;

std::uint64_t PressureKey(double P) { return std::bit_cast<std::uint64_t>(P) >> KPressureKeyShift; }

} // namespace

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

} // namespace psykrona
