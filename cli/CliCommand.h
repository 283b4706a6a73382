#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace psykrona {

// A wrong call: unknown option, missing argument, unparsable number.
// psykrona-cli reports it with exit code 2.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Which program runs a command. psykrona-cli itself runs what needs only the
// calculator, so that it starts without libxml2 and Qt; what reads or writes
// project files runs in psykrona-cli-files (libxml2), what draws in
// psykrona-cli-draw (Qt). Both lie beside psykrona-cli, which hands them the
// command line whole (TCliProgram::Tool is psykrona-cli itself).
enum class TCliProgram { Tool, Files, Draw };

// The file name of a program in the tool's folder.
const char* CliProgramFile(TCliProgram Program);

// One subcommand of psykrona-cli, as --help lists it.
struct TCliCommand {
    const char* Name;
    const char* Synopsis; // one or more lines for --help
    TCliProgram Program;
};

// A command's work: Run gets the arguments after the command's name and
// returns the exit code; failures are exceptions (EUsageError: exit 2, any
// other: exit 1), reported by the caller on standard error.
using TCliRun = int (*)(const std::vector<std::string>& Args);

class TCliCommands {
public:
    // Every command, in the order of --help, whichever program runs it.
    static std::span<const TCliCommand> All();
    static const TCliCommand* Find(const std::string& Name);
    // The work of a command this program runs itself, or null.
    static TCliRun FindRun(const std::string& Name);
    static void Register(const char* Name, TCliRun Run);
};

// A command file registers its command's work with a static instance of this.
struct TCliRegistration {
    TCliRegistration(const char* Name, TCliRun Run) { TCliCommands::Register(Name, Run); }
};

// A small option reader shared by the commands: "--name value" pairs, "--flag"
// switches and positional arguments, in any order.
class TCliArgs {
public:
    TCliArgs(const std::vector<std::string>& Args, const std::vector<std::string>& ValueOptions,
             const std::vector<std::string>& Flags);

    bool Has(const std::string& Option) const;
    std::string Value(const std::string& Option) const; // empty when absent
    // The option's value parsed with the locale's decimal separator.
    double Number(const std::string& Option) const;
    const std::vector<std::string>& Positional() const { return FPositional; }

private:
    std::vector<std::pair<std::string, std::string>> FValues;
    std::vector<std::string> FFlags;
    std::vector<std::string> FPositional;
};

} // namespace psykrona
