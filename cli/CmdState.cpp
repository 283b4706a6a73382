// psykrona-cli state: one moist-air state from two of its four properties,
// solved as the point editor solves it.
#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliProperties.h"
#include "cli/CmdStateBatch.h"

#include "engine/Errors.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace psykrona {
namespace {

int RunState(const std::vector<std::string>& Args) {
    if (std::find(Args.begin(), Args.end(), "--batch") != Args.end()) {
        return RunStateBatch(Args);
    }
    const TCliArgs A(Args, {"--pressure", "--temp", "--relhum", "--spechum", "--enthalpy", "--dewpoint", "--wetbulb"},
                     {"--json"});
    if (!A.Positional().empty()) {
        throw EUsageError("unexpected argument '" + Echoed(A.Positional().front()) + "'");
    }
    struct TGiven {
        const char* Option;
        int Code;
    };
    const TGiven Options[] = {{"--temp", PROP_TEMP},
                              {"--spechum", PROP_SPECHUM},
                              {"--relhum", PROP_RELHUM},
                              {"--enthalpy", PROP_ENTHALPY}};
    TMoistAirState S;
    int Codes[2] = {PROP_NONE, PROP_NONE};
    int Count = 0;
    for (const TGiven& G : Options) {
        if (!A.Has(G.Option)) {
            continue;
        }
        const double V = A.Number(G.Option);
        switch (G.Code) {
        case PROP_TEMP: S.Temp = V; break;
        case PROP_SPECHUM: S.SpecHum = V / 1000; break; // typed in g/kg
        case PROP_RELHUM: S.RelHum = V; break;
        default: S.Enthalpy = V; break;
        }
        if (Count < 2) {
            Codes[Count] = G.Code;
        }
        ++Count;
    }
    TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    Calc.Pressure = A.Has("--pressure") ? A.Number("--pressure") : TMollierCalculate::DefaultPressure;
    // Without air there is no humidity ratio; the calculator would name the
    // humidity ratio for what is the pressure's fault.
    if (!(Calc.Pressure > 0) || !std::isfinite(Calc.Pressure)) {
        throw EUsageError("--pressure must be a barometric pressure above 0 kPa, not '" +
                          Echoed(A.Value("--pressure")) + "'");
    }
    if (SolveDewOrWetBulb(A, Calc.Pressure, Count, S)) {
        Codes[0] = PROP_TEMP;
        Codes[1] = PROP_SPECHUM;
        Count = 2;
    }
    if (Count != 2) {
        throw EUsageError("give exactly two of --temp, --relhum, --spechum and --enthalpy (" +
                          std::to_string(Count) + " given)");
    }
    Calc.SolveFromPair(Codes[0], Codes[1], S);

    // The point editor refuses these results; so does the command, after
    // showing them, since a script must not take them for a valid state.
    bool Plausible = true;
    std::string Problems;
    if (S.RelHum > 100) {
        Problems += "The relative humidity must not be above 100%\n";
        Plausible = false;
    }
    if (S.SpecHum < 0) {
        Problems += "The humidity ratio must not be below 0 g/kg\n";
        Plausible = false;
    }
    if (A.Has("--json")) {
        std::cout << "{\"pressure\":" << ShortestText(Calc.Pressure) << ",\"temp\":" << ShortestText(S.Temp)
                  << ",\"relhum\":" << ShortestText(S.RelHum) << ",\"spechum\":" << ShortestText(S.SpecHum)
                  << ",\"enthalpy\":" << ShortestText(S.Enthalpy) << PropertiesJson(Calc.Pressure, S) << "}\n";
    } else {
        std::cout << "Pressure           " << FloatToStr(Calc.Pressure) << " kPa\n"
                  << "Temperature        " << FormatFixed(S.Temp, 1) << " °C\n"
                  << "Relative humidity  " << FormatFixed(S.RelHum, 1) << " %\n"
                  << "Humidity ratio     " << FormatFixed(S.SpecHum * 1000, 2) << " g/kg\n"
                  << "Enthalpy           " << FormatFixed(S.Enthalpy, 1) << " kJ/kg\n"
                  << PropertiesText(Calc.Pressure, S);
    }
    if (!Plausible) {
        std::cerr << "psykrona-cli state: " << Problems;
        return 1;
    }
    return 0;
}

const TCliRegistration Registration("state", &RunState);

} // namespace
} // namespace psykrona
