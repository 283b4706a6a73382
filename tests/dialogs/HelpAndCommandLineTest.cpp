// The help command's choice of page, through a shell that only records, and
// the program's answers to --help and --version.
#include "ui/CommandLine.h"
#include "ui/Help.h"
#include "ui/Shell.h"

#include "tests/ui/UiFixture.h"

#include <filesystem>

namespace psykrona {
namespace {

class TRecordingShell : public TShell {
public:
    void OpenDocument(const std::string& Path) override { Opened.push_back(Path); }
    std::vector<std::string> Opened;
};

using HelpTest = test::TWindowTest;

TEST_F(HelpTest, OpensThePageOfTheCurrentLanguageOrTheCommonOne) {
    const struct {
        std::vector<const char*> Pages; // present below the program directory
        int Language;                   // 0 en, 1 sv, 2 hu
        const char* Opened;
    } Cases[] = {
        {{"help/index.html", "help/sv/index.html"}, 1, "help/sv/index.html"},
        {{"help/index.html", "help/sv/index.html"}, 2, "help/index.html"},
        {{"help/index.html", "help/hu/other.html"}, 2, "help/index.html"},
        {{"help/sv/index.html"}, 0, "help/index.html"}, // even when it is missing
    };
    for (const auto& C : Cases) {
        test::TTempFolder Program;
        for (const char* Page : C.Pages) {
            std::filesystem::create_directories((Program.Path() / Page).parent_path());
            Program.Write(Page, "<!DOCTYPE html>");
        }
        StartWith("en");
        TTranslator::SetLanguage(C.Language);
        TRecordingShell Shell;
        ShowHelp(Shell, Program.Dir());
        EXPECT_EQ(Shell.Opened, std::vector<std::string>{Program.Dir() + C.Opened});
    }
}

// Any argument list holding --help/-h or --version/-v before a "--" ends
// the program with the same answer; everything else goes to the program.
TEST(CommandLineTest, AnswersHelpAndVersionAndLeavesEverythingElseToTheProgram) {
    const TCommandLineAnswer Help = AnswerCommandLine({"--help"});
    const TCommandLineAnswer Version = AnswerCommandLine({"--version"});
    ASSERT_TRUE(Help.Exit && Version.Exit);
    EXPECT_NE(Help.Out.find("--version"), std::string::npos) << Help.Out;
    EXPECT_EQ(std::count(Version.Out.begin(), Version.Out.end(), '\n'), 1) << Version.Out;
    const std::pair<std::vector<std::string>, const TCommandLineAnswer*> Cases[] = {
        {{"-v"}, &Version},          {{"-platform", "offscreen", "--version"}, &Version},
        {{"-h"}, &Help},             {{"plan.pkx", "--help"}, &Help},
        {{}, nullptr},               {{"plan.pkx"}, nullptr},
        {{"--", "--version"}, nullptr}, {{"--versions"}, nullptr},
    };
    for (const auto& [Args, Expected] : Cases) {
        const TCommandLineAnswer A = AnswerCommandLine(Args);
        const std::string Call = Args.empty() ? "(none)" : Args.back();
        EXPECT_EQ(A.Exit, Expected != nullptr) << Call;
        EXPECT_EQ(A.ExitCode, 0) << Call;
        EXPECT_EQ(A.Out, Expected ? Expected->Out : "") << Call;
    }
}

} // namespace
} // namespace psykrona
