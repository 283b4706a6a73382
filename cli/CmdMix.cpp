// psykrona-cli mix: two of a project's points mixed by their air flows.
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliProperties.h"

#include "engine/MollierProcess.h"

namespace psykrona {
namespace {

int RunMix(const std::vector<std::string>& Args) {
    const TCliArgs A(Args, {"--flow-a", "--flow-b"}, {"--json"});
    if (A.Positional().size() != 3 || !A.Has("--flow-a") || !A.Has("--flow-b")) {
        throw EUsageError("give a project file, two point numbers, --flow-a and --flow-b");
    }
    TMain Doc;
    LoadCliProject(A.Positional()[0], Doc);
    const TMoistAirState Sa = StateOf(PointArgument(Doc, A.Positional()[1]));
    const TMoistAirState Sb = StateOf(PointArgument(Doc, A.Positional()[2]));
    // Dry-air mass flows, each stream at the density the project's rule gives it.
    const double Ma = A.Number("--flow-a") * TMollierProcess::StreamDensity(Doc, Sa.Temp);
    const double Mb = A.Number("--flow-b") * TMollierProcess::StreamDensity(Doc, Sb.Temp);
    PrintState(Doc.Pressure, TMollierProcess(Doc.Pressure).Mix(Sa, Ma, Sb, Mb), A.Has("--json"));
    return 0;
}

const TCliRegistration Registration("mix", &RunMix);

} // namespace
} // namespace psykrona
