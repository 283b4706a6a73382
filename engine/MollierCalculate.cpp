#include "engine/MollierCalculate.h"

#include "engine/CalculationChecks.h"
#include "engine/NumberText.h"

#include <cmath>
#include <string>

namespace psykrona {

using calculation::Checked;
using calculation::Div;
using calculation::Fail;

TMollierCalculate& TMollierCalculate::GetInstance() {
    static TMollierCalculate Instance;
    return Instance;
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
        // SpecHumFromRelHumEnthalpy is this search followed by
        // SpecHumFromTempEnthalpy; the search runs once.
        First = TempFromRelHumEnthalpy(S.RelHum, S.Enthalpy);
        Second = SpecHumFromTempEnthalpy(First, S.Enthalpy);
        S.Temp = First;
        S.SpecHum = Second;
        break;
    }
    return true;
}

} // namespace psykrona
