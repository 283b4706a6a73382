// The manual pages against the programs' own help, read at test time: every
// option --help names is in the page, a command's options (from its synopsis
// and its own --help) under the command's heading, every exit code under
// EXIT STATUS, and the program's version in the title line.
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace psykrona {
namespace {

using TOptions = std::set<std::string>;

TOptions OptionsIn(const std::string& Text) {
    static const std::regex Option(R"((?:^|[\s\[|(,])(--?[a-z][a-z0-9-]*))");
    TOptions Found;
    for (auto It = std::sregex_iterator(Text.begin(), Text.end(), Option); It != std::sregex_iterator(); ++It) {
        Found.insert((*It)[1].str());
    }
    return Found;
}

// The text of a ".SH" or ".SS" section, up to the next heading of either kind.
std::string Section(const std::string& Page, const std::string& Heading) {
    const std::size_t At = Page.find("\n" + Heading + "\n");
    const std::size_t Body = At + Heading.size() + 2;
    return At == std::string::npos ? "" : Page.substr(Body, std::min(Page.find("\n.SH ", Body), Page.find("\n.SS ", Body)) - Body);
}

void ExpectPageDescribesTheHelp(const std::string& Program, const std::string& Name) {
    const test::TProcessResult Help = test::RunProcess(Program, {"--help"});
    ASSERT_EQ(Help.ExitCode, 0) << Help.Err;
    // The page as a reader sees its words: font changes dropped, "\-" as "-".
    const std::string Page = std::regex_replace(
        test::ReadFile(PSYKRONA_SOURCE_DIR "/desktop/man/" + Name + ".1"), std::regex(R"(\\f[BIRP]|\\(?=-))"), "");
    auto Mentions = [](const std::string& Text, const std::string& Option) {
        return std::regex_search(Text, std::regex("(^|[^a-z0-9-])" + Option + "([^a-z0-9-]|$)"));
    };
    // A command is a line "  name ..." below "Commands:", with its indented continuation.
    std::map<std::string, TOptions> Commands{{"", {}}}; // "": the program's own options
    std::string Current;
    bool InCommands = false;
    std::istringstream Lines(Help.Out);
    for (std::string Line; std::getline(Lines, Line);) {
        std::smatch M;
        InCommands = Line == "Commands:" || (InCommands && !Line.empty());
        if (InCommands && std::regex_match(Line, M, std::regex(R"(^  ([a-z][a-z0-9-]*)( .*)?$)"))) {
            Current = M[1];
            Commands[Current].merge(OptionsIn(M[2]));
        } else {
            Current = InCommands && Line.starts_with("   ") ? Current : "";
            Commands[Current].merge(OptionsIn(Line));
        }
        if (Line.starts_with("Exit codes:")) {
            const std::string ExitStatus = Section(Page, ".SH EXIT STATUS");
            static const std::regex Code(R"((\d+) )");
            for (auto It = std::sregex_iterator(Line.begin(), Line.end(), Code);
                 It != std::sregex_iterator(); ++It) {
                EXPECT_NE(ExitStatus.find(".B " + (*It)[1].str() + "\n"), std::string::npos) << "exit code " << (*It)[1];
            }
        }
    }
    EXPECT_TRUE(Name != "psykrona-cli" || Commands.size() > 3) << "the help's command list was not found";
    for (auto& [Command, Options] : Commands) {
        const std::string Text = Command.empty() ? Page : Section(Page, ".SS " + Command);
        EXPECT_FALSE(Text.empty()) << Name << "(1) has no section for the command " << Command;
        const auto Own = Command.empty() ? test::TProcessResult{} : test::RunProcess(Program, {Command, "--help"});
        if (Own.ExitCode == 0) {
            Options.merge(OptionsIn(Own.Out));
            Options.erase("--help");
        }
        for (const std::string& Option : Options) {
            EXPECT_TRUE(Mentions(Text, Option)) << Name << "(1) lacks " << Option << " under " << Command;
        }
    }
    const std::string Version = test::RunProcess(Program, {"--version"}).Out;
    const std::string Number = Version.substr(Version.rfind(' ') + 1);
    EXPECT_NE(Page.find("\"Psykrona " + Number.substr(0, Number.size() - 1) + "\""), std::string::npos)
        << Name << "(1) names another version than " << Version;
}

TEST(ManualTest, EachPageDescribesEveryCommandOptionAndExitCodeOfItsProgramsHelp) {
    ExpectPageDescribesTheHelp(test::CliPath(), "psykrona-cli");
    if (std::filesystem::exists(PSYKRONA_BINARY_DIR "/psykrona")) {
        ExpectPageDescribesTheHelp(PSYKRONA_BINARY_DIR "/psykrona", "psykrona");
    }
}

} // namespace
} // namespace psykrona
