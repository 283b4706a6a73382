#include "engine/PointTable.h"

#include "engine/Errors.h"
#include "engine/NumberText.h"

#include <cmath>
#include <limits>

namespace psykrona {

namespace {

std::string Csv(double V) {
    return std::isfinite(V) ? ShortestText(V) : "";
}

void AppendHex(std::string& Out, unsigned char C) {
    constexpr std::string_view Digits = "0123456789abcdef";
    Out += "\\x";
    Out += Digits[C >> 4U];
    Out += Digits[C & 0xFU];
}

} // namespace

std::vector<TTableProcess> TableProcesses(const TMain& Doc) {
    std::vector<TTableProcess> Result;
    for (std::size_t K = 1; K < Doc.Points.size(); ++K) {
        const TMollierPoint& Q = Doc.Points[K - 1];
        const TMollierPoint& P = Doc.Points[K];
        if (Q.LineToNext) {
            Result.push_back({K - 1, K, Doc.Power(Q.Enthalpy, P.Enthalpy),
                              Doc.SensiblePower(Q.Temp, P.Temp, Q.SpecHum, P.SpecHum),
                              Doc.Water(Q.SpecHum, P.SpecHum)});
        }
    }
    return Result;
}

TMoistAirState StateOf(const TMollierPoint& P) {
    return {P.Temp, P.SpecHum, P.RelHum, P.Enthalpy};
}

TStateProperties PropertiesOrNone(double Pressure, const TMoistAirState& S) {
    constexpr double None = std::numeric_limits<double>::quiet_NaN();
    TStateProperties P{None, None, None, None, None};
    try {
        P = TMollierProcess(Pressure).Properties(S.Temp, S.SpecHum);
    } catch (const ECalculationError&) {
    }
    return P;
}

const char* PrescribedName(int Code) {
    switch (Code) {
    case PROP_TEMP: return "temp";
    case PROP_SPECHUM: return "spechum";
    case PROP_RELHUM: return "relhum";
    case PROP_ENTHALPY: return "enthalpy";
    default: return "";
    }
}

std::string ControlEscaped(std::string_view Text, std::string_view Keep) {
    std::string Out;
    Out.reserve(Text.size());
    for (std::size_t I = 0; I < Text.size(); ++I) {
        const auto C = static_cast<unsigned char>(Text[I]);
        if ((C < 0x20 || C == 0x7F) && Keep.find(static_cast<char>(C)) == std::string_view::npos) {
            AppendHex(Out, C);
        } else if (C == 0xC2 && I + 1 < Text.size() && static_cast<unsigned char>(Text[I + 1]) >= 0x80 &&
                   static_cast<unsigned char>(Text[I + 1]) <= 0x9F) {
            // U+0080 to U+009F: terminals take U+009B as the start of an
            // escape sequence.
            AppendHex(Out, C);
            AppendHex(Out, static_cast<unsigned char>(Text[++I]));
        } else {
            Out += static_cast<char>(C);
        }
    }
    return Out;
}

std::string CsvCell(std::string_view Text) {
    std::string Cell = ControlEscaped(Text, "\t\r\n");
    const bool Formula = !Cell.empty() && std::string_view("=+-@").find(Cell.front()) != std::string_view::npos;
    if (!Formula && Cell.find_first_of(",\"\r\n") == std::string::npos) {
        return Cell;
    }
    std::string Out = Formula ? "\"'" : "\"";
    for (const char C : Cell) {
        Out += C;
        if (C == '"') {
            Out += '"';
        }
    }
    return Out + "\"";
}

std::string PointTableCsv(const TMain& Doc) {
    std::string Out =
        "number,name,temp_c,relhum_pct,spechum_g_per_kg,enthalpy_kj_per_kg,prescribed1,prescribed2,"
        "power_kw,sensible_power_kw,water_l_per_min,latent_power_kw,shr,water_kg_per_h,dewpoint_c,wetbulb_c,"
        "moist_air_density_kg_per_m3,specific_volume_m3_per_kg,vapour_pressure_kpa\r\n";
    auto Field = [&Out](const std::string& Text) {
        Out += ',';
        Out += Text;
    };
    const auto Procs = TableProcesses(Doc);
    std::size_t NextProcess = 0;
    for (std::size_t I = 0; I < Doc.Points.size(); ++I) {
        const TMollierPoint& P = Doc.Points[I];
        Out += std::to_string(P.Number);
        for (const std::string& Text : {CsvCell(P.Name), ShortestText(P.Temp), ShortestText(P.RelHum),
                                        ShortestText(P.SpecHum * 1000), ShortestText(P.Enthalpy)}) {
            Field(Text);
        }
        Field(PrescribedName(P.Prescribed1));
        Field(PrescribedName(P.Prescribed2));
        if (NextProcess < Procs.size() && Procs[NextProcess].To == I) {
            const TTableProcess& R = Procs[NextProcess++];
            const TProcessQuantities Q = TMollierProcess::Quantities(StateOf(Doc.Points[R.From]), StateOf(P),
                                                                     Doc.AirFlow, Doc.Density);
            for (const std::string& Text : {ShortestText(R.Power), ShortestText(R.SensiblePower),
                                            ShortestText(R.Water), Csv(Q.LatentPower), Csv(Q.SensibleHeatRatio),
                                            Csv(Q.WaterPerHour)}) {
                Field(Text);
            }
        } else {
            Out += ",,,,,,";
        }
        const TStateProperties S = PropertiesOrNone(Doc.Pressure, StateOf(P));
        for (const double V : {S.DewPoint, S.WetBulb, S.MoistAirDensity, S.SpecificVolume, S.VapourPressure}) {
            Field(Csv(V));
        }
        Out += "\r\n";
    }
    return Out;
}

} // namespace psykrona
