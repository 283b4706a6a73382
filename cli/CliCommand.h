#pragma once

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

// One subcommand of psykrona-cli. Run gets the arguments after the command's
// name and returns the exit code; failures are exceptions (EUsageError: exit
// 2, any other: exit 1), reported by the caller on standard error.
struct TCliCommand {
    const char* Name;
    const char* Synopsis; // one or more lines for --help
    int (*Run)(const std::vector<std::string>& Args);
};

class TCliCommands {
public:
    static std::vector<TCliCommand>& All();
    static const TCliCommand* Find(const std::string& Name);
};

// A command file registers its command with a static instance of this.
struct TCliRegistration {
    explicit TCliRegistration(const TCliCommand& Command) { TCliCommands::All().push_back(Command); }
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
