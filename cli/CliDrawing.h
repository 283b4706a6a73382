#pragma once

#include "cli/CliTranslator.h"

#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"

#include <optional>
#include <string>

namespace psykrona {

// What the drawing commands of psykrona-cli share: the project named on the
// command line, the chart's options and its renderer, the texts in the
// language the user last chose in the program, and the Qt application.
class TCliDrawing {
public:
    // Reads the project ("-" for an empty one) as LoadCliProject does.
    explicit TCliDrawing(const std::string& ProjectPath);
    TCliDrawing(const TCliDrawing&) = delete;
    TCliDrawing& operator=(const TCliDrawing&) = delete;

    // Loads the language and starts Qt, on the offscreen platform unless the
    // caller chose another. Called once the options are set, before drawing;
    // Command names the command in notes on standard error.
    void Start(const char* Command);

    TMain Document;
    TMollierOptions Options;
    TMollierDraw Draw;

private:
    std::optional<TCliTranslator> FTranslator;
};

} // namespace psykrona
