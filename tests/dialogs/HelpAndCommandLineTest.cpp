// The help command's choice of page, through a shell that only records, and
// the program's answers to --help and --version.
#include "ui/CommandLine.h"
#include "qt/Help.h"
#include "qt/Shell.h"

#include "tests/dialogs/DialogTestSupport.h"

#include <filesystem>
#include <ostream>

namespace psykrona {
namespace {

class TRecordingShell : public TShell {
public:
    void OpenDocument(const std::string& Path) override { Opened.push_back(Path); }
    std::vector<std::string> Opened;
};

struct THelpCase {
    const char* Name;
    std::vector<const char*> Pages; // help pages present below the program directory
    int Language;                   // position in the shipped list: 0 en, 1 sv, 2 hu
    const char* Expected;
};

const THelpCase HelpCases[] = {
    {"LanguageFolderFirst", {"help/index.html", "help/sv/index.html"}, 1, "help/sv/index.html"},
    {"FallbackWithoutTheFolder", {"help/index.html", "help/sv/index.html"}, 2, "help/index.html"},
    {"FallbackWhenTheFolderHasNoIndex", {"help/index.html", "help/hu/other.html"}, 2, "help/index.html"},
    {"TheFallbackEvenWhenItIsMissing", {"help/sv/index.html"}, 0, "help/index.html"},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const THelpCase& C, std::ostream* Out) {
    *Out << C.Name;
}

class HelpTest : public test::TDialogTest, public testing::WithParamInterface<THelpCase> {};

TEST_P(HelpTest, OpensThePageOfTheCurrentLanguageOrTheCommonOne) {
    const THelpCase& C = GetParam();
    for (const char* Page : C.Pages) {
        std::filesystem::create_directories((Folder.Path() / Page).parent_path());
        Folder.Write(Page, "<!DOCTYPE html>");
    }
    StartWith("en");
    TTranslator::SetLanguage(C.Language);
    TRecordingShell Shell;
    ShowHelp(Shell, Folder.Dir());
    EXPECT_EQ(Shell.Opened, std::vector<std::string>{Folder.Dir() + C.Expected});
}

INSTANTIATE_TEST_SUITE_P(Pages, HelpTest, testing::ValuesIn(HelpCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(HelpPagePathTest, WithoutALanguageCodeTheCommonPage) {
    test::TTempFolder Folder;
    std::filesystem::create_directories(Folder.Path() / "help");
    Folder.Write("help/index.html", "x");
    EXPECT_EQ(HelpPagePath(Folder.Dir(), ""), Folder.Dir() + "help/index.html");
}

struct TCommandLineCase {
    std::vector<std::string> Args;
    bool Exit;
    const char* OutStart;
};

TEST(CommandLineTest, AnswersHelpAndVersionAndLeavesEverythingElseToTheProgram) {
    const TCommandLineCase Cases[] = {
        {{"--version"}, true, "Psykrona 2.1b\n"},
        {{"-v"}, true, "Psykrona 2.1b\n"},
        {{"--help"}, true, "Usage: psykrona [PROJECT]\n"},
        {{"-h"}, true, "Usage: psykrona [PROJECT]\n"},
        {{"-platform", "offscreen", "--version"}, true, "Psykrona 2.1b\n"},
        {{"plan.pkx", "--help"}, true, "Usage: psykrona [PROJECT]\n"},
        {{}, false, ""},
        {{"plan.pkx"}, false, ""},
        {{"--", "--version"}, false, ""},
        {{"--versions"}, false, ""},
    };
    for (const TCommandLineCase& C : Cases) {
        const TCommandLineAnswer A = AnswerCommandLine(C.Args);
        const std::string Call = C.Args.empty() ? "(none)" : C.Args.back();
        EXPECT_EQ(A.Exit, C.Exit) << Call;
        EXPECT_EQ(A.ExitCode, 0) << Call;
        EXPECT_EQ(A.Out.rfind(C.OutStart, 0), 0u) << Call << ": " << A.Out;
        EXPECT_EQ(A.Out.empty(), !C.Exit) << Call;
    }
}

} // namespace
} // namespace psykrona
