// psykrona-cli table: a project's points and processes as the main window
// lists them, as text, CSV or JSON for reports and spreadsheets.
#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliProject.h"
#include "cli/CliProperties.h"

#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "engine/PointTable.h"

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace psykrona {
namespace {

// Prescribed values exactly as entered, the others rounded, as in the
// main window's point blocks.
std::string Shown(const TMollierPoint& P, int Code, double Value, int Decimals) {
    return P.IsPrescribed(Code) ? FloatToStr(Value) : FormatFixed(Value, Decimals);
}

std::string JsonString(const std::string& S) {
    std::string Out = "\"";
    for (const char C : S) {
        const auto U = static_cast<unsigned char>(C);
        if (C == '"' || C == '\\') {
            Out += '\\';
            Out += C;
        } else if (U < 0x20) {
            char Buf[8];
            std::snprintf(Buf, sizeof Buf, "\\u%04x", U);
            Out += Buf;
        } else {
            Out += C;
        }
    }
    return Out + "\"";
}

void PrintText(const TMain& Doc) {
    std::cout << "Air flow " << FloatToStr(Doc.AirFlow) << " m³/s, density " << FormatFixed(Doc.Density, 2)
              << " kg/m³, pressure " << FloatToStr(Doc.Pressure * 10) << " mbar\n\n";
    std::cout << std::left << std::setw(5) << "No." << std::setw(24) << "Name" << std::right << std::setw(10)
              << "t °C" << std::setw(10) << "RH %" << std::setw(10) << "x g/kg" << std::setw(10) << "h kJ/kg"
              << "\n";
    const auto Procs = TableProcesses(Doc);
    std::size_t NextProcess = 0;
    for (std::size_t I = 0; I < Doc.Points.size(); ++I) {
        const TMollierPoint& P = Doc.Points[I];
        // Prescribed values carry a star.
        auto Cell = [&](int Code, double V, int Decimals) {
            return Shown(P, Code, V, Decimals) + (P.IsPrescribed(Code) ? "*" : " ");
        };
        std::cout << std::left << std::setw(5) << P.Number << std::setw(24) << Escaped(P.Name) << std::right
                  << std::setw(11) << Cell(PROP_TEMP, P.Temp, 1) << std::setw(10)
                  << Cell(PROP_RELHUM, P.RelHum, 1) << std::setw(10)
                  << Cell(PROP_SPECHUM, P.SpecHum * 1000, 2) << std::setw(10)
                  << Cell(PROP_ENTHALPY, P.Enthalpy, 1) << "\n";
        if (NextProcess < Procs.size() && Procs[NextProcess].From == I) {
            const TTableProcess& R = Procs[NextProcess++];
            std::cout << "     " << P.Number << " -> " << Doc.Points[R.To].Number << ": power "
                      << FormatFixed(R.Power, 1) << " kW, sensible power " << FormatFixed(R.SensiblePower, 1)
                      << " kW, water " << FormatFixed(R.Water, 2) << " l/min\n";
        }
    }
    std::cout << "\n* prescribed\n";
}

// JSON has no text for a value that is not finite; such a value, from
// absurd but finite inputs, is null.
std::string JsonNumber(double Value) {
    return std::isfinite(Value) ? ShortestText(Value) : "null";
}

void PrintJson(const TMain& Doc) {
    std::ostringstream Out;
    Out << "{\"airflow\":" << JsonNumber(Doc.AirFlow) << ",\"density\":" << JsonNumber(Doc.Density)
        << ",\"density_temp\":" << JsonNumber(Doc.DensityTemp) << ",\"pressure\":" << JsonNumber(Doc.Pressure)
        << ",\"points\":[";
    bool First = true;
    for (const TMollierPoint& P : Doc.Points) {
        Out << (First ? "" : ",") << "{\"number\":" << P.Number << ",\"name\":" << JsonString(P.Name)
            << ",\"temp\":" << JsonNumber(P.Temp) << ",\"relhum\":" << JsonNumber(P.RelHum)
            << ",\"spechum\":" << JsonNumber(P.SpecHum) << ",\"enthalpy\":" << JsonNumber(P.Enthalpy)
            << ",\"prescribed\":[" << JsonString(PrescribedName(P.Prescribed1)) << ","
            << JsonString(PrescribedName(P.Prescribed2)) << "],\"show_in_chart\":"
            << (P.ShowInChart ? "true" : "false") << ",\"line_to_next\":" << (P.LineToNext ? "true" : "false")
            << PropertiesJson(Doc.Pressure, StateOf(P)) << "}";
        First = false;
    }
    // "from" and "to" are the points' numbers; "from_index" and "to_index"
    // their places in "points", which tell points with one number apart.
    Out << "],\"processes\":[";
    First = true;
    for (const TTableProcess& R : TableProcesses(Doc)) {
        Out << (First ? "" : ",") << "{\"from\":" << Doc.Points[R.From].Number
            << ",\"to\":" << Doc.Points[R.To].Number << ",\"from_index\":" << R.From
            << ",\"to_index\":" << R.To << ",\"power\":" << JsonNumber(R.Power)
            << ",\"sensible_power\":" << JsonNumber(R.SensiblePower) << ",\"water\":" << JsonNumber(R.Water)
            << ProcessJson(Doc, Doc.Points[R.From], Doc.Points[R.To]) << "}";
        First = false;
    }
    Out << "]}\n";
    std::cout << Out.str();
}

int RunTable(const std::vector<std::string>& Args) {
    const TCliArgs A(Args, {"--format"}, {});
    if (A.Positional().size() != 1) {
        throw EUsageError("give one project file (or - for an empty project)");
    }
    const std::string Format = A.Has("--format") ? A.Value("--format") : "text";
    if (Format != "text" && Format != "csv" && Format != "json") {
        throw EUsageError("--format must be text, csv or json");
    }
    TMain Doc;
    LoadCliProject(A.Positional()[0], Doc);
    if (Format == "csv") {
        std::cout << PointTableCsv(Doc);
    } else if (Format == "json") {
        PrintJson(Doc);
    } else {
        PrintText(Doc);
    }
    return 0;
}

const TCliRegistration Registration("table", &RunTable);

} // namespace
} // namespace psykrona
