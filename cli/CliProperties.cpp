#include "cli/CliProperties.h"

#include "engine/Errors.h"
#include "engine/MollierProcess.h"
#include "engine/NumberText.h"

#include <cmath>
#include <iostream>
#include <sstream>

namespace psykrona {

namespace {

std::string Json(double V) {
    return std::isfinite(V) ? ShortestText(V) : "null";
}
std::string Text(double V, int Decimals) {
    return std::isfinite(V) ? FormatFixed(V, Decimals) : "-";
}

} // namespace

std::string PropertiesJson(double Pressure, const TMoistAirState& S) {
    const TStateProperties P = PropertiesOrNone(Pressure, S);
    std::ostringstream Out;
    Out << ",\"dewpoint\":" << Json(P.DewPoint) << ",\"wetbulb\":" << Json(P.WetBulb)
        << ",\"moist_air_density\":" << Json(P.MoistAirDensity)
        << ",\"specific_volume\":" << Json(P.SpecificVolume)
        << ",\"vapour_pressure\":" << Json(P.VapourPressure);
    return Out.str();
}

std::string PropertiesText(double Pressure, const TMoistAirState& S) {
    const TStateProperties P = PropertiesOrNone(Pressure, S);
    std::ostringstream Out;
    Out << "Dew point          " << Text(P.DewPoint, 1) << " °C\n"
        << "Wet bulb           " << Text(P.WetBulb, 1) << " °C\n"
        << "Moist-air density  " << Text(P.MoistAirDensity, 3) << " kg/m³\n"
        << "Specific volume    " << Text(P.SpecificVolume, 3) << " m³/kg\n"
        << "Vapour pressure    " << Text(P.VapourPressure, 3) << " kPa\n";
    return Out.str();
}

std::string ProcessJson(const TMain& Doc, const TMollierPoint& Q, const TMollierPoint& P) {
    const TProcessQuantities R =
        TMollierProcess::Quantities(StateOf(Q), StateOf(P), Doc.AirFlow, Doc.Density);
    std::ostringstream Out;
    Out << ",\"latent_power_kw\":" << Json(R.LatentPower) << ",\"shr\":" << Json(R.SensibleHeatRatio)
        << ",\"water_kg_per_h\":" << Json(R.WaterPerHour);
    return Out.str();
}

void PrintState(double Pressure, const TMoistAirState& S, bool Json) {
    if (Json) {
        std::cout << "{\"pressure\":" << ShortestText(Pressure) << ",\"temp\":" << ShortestText(S.Temp)
                  << ",\"relhum\":" << ShortestText(S.RelHum) << ",\"spechum\":" << ShortestText(S.SpecHum)
                  << ",\"enthalpy\":" << ShortestText(S.Enthalpy) << PropertiesJson(Pressure, S) << "}\n";
    } else {
        std::cout << "Pressure           " << FloatToStr(Pressure) << " kPa\n"
                  << "Temperature        " << FormatFixed(S.Temp, 1) << " °C\n"
                  << "Relative humidity  " << FormatFixed(S.RelHum, 1) << " %\n"
                  << "Humidity ratio     " << FormatFixed(S.SpecHum * 1000, 2) << " g/kg\n"
                  << "Enthalpy           " << FormatFixed(S.Enthalpy, 1) << " kJ/kg\n"
                  << PropertiesText(Pressure, S);
    }
}

const TMollierPoint& PointArgument(const TMain& Doc, const std::string& Text) {
    std::size_t Used = 0;
    int N = 0;
    try {
        N = std::stoi(Text, &Used);
    } catch (const std::exception&) {
        Used = 0;
    }
    if (Used != Text.size() || N < 1 || N > Doc.PointCount()) {
        throw EUsageError("'" + Text + "' is not a point of the project (1 to " +
                          std::to_string(Doc.PointCount()) + ")");
    }
    return Doc.Points[static_cast<std::size_t>(N - 1)];
}

bool SolveDewOrWetBulb(const TCliArgs& A, double Pressure, int Others, TMoistAirState& S) {
    const bool Dew = A.Has("--dewpoint");
    const bool Wet = A.Has("--wetbulb");
    if (!Dew && !Wet) {
        return false;
    }
    const bool WithTemp = A.Has("--temp") && Others == 1;
    const bool WithRelHum = Wet && A.Has("--relhum") && Others == 1;
    if ((Dew && Wet) || !(WithTemp || WithRelHum)) {
        throw EUsageError("give --dewpoint with --temp, or --wetbulb with --temp or with --relhum");
    }
    const TMollierProcess P(Pressure);
    if (Dew) {
        S = P.FromTempDewPoint(A.Number("--temp"), A.Number("--dewpoint"));
    } else if (WithTemp) {
        S = P.FromTempWetBulb(A.Number("--temp"), A.Number("--wetbulb"));
    } else {
        S = P.FromWetBulbRelHum(A.Number("--wetbulb"), A.Number("--relhum"));
    }
    return true;
}

} // namespace psykrona
