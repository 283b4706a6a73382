// psykrona-cli: the program's results from a shell, for scripts and reports.
#include "cli/CliCommand.h"

#include "engine/Main.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

using namespace psykrona;

namespace {

void PrintHelp(std::ostream& Out) {
    Out << "Usage: psykrona-cli COMMAND [ARGUMENTS]\n"
           "Moist-air states, Mollier charts and project files from the command line.\n\n"
           "Commands:\n";
    for (const TCliCommand& C : TCliCommands::All()) {
        Out << "  " << C.Synopsis << "\n";
    }
    Out << "\n  --help     this text\n"
           "  --version  the program's version\n\n"
           "Numbers are typed and shown with the decimal separator of your locale.\n"
           "Exit codes: 0 success, 1 calculation or file failure, 2 wrong call.\n";
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> Args(argv + 1, argv + argc);
    if (Args.empty()) {
        PrintHelp(std::cerr);
        return 2;
    }
    if (Args[0] == "--help" || Args[0] == "-h" || Args[0] == "help") {
        PrintHelp(std::cout);
        return 0;
    }
    if (Args[0] == "--version") {
        std::cout << "psykrona-cli " << TMain::GetVersion() << "\n";
        return 0;
    }
    const TCliCommand* Command = TCliCommands::Find(Args[0]);
    if (Command == nullptr) {
        std::cerr << "psykrona-cli: unknown command '" << Args[0] << "' (see psykrona-cli --help)\n";
        return 2;
    }
    try {
        return Command->Run(std::vector<std::string>(Args.begin() + 1, Args.end()));
    } catch (const EUsageError& E) {
        std::cerr << "psykrona-cli " << Command->Name << ": " << E.what() << "\n";
        return 2;
    } catch (const std::exception& E) {
        std::cerr << "psykrona-cli " << Command->Name << ": " << E.what() << "\n";
        return 1;
    }
}
