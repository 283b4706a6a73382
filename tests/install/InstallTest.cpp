// cmake --install of this build tree into temporary prefixes: the programs
// land in one folder with their data and answer through the launchers in bin;
// the desktop entry, icons and MIME type are where desktops look for
// them. The GUI program is checked only when the build has it.
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace psykrona {
namespace {

namespace fs = std::filesystem;

using test::ReadFile;

test::TProcessResult Install(const fs::path& Prefix, const std::vector<std::string>& Env = {}) {
    return test::RunProcess(PSYKRONA_CMAKE, {"--install", PSYKRONA_BUILD_TREE, "--prefix", Prefix.string()},
                            Env);
}

// Runs an installed program with a time limit, so a program that opens a
// window instead of answering cannot hang the suite.
test::TProcessResult RunInstalled(const fs::path& Program, const std::vector<std::string>& Args) {
    std::vector<std::string> Call{"10", Program.string()};
    Call.insert(Call.end(), Args.begin(), Args.end());
    return test::RunProcess("/usr/bin/timeout", Call);
}

class InstallTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Prefix = new test::TTempFolder;
        Result = new test::TProcessResult(Install(Prefix->Path()));
    }
    static void TearDownTestSuite() {
        delete Result;
        delete Prefix;
    }
    void SetUp() override { ASSERT_EQ(Result->ExitCode, 0) << Result->Out << Result->Err; }

    static fs::path ProgramDir() { return Prefix->Path() / "lib" / "psykrona"; }
    static fs::path Bin() { return Prefix->Path() / "bin"; }
    static fs::path Share() { return Prefix->Path() / "share"; }

    static test::TTempFolder* Prefix;
    static test::TProcessResult* Result;
};

test::TTempFolder* InstallTest::Prefix = nullptr;
test::TProcessResult* InstallTest::Result = nullptr;

TEST_F(InstallTest, LaunchersInBinLeadToTheProgramsBesideTheirData) {
    std::vector<std::string> Programs{"psykrona-cli"};
    if (fs::exists(fs::path(PSYKRONA_BINARY_DIR) / "psykrona")) {
        Programs.push_back("psykrona");
    }
    for (const std::string& Name : Programs) {
        const fs::path Launcher = Bin() / Name;
        ASSERT_TRUE(fs::is_symlink(Launcher)) << Launcher;
        EXPECT_TRUE(fs::read_symlink(Launcher).is_relative()) << "the prefix stays movable";
        EXPECT_EQ(fs::canonical(Launcher), fs::canonical(ProgramDir() / Name));
    }
    const test::TProcessResult Cli = RunInstalled(Bin() / "psykrona-cli", {"--version"});
    EXPECT_EQ(Cli.ExitCode, 0);
    EXPECT_EQ(Cli.Out, test::RunProcess(test::CliPath(), {"--version"}).Out);
    if (Programs.size() == 2) {
        const test::TProcessResult Gui = RunInstalled(Bin() / "psykrona", {"--version"});
        EXPECT_EQ(Gui.ExitCode, 0) << Gui.Err;
        EXPECT_NE(Gui.Out, "");
    }
}

TEST_F(InstallTest, EveryDataFileIsInstalledBesideTheProgramsAndTheExamplesAsDocumentation) {
    const fs::path Data = fs::path(PSYKRONA_SOURCE_DIR) / "data";
    int Files = 0;
    for (const auto& E : fs::recursive_directory_iterator(Data)) {
        const fs::path Relative = fs::relative(E.path(), Data);
        if (!E.is_regular_file() || Relative == "CMakeLists.txt") {
            continue;
        }
        const bool Example = *Relative.begin() == "examples";
        const fs::path Installed =
            Example ? Share() / "doc" / "psykrona" / Relative : ProgramDir() / Relative;
        EXPECT_EQ(ReadFile(Installed), ReadFile(E.path())) << Installed;
        ++Files;
    }
    EXPECT_GE(Files, 10);
}

// The chart command reads the language list from its program directory and
// says so on stderr when it cannot; a copy of the program outside the
// installation shows that the check would notice.
TEST_F(InstallTest, TheInstalledCommandLineToolFindsItsLanguageFiles) {
    const test::TProcessResult Help = RunInstalled(Bin() / "psykrona-cli", {"--help"});
    if (Help.Out.find("  chart ") == std::string::npos) {
        GTEST_SKIP() << "this psykrona-cli has no chart command";
    }
    test::TTempFolder Work;
    const test::TProcessResult Chart = RunInstalled(
        Bin() / "psykrona-cli", {"chart", "-", Work.File("chart.png"), "--width", "200", "--height", "150"});
    EXPECT_EQ(Chart.ExitCode, 0) << Chart.Err;
    EXPECT_EQ(Chart.Err, "");
    EXPECT_TRUE(ReadFile(Work.File("chart.png")).starts_with("\x89PNG"));

    fs::copy_file(ProgramDir() / "psykrona-cli", Work.Path() / "psykrona-cli");
    const test::TProcessResult Stray =
        RunInstalled(Work.Path() / "psykrona-cli",
                     {"chart", "-", Work.File("stray.png"), "--width", "200", "--height", "150"});
    EXPECT_NE(Stray.Err.find("Languages.xml"), std::string::npos) << Stray.Err;
}

TEST(StagedInstallTest, DestdirStagesUnderItsFolderWithTheFinalPathsInside) {
    test::TTempFolder Stage;
    const test::TProcessResult R =
        test::RunProcess(PSYKRONA_CMAKE, {"--install", PSYKRONA_BUILD_TREE, "--prefix", "/opt/psykrona-test"},
                         {"DESTDIR=" + Stage.Path().string()});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    const fs::path Root = Stage.Path() / "opt" / "psykrona-test";
    EXPECT_EQ(fs::read_symlink(Root / "bin" / "psykrona-cli"), fs::path("../lib/psykrona/psykrona-cli"));
    EXPECT_TRUE(fs::is_regular_file(Root / "lib" / "psykrona" / "Languages.xml"));
    const std::string Entry = ReadFile(Root / "share" / "applications" / "psykrona.desktop");
    EXPECT_NE(Entry.find("\nExec=/opt/psykrona-test/bin/psykrona %f\n"), std::string::npos) << Entry;
    EXPECT_FALSE(fs::exists(Root / "share" / "mime" / "mime.cache"))
        << "caches are the package manager's business";
    EXPECT_FALSE(fs::exists("/opt/psykrona-test"));
}

} // namespace
} // namespace psykrona
