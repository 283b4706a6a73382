#pragma once

#include "engine/Errors.h"
#include "engine/MollierCalculate.h"

namespace psykrona {

class TMain;

// A result past saturation (above 100 %) or below dry air (below 0 g/kg):
// the two refusals the point editor also makes, told apart so that windows
// can show the editor's own messages.
class EPastSaturation : public ECalculationError {
public:
    using ECalculationError::ECalculationError;
};
class EBelowDryAir : public ECalculationError {
public:
    using ECalculationError::ECalculationError;
};

// The further properties of one moist-air state.
struct TStateProperties {
    double DewPoint = 0;        // °C
    double WetBulb = 0;         // °C, thermodynamic
    double MoistAirDensity = 0; // kg/m³ of moist air
    double SpecificVolume = 0;  // m³ per kg of dry air
    double VapourPressure = 0;  // kPa
};

// The quantities of a process between two states at an air flow and density.
struct TProcessQuantities {
    double Power = 0;             // kW, total
    double SensiblePower = 0;     // kW
    double LatentPower = 0;       // kW, total minus sensible
    double SensibleHeatRatio = 0; // sensible / total; NaN when the total is 0
    double WaterPerHour = 0;      // kg/h, positive when water is added
};

// The engineer's tools beyond the four properties: dew point, wet bulb,
// density, the air-handling processes (heating and cooling, cooling coil,
// steam and adiabatic humidification, heat recovery) and the mixing of two
// streams. Every result is a complete state solved by the shared calculator
// at this object's pressure, which each operation sets on the calculator
// first. Requests without an answer (past saturation, below 0 g/kg, outside
// the saturation table, non-finite input) throw ECalculationError with a
// message the user can read.
class TMollierProcess {
public:
    static constexpr double Ra = 0.287055;               // dry air, kJ/(kg K)
    static constexpr double Rv = 0.461520;               // water vapour, kJ/(kg K)
    static constexpr double ZeroCelsius = 273.15;        // K
    static constexpr double DefaultSteamEnthalpy = 2676; // kJ/kg, saturated steam at 100 °C

    explicit TMollierProcess(double Pressure);

    double Pressure() const { return FPressure; }

    // Properties of a state at temperature t (°C) and humidity ratio x (kg/kg).
    double VapourPressure(double SpecHum) const;
    double DewPoint(double SpecHum) const;
    double WetBulb(double Temp, double SpecHum) const;
    double MoistAirDensity(double Temp, double SpecHum) const;
    double SpecificVolume(double Temp, double SpecHum) const;
    TStateProperties Properties(double Temp, double SpecHum) const;

    // States fixed by other pairs than the point editor's four properties.
    TMoistAirState FromTempDewPoint(double Temp, double DewPoint) const;
    TMoistAirState FromTempWetBulb(double Temp, double WetBulb) const;
    TMoistAirState FromWetBulbRelHum(double WetBulb, double RelHum) const;

    // Heating or cooling at constant humidity ratio.
    TMoistAirState HeatToTemp(const TMoistAirState& In, double Temp) const;
    // By Power kW given to an air stream of Flow m³/s at Density kg/m³.
    TMoistAirState HeatByPower(const TMoistAirState& In, double Power, double Flow, double Density) const;
    // Cooling coil with apparatus dew point Adp: the leaving air lies on the
    // straight line (in x and h) from the entering air to saturation at Adp,
    // a share BypassFactor of the way from Adp. A coil whose Adp is at or
    // above the entering dew point only cools, at constant x, to the
    // temperature the bypass factor gives.
    TMoistAirState CoilByBypass(const TMoistAirState& In, double Adp, double BypassFactor) const;
    TMoistAirState CoilToTemp(const TMoistAirState& In, double Adp, double LeavingTemp) const;
    // Steam humidification: h rises by the added water times SteamEnthalpy.
    TMoistAirState SteamToSpecHum(const TMoistAirState& In, double SpecHum,
                                  double SteamEnthalpy = DefaultSteamEnthalpy) const;
    TMoistAirState SteamToRelHum(const TMoistAirState& In, double RelHum,
                                 double SteamEnthalpy = DefaultSteamEnthalpy) const;
    // Adiabatic (evaporative) humidification at constant enthalpy.
    TMoistAirState AdiabaticToSpecHum(const TMoistAirState& In, double SpecHum) const;
    TMoistAirState AdiabaticToRelHum(const TMoistAirState& In, double RelHum) const;
    // Heat recovery from Extract with a temperature efficiency 0..1, at
    // constant humidity ratio: t = t_in + efficiency (t_extract - t_in).
    TMoistAirState HeatRecovery(const TMoistAirState& In, const TMoistAirState& Extract,
                                double Efficiency) const;
    // Adiabatic mixing of two streams by their dry-air mass flows (any unit).
    TMoistAirState Mix(const TMoistAirState& A, double MassA, const TMoistAirState& B, double MassB) const;

    // Power, latent power, sensible heat ratio and water of the process from
    // state 1 to state 2 at an air flow (m³/s) and density (kg/m³).
    static TProcessQuantities Quantities(const TMoistAirState& S1, const TMoistAirState& S2, double Flow,
                                         double Density);

    // The density the project's rule gives an air stream at Temp: the normal
    // 1.2 kg/m³, or in real-density mode the real density at the project's
    // pressure.
    static double StreamDensity(const TMain& Doc, double Temp);

    // Barometric pressure (kPa) at an altitude (m) by the standard
    // atmosphere: 101.325 (1 - 2.25577e-5 z)^5.2559, for -500 to 11000 m.
    static double PressureFromAltitude(double Altitude);

private:
    TMollierCalculate& Calc() const;
    // A state from t and x, refused past saturation and below 0 g/kg.
    TMoistAirState Solved(double Temp, double SpecHum) const;
    double SatSpecHum(double Temp) const;

    double FPressure;
};

} // namespace psykrona
