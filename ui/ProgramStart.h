#pragma once

#include <string>
#include <vector>

namespace psykrona {

// The program's run, once the application object exists: creates the eight
// windows in their order, hands the main window the others and the first
// argument and runs the message loop, which shows it, until it closes or
// the user ends the program at the language choice (0 then). When the
// language files of ProgramDir (the program's own directory when empty)
// cannot be loaded, their error is shown and 1 is returned without a window.
int RunPsykrona(const std::vector<std::string>& Arguments, const std::string& ProgramDir = {});

} // namespace psykrona
