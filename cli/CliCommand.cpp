#include "cli/CliCommand.h"

#include "cli/CliOutput.h"

#include "engine/Errors.h"
#include "engine/NumberText.h"

#include <algorithm>

namespace psykrona {

const char* CliProgramFile(TCliProgram Program) {
    switch (Program) {
    case TCliProgram::Files: return "psykrona-cli-files";
    case TCliProgram::Draw: return "psykrona-cli-draw";
    default: return "psykrona-cli";
    }
}

namespace {

// Without Qt the drawing commands are not built, and not listed.
const TCliCommand KCommands[] = {
#ifdef PSYKRONA_CLI_WITH_QT
    {"chart",
     "chart PROJECT OUT.png|OUT.svg [--width W] [--height H] [--min-temp C] [--max-temp C]\n"
     "             [--min-spechum G_PER_KG] [--max-spechum G_PER_KG]\n"
     "             draws the project's Mollier chart (- for an empty project), 1600 x 1200 by default",
     TCliProgram::Draw},
#endif
    {"convert",
     "convert IN OUT.pkx\n"
     "             reads a \".pkx\" or \".pkr\" project and writes it as \".pkx\"",
     TCliProgram::Files},
    {"mix",
     "mix PROJECT POINT_A POINT_B --flow-a M3S --flow-b M3S [--json]\n"
     "             the state of two points' air mixed by their flows",
     TCliProgram::Files},
#ifdef PSYKRONA_CLI_WITH_QT
    {"picture",
     "picture PROJECT OUT\n"
     "             the 680 x 680 chart picture with its title: OUT ending in .jpg gives JPEG,\n"
     "             .png PNG, .svg SVG, any other name a 24-bit BMP (so PLAN.JPG is a bitmap)",
     TCliProgram::Draw},
#endif
#ifdef PSYKRONA_CLI_WITH_QT
    {"print",
     "print PROJECT OUT.pdf [--pages data,chart] [--project T] [--date T] [--signature T]\n"
     "             [--company T]\n"
     "             the printed pages (data page, chart page) as a PDF of A4 pages at 600 dpi",
     TCliProgram::Draw},
#endif
    {"process",
     "process PROJECT POINT --heat-to C | --power KW | --coil-adp C (--leaving-temp C | --bypass F) |\n"
     "             --steam-to-relhum PCT [--steam-enthalpy KJ_PER_KG] | --adiabatic-to-relhum PCT |\n"
     "             --recover-from POINT --efficiency F [--json]\n"
     "             the state one process makes of a point: heating or cooling at constant\n"
     "             humidity ratio (to a temperature or by a power at the project's air flow\n"
     "             and density), a cooling coil, steam or adiabatic humidification, or heat\n"
     "             recovery from another point",
     TCliProgram::Files},
    {"state",
     "state [--pressure KPA] --temp C | --relhum PCT | --spechum G_PER_KG | "
     "--enthalpy KJ_PER_KG [--json]\n"
     "       state [--pressure KPA] --temp C --dewpoint C | --temp C --wetbulb C |\n"
     "             --wetbulb C --relhum PCT [--json]\n"
     "             solves a moist-air state from exactly two of its properties\n"
     "  state --batch [--pressure KPA] < ROWS.csv\n"
     "             solves one state per row: a header naming two of temp, relhum,\n"
     "             spechum, enthalpy (and optionally pressure), then rows with '.'\n"
     "             decimals; writes CSV, and each failed row's number on standard error",
     TCliProgram::Tool},
    {"table",
     "table PROJECT [--format text|csv|json]\n"
     "             lists the points and the power, sensible power and water of\n"
     "             each process, as the main window shows them; CSV and JSON add\n"
     "             each point's dew point, wet bulb, density, specific volume and\n"
     "             vapour pressure, and each process's latent power, sensible\n"
     "             heat ratio and water in kg/h",
     TCliProgram::Files},
};

std::vector<std::pair<std::string, TCliRun>>& Runs() {
    static std::vector<std::pair<std::string, TCliRun>> Registered;
    return Registered;
}

} // namespace

std::span<const TCliCommand> TCliCommands::All() { return KCommands; }

const TCliCommand* TCliCommands::Find(const std::string& Name) {
    for (const TCliCommand& C : KCommands) {
        if (Name == C.Name) {
            return &C;
        }
    }
    return nullptr;
}

TCliRun TCliCommands::FindRun(const std::string& Name) {
    for (const auto& [Registered, Run] : Runs()) {
        if (Name == Registered) {
            return Run;
        }
    }
    return nullptr;
}

void TCliCommands::Register(const char* Name, TCliRun Run) { Runs().emplace_back(Name, Run); }

TCliArgs::TCliArgs(const std::vector<std::string>& Args, const std::vector<std::string>& ValueOptions,
                   const std::vector<std::string>& Flags) {
    auto Known = [](const std::vector<std::string>& List, const std::string& S) {
        return std::find(List.begin(), List.end(), S) != List.end();
    };
    for (size_t I = 0; I < Args.size(); ++I) {
        const std::string& A = Args[I];
        if (A.size() > 2 && A.compare(0, 2, "--") == 0) {
            if (Known(ValueOptions, A)) {
                if (I + 1 >= Args.size()) {
                    throw EUsageError("option " + A + " needs a value");
                }
                if (Has(A)) {
                    throw EUsageError("option " + A + " is given twice");
                }
                FValues.emplace_back(A, Args[++I]);
            } else if (Known(Flags, A)) {
                FFlags.push_back(A);
            } else {
                throw EUsageError("unknown option " + Echoed(A));
            }
        } else {
            FPositional.push_back(A);
        }
    }
}

bool TCliArgs::Has(const std::string& Option) const {
    if (std::find(FFlags.begin(), FFlags.end(), Option) != FFlags.end()) {
        return true;
    }
    return std::any_of(FValues.begin(), FValues.end(), [&](const auto& V) { return V.first == Option; });
}

std::string TCliArgs::Value(const std::string& Option) const {
    for (const auto& V : FValues) {
        if (V.first == Option) {
            return V.second;
        }
    }
    return "";
}

double TCliArgs::Number(const std::string& Option) const {
    try {
        return StrToFloat(Value(Option));
    } catch (const EConvertError&) {
        // The engine's message holds the whole value, which may be anything.
        throw EUsageError(Option + ": '" + Echoed(Value(Option)) + "' is not a valid floating point value");
    }
}

} // namespace psykrona
