// psykrona-cli picture: the chart picture that the program's "save chart as
// picture" command writes, 680 x 680 pixels, from a project file.
#ifdef PSYKRONA_CLI_WITH_QT

#include "cli/CliCommand.h"
#include "cli/CliGuiApplication.h"
#include "cli/CliProject.h"
#include "cli/CliTranslator.h"

#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "printing/PictureFiles.h"
#include "qt/ChartPicture.h"

namespace psykrona {
namespace {

int RunPicture(const std::vector<std::string>& Args) {
    const TCliArgs A(Args, {}, {});
    if (A.Positional().size() != 2) {
        throw EUsageError("give a project (or - for an empty one) and an output file");
    }
    try {
        CheckOutputFile(A.Positional()[1], {A.Positional()[0]});
    } catch (const EPictureError& E) {
        throw EUsageError(E.what());
    }
    TMain Doc;
    LoadCliProject(A.Positional()[0], Doc);
    TMollierOptions Options;
    TMollierDraw Draw;
    Draw.Options = &Options;
    Draw.Document = &Doc;
    const TCliTranslator Translator("picture");
    EnsureCliGuiApplication();
    SaveChartPicture(Draw, Doc, A.Positional()[1], {A.Positional()[0]});
    return 0;
}

const TCliRegistration
    Registration({"picture",
                  "picture PROJECT OUT\n"
                  "             the 680 x 680 chart picture with its title: OUT ending in .jpg gives JPEG,\n"
                  "             .png PNG, .svg SVG, any other name a 24-bit BMP (so PLAN.JPG is a bitmap)",
                  &RunPicture});

} // namespace
} // namespace psykrona

#endif
