// psykrona-cli process: the state that one air-handling process makes of a
// project's point, at the project's pressure, air flow and density.
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliProperties.h"

#include "engine/MollierProcess.h"

namespace psykrona {
namespace {

int RunProcess(const std::vector<std::string>& Args) {
    const TCliArgs A(Args,
                     {"--heat-to", "--power", "--coil-adp", "--leaving-temp", "--bypass", "--steam-to-relhum",
                      "--steam-enthalpy", "--adiabatic-to-relhum", "--recover-from", "--efficiency"},
                     {"--json"});
    if (A.Positional().size() != 2) {
        throw EUsageError("give a project file and the number of its point");
    }
    const char* Processes[] = {
        "--heat-to", "--power", "--coil-adp", "--steam-to-relhum", "--adiabatic-to-relhum", "--recover-from"};
    int Given = 0;
    for (const char* P : Processes) {
        Given += A.Has(P) ? 1 : 0;
    }
    if (Given != 1) {
        throw EUsageError("give exactly one of --heat-to, --power, --coil-adp, --steam-to-relhum, "
                          "--adiabatic-to-relhum and --recover-from");
    }
    TMain Doc;
    LoadCliProject(A.Positional()[0], Doc);
    const TMoistAirState In = StateOf(PointArgument(Doc, A.Positional()[1]));
    const TMollierProcess P(Doc.Pressure);
    TMoistAirState Out;
    if (A.Has("--heat-to")) {
        Out = P.HeatToTemp(In, A.Number("--heat-to"));
    } else if (A.Has("--power")) {
        Out = P.HeatByPower(In, A.Number("--power"), Doc.AirFlow, Doc.Density);
    } else if (A.Has("--coil-adp")) {
        if (A.Has("--leaving-temp") == A.Has("--bypass")) {
            throw EUsageError("--coil-adp needs one of --leaving-temp and --bypass");
        }
        Out = A.Has("--bypass") ? P.CoilByBypass(In, A.Number("--coil-adp"), A.Number("--bypass"))
                                : P.CoilToTemp(In, A.Number("--coil-adp"), A.Number("--leaving-temp"));
    } else if (A.Has("--steam-to-relhum")) {
        const double Steam =
            A.Has("--steam-enthalpy") ? A.Number("--steam-enthalpy") : TMollierProcess::DefaultSteamEnthalpy;
        Out = P.SteamToRelHum(In, A.Number("--steam-to-relhum"), Steam);
    } else if (A.Has("--adiabatic-to-relhum")) {
        Out = P.AdiabaticToRelHum(In, A.Number("--adiabatic-to-relhum"));
    } else {
        if (!A.Has("--efficiency")) {
            throw EUsageError("--recover-from needs --efficiency");
        }
        const TMoistAirState Extract = StateOf(PointArgument(Doc, A.Value("--recover-from")));
        Out = P.HeatRecovery(In, Extract, A.Number("--efficiency"));
    }
    PrintState(Doc.Pressure, Out, A.Has("--json"));
    return 0;
}

const TCliRegistration Registration("process", &RunProcess);

} // namespace
} // namespace psykrona
