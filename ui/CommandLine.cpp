#include "ui/CommandLine.h"

#include "engine/Main.h"

namespace psykrona {

TCommandLineAnswer AnswerCommandLine(const std::vector<std::string>& Args) {
    for (const std::string& Arg : Args) {
        if (Arg == "--") {
            break;
        }
        if (Arg == "--version" || Arg == "-v") {
            return {true, 0, "Psykrona " + TMain::GetVersion() + "\n"};
        }
        if (Arg == "--help" || Arg == "-h") {
            return {true, 0,
                    "Usage: psykrona [PROJECT]\n"
                    "The Mollier diagram of moist air for ventilation and air-conditioning engineers.\n"
                    "Opens PROJECT (a .pkx or older .pkr file) once the language has been chosen.\n"
                    "\n"
                    "  --help     this text\n"
                    "  --version  the program's version\n"
                    "\n"
                    "States, charts and project tables without a window: psykrona-cli --help\n"};
        }
    }
    return {};
}

} // namespace psykrona
