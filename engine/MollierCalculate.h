#pragma once

#include "engine/PressureMatrix.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace psykrona {

// Codes of the prescribed properties of a state point.
enum TPropertyCode : int {
    PROP_NONE = 0,
    PROP_TEMP = 1,
    PROP_SPECHUM = 2,
    PROP_RELHUM = 3,
    PROP_ENTHALPY = 4,
};

// The four properties of one moist-air state, in the calculator's units.
struct TMoistAirState {
    double Temp = 0;     // °C
    double SpecHum = 0;  // kg/kg
    double RelHum = 0;   // %
    double Enthalpy = 0; // kJ/kg
};

// Every moist-air formula of the program: the relations between dry-bulb
// temperature, humidity ratio, relative humidity and enthalpy at the total
// pressure `Pressure`, and the power of a process. Units: °C, kg/kg, % (0 to
// 100), kJ/kg, kPa, m³/s, kg/m³, kW. Any operation without a result throws
// ECalculationError.
class TMollierCalculate {
public:
    static constexpr double cpa = 1.005; // dry air, kJ/(kg K)
    static constexpr double cpv = 1.82;  // water vapour, kJ/(kg K)
    static constexpr double r0 = 2501;   // latent heat at 0 °C, kJ/kg
    static constexpr double Epsilon = 0.622;
    static constexpr double DefaultPressure = 101.3;

    // The one shared calculator. Whoever calculates next sets `Pressure`.
    static TMollierCalculate& GetInstance();

    TMollierCalculate();
    TMollierCalculate(const TMollierCalculate&) = delete;
    TMollierCalculate& operator=(const TMollierCalculate&) = delete;

    const TSatPressure SatTable;
    double Pressure = DefaultPressure; // kPa

    static double Interpolate(double X1, double X2, double X, double Y1, double Y2) {
        return (X - X1) / (X2 - X1) * (Y2 - Y1) + Y1;
    }
    double SatPressure(double Temp) const;
    double SatTemp(double Pressure) const;

    double Enthalpy(double Temp, double SpecHum) const;
    double SpecHumFromTempRelHum(double Temp, double RelHum) const;
    double EnthalpyFromTempRelHum(double Temp, double RelHum) const;
    double TempFromSpecHumRelHum(double SpecHum, double RelHum) const;
    double EnthalpyFromSpecHumRelHum(double SpecHum, double RelHum) const;
    double SpecHumFromTempEnthalpy(double Temp, double Enthalpy) const;
    double RelHumFromTempSpecHum(double Temp, double SpecHum) const;
    double RelHumFromTempEnthalpy(double Temp, double Enthalpy) const;
    double TempFromSpecHumEnthalpy(double SpecHum, double Enthalpy) const;
    double RelHumFromSpecHumEnthalpy(double SpecHum, double Enthalpy) const;
    // Searched, not closed form. Steps, when given, receives the number of
    // evaluations the search made (each step of the walk counts once).
    double TempFromRelHumEnthalpy(double RelHum, double Enthalpy, int* Steps = nullptr) const;
    double SpecHumFromRelHumEnthalpy(double RelHum, double Enthalpy) const;

    static double Power(double Flow, double Density, double Enthalpy1, double Enthalpy2);
    static double SensiblePower(double Flow, double Density, double Temp1, double Temp2, double SpecHum1,
                                double SpecHum2);

    // Whether CodeA and CodeB (either order) name two different properties.
    static bool IsCompletePair(int CodeA, int CodeB);

    // Computes the two free properties of State from the two prescribed
    // ones named by CodeA and CodeB (either order), by the operations of
    // that pair; the prescribed values stay untouched. Returns false, and
    // changes nothing, when the codes are not a complete pair.
    bool SolveFromPair(int CodeA, int CodeB, TMoistAirState& State) const;

private:
    // The search and the row index below live in MollierFastSearch.cpp.
    // State of the relative-humidity-and-enthalpy search.
    struct TSearch {
        double Phi = 0; // target, as a fraction
        double H = 0;
        double T = 150.0;
        double Step = 10.0;
        int Count = 0;
        double ColdT = std::numeric_limits<double>::quiet_NaN(); // the last too-cold point and its result
        double ColdPhi = 0;
        double Low = -std::numeric_limits<double>::infinity(); // outcomes known at or below / at or above
        double High = std::numeric_limits<double>::infinity();
    };
    double SearchPhi(double T, double H) const;
    void Certify(TSearch& S, double A, double PhiA, double B, double PhiB) const;
    double Finish(TSearch& S, int* Steps) const;

    // Row lookups: the lower row of the bracketing pair. Rather than scan
    // from the first row, a bucket index lands on or just below the row.
    int TempRow(double Temp) const;
    int PressureRow(double Pressure) const;

    static constexpr double KMinTemp = -60;
    static constexpr int KTempBuckets = 220; // whole degrees from -60 to 160
    std::array<std::uint8_t, KTempBuckets> FTempIndex{};
    std::array<double, TSatPressure::RowCount> FPsSlope{}; // kPa/K of each row pair
    std::uint64_t FPressureKeyMin = 0;
    std::vector<std::uint8_t> FPressureIndex;
};

} // namespace psykrona
