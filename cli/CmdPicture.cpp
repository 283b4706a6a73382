// psykrona-cli picture: the chart picture that the program's "save chart as
// picture" command writes, 680 x 680 pixels, from a project file.
#include "cli/CliCommand.h"
#include "cli/CliDrawing.h"
#include "cli/CliProject.h"

#include "qt/ChartPicture.h"

namespace psykrona {
namespace {

int RunPicture(const std::vector<std::string>& Args) {
    const TCliArgs A(Args, {}, {});
    if (A.Positional().size() != 2) {
        throw EUsageError("give a project (or - for an empty one) and an output file");
    }
    CheckCliOutputFile(A.Positional()[1], {A.Positional()[0]});
    TCliDrawing Job(A.Positional()[0]);
    Job.Start("picture");
    SaveChartPicture(Job.Draw, Job.Document, A.Positional()[1], {A.Positional()[0]});
    return 0;
}

const TCliRegistration Registration("picture", &RunPicture);

} // namespace
} // namespace psykrona
