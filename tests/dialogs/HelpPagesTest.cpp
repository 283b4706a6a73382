// The help pages shipped in data/help: each language's page names exactly the file formats, command-line commands
// and options that the program has, as the program itself lists them, and
// names its menu commands as the language's menus do.
#include "ui/CommandLine.h"

#include "tests/ui/UiFixture.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <set>

namespace psykrona {
namespace {

using test::ReadFile;

std::set<std::string> Matches(const std::string& Text, const std::regex& Pattern, int Group = 1) {
    std::set<std::string> Found;
    for (auto It = std::sregex_iterator(Text.begin(), Text.end(), Pattern); It != std::sregex_iterator();
         ++It) {
        std::string M = (*It)[Group].str();
        for (char& C : M) {
            C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
        }
        Found.insert(M);
    }
    return Found;
}

// What a reader of the page is told to type or name: the text of its code and
// preformatted elements.
std::string CodeText(const std::string& Html) {
    const std::regex Code(R"re(<(code|pre)>([\s\S]*?)</\1>)re");
    std::string Text;
    for (auto It = std::sregex_iterator(Html.begin(), Html.end(), Code); It != std::sregex_iterator(); ++It) {
        Text += (*It)[2].str() + "\n";
    }
    return Text;
}

// A caption as the menu shows it: no access-key marker, no trailing dots.
std::string MenuName(std::string Caption) {
    Caption.erase(std::remove(Caption.begin(), Caption.end(), '&'), Caption.end());
    while (!Caption.empty() && Caption.back() == '.') {
        Caption.pop_back();
    }
    return Caption;
}

using HelpPagesContentTest = test::TWindowTest;

TEST_F(HelpPagesContentTest, EachPageNamesTheProgramsFormatsCommandsOptionsAndMenusAsTheProgramDoes) {
    const std::filesystem::path Source(PSYKRONA_SOURCE_DIR);
    const test::TProcessResult Cli =
        test::RunProcess(std::string(PSYKRONA_BINARY_DIR) + "/psykrona-cli", {"--help"});
    ASSERT_EQ(Cli.ExitCode, 0) << Cli.Err;
    const std::string GuiHelp = AnswerCommandLine({"--help"}).Out;
    const std::set<std::string> Commands = Matches(Cli.Out, std::regex(R"re(\n  ([a-z]+) )re"));
    std::set<std::string> Options = Matches(Cli.Out + GuiHelp, std::regex(R"re((--[a-z][a-z-]*))re"));
    // The file dialogs' types and the files the command-line tool writes.
    std::string MainWindow; // wherever the main window's sources put them
    for (const auto& File : std::filesystem::directory_iterator(Source / "ui")) {
        MainWindow += File.path().filename().string().rfind("FormMain", 0) == 0 ? ReadFile(File.path()) : "";
    }
    std::set<std::string> Formats = Matches(MainWindow, std::regex(R"re(\(\*\.([a-z]+)\))re"));
    Formats.merge(Matches(Cli.Out, std::regex(R"re(\.([a-z]{3})\b)re")));
    ASSERT_GE(Commands.size(), 3u) << Cli.Out;
    ASSERT_TRUE(Options.count("--help") && Options.count("--version")) << Cli.Out;
    ASSERT_TRUE(Formats.count("pkx") && Formats.count("bmp") && Formats.count("pdf"));

    StartWith("en");
    for (int L = 0; L < 3; ++L) {
        TTranslator::SetLanguage(L);
        const auto Page = Source / "data" / "help" / test::LanguageCodes[L] / "index.html";
        const std::string Html = ReadFile(Page);
        const std::string Code = CodeText(Html);
        EXPECT_EQ(Matches(Code, std::regex(R"re((?:^|[\s"])[\w-]*\.([A-Za-z]{3})(?=$|[\s"]))re")), Formats)
            << Page;
        EXPECT_EQ(Matches(Code, std::regex(R"re((--[a-z][a-z-]*))re")), Options) << Page;
        // The command table lists every command; examples call only those.
        EXPECT_EQ(Matches(Html, std::regex(R"re(<tr><td><code>([a-z]+)</code></td>)re")), Commands) << Page;
        for (const std::string& Called : Matches(Code, std::regex(R"re(psykrona-cli ([a-z]+))re"))) {
            EXPECT_TRUE(Commands.count(Called)) << Page << " calls psykrona-cli " << Called;
        }
        // "Menu → Command" is spelt as the menus of the page's language.
        auto Captions = [](std::initializer_list<const char*> Keys) {
            std::set<std::string> Names;
            for (const char* Key : Keys) {
                Names.insert(MenuName(TTranslator::GetText("MENUS", Key)));
            }
            return Names;
        };
        const std::set<std::string> Menus = Captions({"MNU_FILE", "MNU_OPTIONS", "MNU_HELP"});
        const std::set<std::string> Items = Captions(
            {"MNU_FILE_NEW", "MNU_FILE_OPEN", "MNU_FILE_SAVE", "MNU_FILE_SAVE_AS", "MNU_FILE_SAVE_CHART_AS_PICTURE",
             "MNU_FILE_PRINT", "MNU_FILE_EXIT", "MNU_OPTIONS_LIMITS", "MNU_OPTIONS_LANGUAGE", "MNU_HELP_HELP",
             "MNU_HELP_ABOUT"});
        const std::regex Path("<b>([^<]+) → ([^<]+)</b>");
        int Paths = 0;
        for (auto It = std::sregex_iterator(Html.begin(), Html.end(), Path); It != std::sregex_iterator();
             ++It, ++Paths) {
            EXPECT_TRUE(Menus.count((*It)[1].str())) << Page << ": no menu " << (*It)[1];
            EXPECT_TRUE(Items.count((*It)[2].str())) << Page << ": no menu command " << (*It)[2];
        }
        EXPECT_GE(Paths, 4) << Page;
    }
}

} // namespace
} // namespace psykrona
