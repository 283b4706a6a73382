// Each language's help page names exactly the file formats, commands and options the program
// lists itself, and its menu commands as the language's menus do.
#include "ui/CommandLine.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <set>

namespace psykrona {
namespace {

using test::ReadFile;

std::set<std::string> Matches(const std::string& Text, const std::regex& Pattern, int Group = 1, bool Lower = true) {
    std::set<std::string> Found;
    for (auto It = std::sregex_iterator(Text.begin(), Text.end(), Pattern); It != std::sregex_iterator(); ++It) {
        std::string M = (*It)[Group].str();
        std::transform(M.begin(), M.end(), M.begin(), [Lower](unsigned char C) { return Lower ? std::tolower(C) : C; });
        Found.insert(M);
    }
    return Found;
}

TEST(HelpPagesContentTest, EachPageNamesTheProgramsFormatsCommandsOptionsAndMenusAsTheProgramDoes) {
    const std::filesystem::path Source(PSYKRONA_SOURCE_DIR);
    const test::TProcessResult Cli = test::RunProcess(test::CliPath(), {"--help"});
    ASSERT_EQ(Cli.ExitCode, 0) << Cli.Err;
    const std::set<std::string> Commands = Matches(Cli.Out, std::regex(R"re(\n  ([a-z]+) )re"));
    const std::set<std::string> Options =
        Matches(Cli.Out + AnswerCommandLine({"--help"}).Out, std::regex(R"re((--[a-z][a-z-]*))re"));
    std::string MainWindow; // the file dialogs' types, wherever the main window's sources put them
    for (const auto& File : std::filesystem::directory_iterator(Source / "ui")) {
        MainWindow += File.path().filename().string().starts_with("FormMain") ? ReadFile(File.path()) : "";
    }
    std::set<std::string> Formats = Matches(MainWindow, std::regex(R"re(\(\*\.([a-z]+)\))re"));
    Formats.merge(Matches(Cli.Out, std::regex(R"re(\.([a-z]{3})\b)re")));
    ASSERT_TRUE(Commands.size() >= 3 && Options.count("--version") && Formats.count("pkx") && Formats.count("pdf"))
        << Cli.Out;
    for (const auto& [Folder, Language] : {std::pair{"en", "English"}, {"sv", "Swedish"}, {"hu", "Hungarian"}}) {
        const auto Page = Source / "data/help" / Folder / "index.html";
        const std::string Html = ReadFile(Page);
        std::string Code; // what a reader is told to type or name
        for (const std::string& Part : Matches(Html, std::regex(R"re(<(code|pre)>([\s\S]*?)</\1>)re"), 2)) {
            Code += Part + "\n";
        }
        EXPECT_EQ(Matches(Code, std::regex(R"re((?:^|[\s"])[\w-]*\.([A-Za-z]{3})(?=$|[\s"]))re")), Formats) << Page;
        EXPECT_EQ(Matches(Code, std::regex(R"re((--[a-z][a-z-]*))re")), Options) << Page;
        // The command table lists every command; examples call only those.
        EXPECT_EQ(Matches(Html, std::regex(R"re(<tr><td><code>([a-z]+)</code></td>)re")), Commands) << Page;
        for (const std::string& Called : Matches(Code, std::regex(R"re(psykrona-cli ([a-z]+))re"))) {
            EXPECT_TRUE(Commands.count(Called)) << Page << " calls psykrona-cli " << Called;
        }
        // "Menu → Command" is spelt as the menus of the page's language: a
        // caption without its access-key marker and trailing dots.
        const std::string Lng = std::regex_replace(ReadFile(Source / "data" / (Language + std::string(".lng"))),
                                                   std::regex(R"(&|\.*(\r?\n))"), "$1");
        const std::set<std::string> Menus = Matches(Lng, std::regex(R"(\nMNU_[A-Z]+=(.*))"), 1, false);
        const std::set<std::string> Items = Matches(Lng, std::regex(R"(\nMNU_[A-Z]+_[A-Z_]+=(.*))"), 1, false);
        int Paths = 0;
        for (const std::string& Path : Matches(Html, std::regex("<b>([^<]+ → [^<]+)</b>"), 1, false)) {
            EXPECT_TRUE(Menus.count(Path.substr(0, Path.find(" → ")))) << Page << ": no menu in " << Path;
            EXPECT_TRUE(Items.count(Path.substr(Path.find(" → ") + 5))) << Page << ": no menu command in " << Path;
            ++Paths;
        }
        EXPECT_GE(Paths, 4) << Page;
    }
}

} // namespace
} // namespace psykrona
