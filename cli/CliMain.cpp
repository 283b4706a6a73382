// psykrona-cli: the program's results from a shell, for scripts and reports.
#include "cli/CliCommand.h"
#include "cli/CliOutput.h"

#include "engine/Main.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

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

// Runs the command with standard output going to Out; a command that fails
// leaves nothing there.
int RunCli(const std::vector<std::string>& Args, std::ostringstream& Out) {
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
    const TCliRun Run = TCliCommands::FindRun(Args[0]);
    if (Command == nullptr || Run == nullptr) {
        std::cerr << "psykrona-cli: unknown command '" << Echoed(Args[0]) << "' (see psykrona-cli --help)\n";
        return 2;
    }
    try {
        return Run(std::vector<std::string>(Args.begin() + 1, Args.end()));
    } catch (const EUsageError& E) {
        std::cerr << "psykrona-cli " << Command->Name << ": " << Escaped(E.what()) << "\n";
        return 2;
    } catch (const std::exception& E) {
        Out.str("");
        std::cerr << "psykrona-cli " << Command->Name << ": " << Escaped(E.what()) << "\n";
        return 1;
    }
}

// A command of another program: that program, beside this one, takes over
// the process with the same arguments, so standard output, standard error
// and the exit code are its own. Returns only when it cannot be started.
int RunElsewhere(const TCliCommand& Command, char** Argv) {
    const std::string Program = TMain::GetProgramDir() + CliProgramFile(Command.Program);
    execv(Program.c_str(), Argv);
    const int Error = errno;
    std::cerr << "psykrona-cli " << Command.Name << ": cannot start " << Escaped(Program) << ": "
              << std::strerror(Error) << "\n";
    return 1;
}

} // namespace

// Standard output is gathered and written whole once the command is done:
// a command that fails prints no half result, and a result that cannot be
// written (a full disk, /dev/full, a closed output) is a failure too.
int main(int argc, char** argv) {
    if (argc > 1) {
        const TCliCommand* Command = TCliCommands::Find(argv[1]);
        if (Command != nullptr && TCliCommands::FindRun(Command->Name) == nullptr) {
            return RunElsewhere(*Command, argv);
        }
    }
    const std::vector<std::string> Args(argv + 1, argv + argc);
    std::ostringstream Out;
    int Code = 0;
    {
        struct TRedirect {
            std::streambuf* Old;
            ~TRedirect() { std::cout.rdbuf(Old); }
        } Redirect{std::cout.rdbuf(Out.rdbuf())};
        Code = RunCli(Args, Out);
    }
    if (Code != 0 && Code != 1) {
        return Code; // a wrong call has no result
    }
    try {
        WriteAll(1, Out.str(), "standard output");
    } catch (const std::exception& E) {
        std::cerr << "psykrona-cli" << (Args.empty() ? "" : " " + Echoed(Args[0])) << ": " << E.what() << "\n";
        return 1;
    }
    return Code;
}
