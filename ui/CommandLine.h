#pragma once

#include <string>
#include <vector>

namespace psykrona {

// What the program says to its command line before any window opens.
struct TCommandLineAnswer {
    // True when the program should print Out and end with ExitCode.
    bool Exit = false;
    int ExitCode = 0;
    std::string Out;
};

// Answers "--help" ("-h") and "--version" ("-v") on the terminal; any other
// arguments (a project file, Qt's own options) are left to the program.
// Args are the arguments after the program name; options after "--" are
// taken as file names.
TCommandLineAnswer AnswerCommandLine(const std::vector<std::string>& Args);

} // namespace psykrona
