// The manual pages against the programs' own help: every command and option
// that --help (or a command's own --help, where it has one) names is
// described in the page, the command's options under the command's heading,
// and every exit code the help names is listed. The lists come from the
// programs at test time, so a command added later fails here until its page
// describes it.
#include "tests/support/TempFolder.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace psykrona {
namespace {

namespace fs = std::filesystem;
using TOptions = std::set<std::string>;

TOptions OptionsIn(const std::string& Text) {
    static const std::regex Option(R"((?:^|[\s\[|(,])(--?[a-z][a-z0-9-]*))");
    TOptions Found;
    for (auto It = std::sregex_iterator(Text.begin(), Text.end(), Option); It != std::sregex_iterator(); ++It) {
        Found.insert((*It)[1].str());
    }
    return Found;
}

// The page as a reader sees its words: font changes dropped, "\-" as "-".
std::string PageText(const std::string& Name) {
    const std::string Roff =
        test::ReadFile(fs::path(PSYKRONA_SOURCE_DIR) / "desktop" / "man" / (Name + ".1"));
    std::string Plain = std::regex_replace(Roff, std::regex(R"(\\f[BIRP])"), "");
    return std::regex_replace(Plain, std::regex(R"(\\-)"), "-");
}

// The text of a ".SH" or ".SS" section, up to the next heading of either kind.
std::string Section(const std::string& Page, const std::string& Heading) {
    const std::size_t At = Page.find("\n" + Heading + "\n");
    if (At == std::string::npos) {
        return {};
    }
    const std::size_t Body = At + Heading.size() + 2;
    const std::size_t Sh = Page.find("\n.SH ", Body);
    const std::size_t Ss = Page.find("\n.SS ", Body);
    return Page.substr(Body, std::min(Sh, Ss) - Body);
}

bool Mentions(const std::string& Text, const std::string& Option) {
    return std::regex_search(Text, std::regex("(^|[^a-z0-9-])" + Option + "([^a-z0-9-]|$)"));
}

// What --help lists: the options of the program itself, and per command
// (a line "  name ..." below "Commands:" with its indented continuation)
// the options of its synopsis.
struct THelp {
    TOptions Own;
    std::map<std::string, TOptions> Commands;
    std::set<std::string> ExitCodes;
};

THelp ReadHelp(const std::string& Program) {
    const test::TProcessResult R = test::RunProcess(Program, {"--help"});
    EXPECT_EQ(R.ExitCode, 0) << Program << ": " << R.Err;
    THelp Help;
    std::istringstream Lines(R.Out);
    static const std::regex CommandLine(R"(^  ([a-z][a-z0-9-]*)( .*)?$)");
    bool InCommands = false;
    std::string Current;
    for (std::string Line; std::getline(Lines, Line);) {
        std::smatch M;
        if (Line == "Commands:") {
            InCommands = true;
        } else if (Line.empty()) {
            InCommands = false;
            Current.clear();
        } else if (InCommands && std::regex_match(Line, M, CommandLine)) {
            Current = M[1];
            Help.Commands[Current] = OptionsIn(M[2]);
        } else if (!Current.empty() && Line.rfind("   ", 0) == 0) {
            Help.Commands[Current].merge(OptionsIn(Line));
        } else {
            Help.Own.merge(OptionsIn(Line));
        }
        if (Line.rfind("Exit codes:", 0) == 0) {
            static const std::regex Code(R"((\d+) )");
            for (auto It = std::sregex_iterator(Line.begin(), Line.end(), Code);
                 It != std::sregex_iterator(); ++It) {
                Help.ExitCodes.insert((*It)[1].str());
            }
        }
    }
    for (auto& [Name, Options] : Help.Commands) {
        const test::TProcessResult Own = test::RunProcess(Program, {Name, "--help"});
        if (Own.ExitCode == 0 && !Own.Out.empty()) {
            TOptions More = OptionsIn(Own.Out);
            More.erase("--help");
            Options.merge(More);
        }
    }
    return Help;
}

void ExpectPageDescribes(const std::string& Program, const std::string& Name) {
    const THelp Help = ReadHelp(Program);
    const std::string Page = PageText(Name);
    for (const std::string& Option : Help.Own) {
        EXPECT_TRUE(Mentions(Page, Option)) << Name << "(1) lacks " << Option;
    }
    for (const auto& [Command, Options] : Help.Commands) {
        const std::string Text = Section(Page, ".SS " + Command);
        EXPECT_FALSE(Text.empty()) << Name << "(1) has no section for the command " << Command;
        for (const std::string& Option : Options) {
            EXPECT_TRUE(Mentions(Text, Option)) << Name << "(1) lacks " << Option << " under " << Command;
        }
    }
    const std::string ExitStatus = Section(Page, ".SH EXIT STATUS");
    EXPECT_FALSE(ExitStatus.empty()) << Name << "(1) has no EXIT STATUS";
    for (const std::string& Code : Help.ExitCodes) {
        EXPECT_NE(ExitStatus.find(".B " + Code + "\n"), std::string::npos) << Name << "(1) lacks exit code " << Code;
    }
    const test::TProcessResult Version = test::RunProcess(Program, {"--version"});
    const std::string Number = Version.Out.substr(Version.Out.rfind(' ') + 1);
    EXPECT_NE(Page.find("\"Psykrona " + Number.substr(0, Number.size() - 1) + "\""), std::string::npos)
        << Name << "(1) names another version than " << Version.Out;
}

TEST(ManualTest, TheCommandLineToolsPageDescribesEveryCommandOptionAndExitCodeOfItsHelp) {
    ExpectPageDescribes(test::CliPath(), "psykrona-cli");
    EXPECT_GE(ReadHelp(test::CliPath()).Commands.size(), 3u) << "the help's command list was not found";
}

TEST(ManualTest, TheProgramsPageDescribesEveryOptionOfItsHelp) {
    const fs::path Program = fs::path(PSYKRONA_BINARY_DIR) / "psykrona";
    if (!fs::exists(Program)) {
        GTEST_SKIP() << "this build has no window";
    }
    ExpectPageDescribes(Program.string(), "psykrona");
}

} // namespace
} // namespace psykrona
