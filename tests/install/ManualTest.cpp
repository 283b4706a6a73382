// The manual pages against the programs' --help at test time: every option
// (a command's under its heading), exit code and the version are in the page.
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

void Collect(std::set<std::string>& Found, const std::string& Text, const std::regex& Pattern) {
    for (auto It = std::sregex_iterator(Text.begin(), Text.end(), Pattern); It != std::sregex_iterator(); ++It) {
        Found.insert((*It)[1].str());
    }
}

// The text of a ".SH" or ".SS" section, up to the next heading of either kind.
std::string Section(const std::string& Page, const std::string& Heading) {
    const std::size_t At = Page.find("\n" + Heading + "\n"), Body = At + Heading.size() + 2;
    return At == std::string::npos ? "" : Page.substr(Body, std::min(Page.find("\n.SH ", Body), Page.find("\n.SS ", Body)) - Body);
}

void ExpectPageDescribesTheHelp(const std::string& Program, const std::string& Name) {
    const test::TProcessResult Help = test::RunProcess(Program, {"--help"});
    ASSERT_EQ(Help.ExitCode, 0) << Help.Err;
    // The page as a reader sees its words: font changes dropped, "\-" as "-".
    const std::string Page = std::regex_replace(
        test::ReadFile(PSYKRONA_SOURCE_DIR "/desktop/man/" + Name + ".1"), std::regex(R"(\\f[BIRP]|\\(?=-))"), "");
    const std::regex Option(R"((?:^|[\s\[|(,])(--?[a-z][a-z0-9-]*))");
    // A command is a line "  name ..." below "Commands:", with its indented continuation.
    std::map<std::string, std::set<std::string>> Commands{{"", {}}}; // "": the program's own options
    std::set<std::string> ExitCodes;
    std::string Current;
    bool InCommands = false;
    std::istringstream Lines(Help.Out);
    for (std::string Line; std::getline(Lines, Line);) {
        std::smatch M;
        InCommands = Line == "Commands:" || (InCommands && !Line.empty());
        const bool Starts = InCommands && std::regex_match(Line, M, std::regex(R"(^  ([a-z][a-z0-9-]*)( .*)?$)"));
        Current = Starts ? M[1].str() : InCommands && Line.starts_with("   ") ? Current : "";
        Collect(Commands[Current], Line, Option);
        if (Line.starts_with("Exit codes:")) {
            Collect(ExitCodes, Line, std::regex(R"((\d+) )"));
        }
    }
    EXPECT_TRUE(Name != "psykrona-cli" || (Commands.size() > 3 && ExitCodes.size() > 2)) << Help.Out;
    for (const std::string& Code : ExitCodes) {
        EXPECT_NE(Section(Page, ".SH EXIT STATUS").find(".B " + Code + "\n"), std::string::npos) << "exit code " << Code;
    }
    for (const auto& [Command, Options] : Commands) {
        const std::string Text = Command.empty() ? Page : Section(Page, ".SS " + Command);
        EXPECT_FALSE(Text.empty()) << Name << "(1) has no section for the command " << Command;
        for (const std::string& O : Options) {
            EXPECT_TRUE(std::regex_search(Text, std::regex("(^|[^a-z0-9-])" + O + "([^a-z0-9-]|$)")))
                << Name << "(1) lacks " << O << " under " << Command;
        }
    }
    const std::string Version = test::RunProcess(Program, {"--version"}).Out; // "name 1.2\n"
    EXPECT_NE(Page.find("\"Psykrona " + Version.substr(Version.rfind(' ') + 1, Version.size() - Version.rfind(' ') - 2) + "\""), std::string::npos) << Version;
}

TEST(ManualTest, EachPageDescribesEveryCommandOptionAndExitCodeOfItsProgramsHelp) {
    ExpectPageDescribesTheHelp(test::CliPath(), "psykrona-cli");
    if (std::filesystem::exists(PSYKRONA_BINARY_DIR "/psykrona")) {
        ExpectPageDescribesTheHelp(PSYKRONA_BINARY_DIR "/psykrona", "psykrona");
    }
}

} // namespace
} // namespace psykrona
