#include "cli/CliDrawing.h"

#include "cli/CliGuiApplication.h"
#include "cli/CliProject.h"

namespace psykrona {

TCliDrawing::TCliDrawing(const std::string& ProjectPath) {
    LoadCliProject(ProjectPath, Document);
    Draw.Options = &Options;
    Draw.Document = &Document;
}

void TCliDrawing::Start(const char* Command) {
    FTranslator.emplace(Command);
    EnsureCliGuiApplication();
}

} // namespace psykrona
