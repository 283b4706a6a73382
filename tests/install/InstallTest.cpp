// cmake --install of this build tree into temporary prefixes: the programs
// land in one folder with their data and answer through the launchers in bin,
// and the desktop entry, icons and MIME type are where desktops look for
// them. The GUI program is checked only when the build has it.
#include "tests/install/InstallSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace psykrona {
namespace {

namespace fs = std::filesystem;

using test::PngSize;

std::string ReadFile(const fs::path& P) { return test::ReadWholeFile(P); }

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
    EXPECT_EQ(Cli.Out, "psykrona-cli 2.1b\n");
    // Project files are read by a helper installed beside the tool.
    const test::TProcessResult Table = RunInstalled(
        Bin() / "psykrona-cli", {"table", (fs::path(PSYKRONA_SOURCE_DIR) / "data/examples/winter-ahu.pkx").string()});
    EXPECT_EQ(Table.ExitCode, 0) << Table.Err;
    if (Programs.size() == 2) {
        const test::TProcessResult Gui = RunInstalled(Bin() / "psykrona", {"--version"});
        EXPECT_EQ(Gui.ExitCode, 0) << Gui.Err;
        EXPECT_EQ(Gui.Out, "Psykrona 2.1b\n");
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
    for (const char* Page : {"help/index.html", "help/en/index.html", "help/sv/index.html",
                             "help/hu/index.html", "Languages.xml", "English.lng"}) {
        EXPECT_TRUE(fs::is_regular_file(ProgramDir() / Page)) << Page;
    }
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
    EXPECT_EQ(PngSize(Work.File("chart.png")), std::make_pair(200, 150));

    for (const char* Program : {"psykrona-cli", "psykrona-cli-draw"}) {
        fs::copy_file(ProgramDir() / Program, Work.Path() / Program);
    }
    const test::TProcessResult Stray =
        RunInstalled(Work.Path() / "psykrona-cli",
                     {"chart", "-", Work.File("stray.png"), "--width", "200", "--height", "150"});
    EXPECT_NE(Stray.Err.find("Languages.xml"), std::string::npos) << Stray.Err;
}

TEST_F(InstallTest, DesktopEntryIconsAndMimeTypeAreWhereDesktopsLook) {
    const std::string Entry = ReadFile(Share() / "applications" / "psykrona.desktop");
    const std::string Launcher = (Bin() / "psykrona").string();
    EXPECT_NE(Entry.find("\nExec=" + Launcher + " %f\n"), std::string::npos) << Entry;
    EXPECT_NE(Entry.find("\nTryExec=" + Launcher + "\n"), std::string::npos) << Entry;
    EXPECT_NE(Entry.find("\nIcon=psykrona\n"), std::string::npos);
    EXPECT_NE(Entry.find("\nMimeType=application/x-psykrona-project;"), std::string::npos);
    EXPECT_EQ(Entry.find('@'), std::string::npos) << "every placeholder is filled";
    if (fs::exists("/usr/bin/desktop-file-validate")) {
        const test::TProcessResult Valid = test::RunProcess(
            "/usr/bin/desktop-file-validate", {(Share() / "applications" / "psykrona.desktop").string()});
        EXPECT_EQ(Valid.ExitCode, 0) << Valid.Out << Valid.Err;
    }

    const fs::path Icons = Share() / "icons" / "hicolor";
    EXPECT_EQ(PngSize(Icons / "48x48" / "apps" / "psykrona.png"), std::make_pair(48, 48));
    EXPECT_EQ(PngSize(Icons / "256x256" / "apps" / "psykrona.png"), std::make_pair(256, 256));
    EXPECT_NE(ReadFile(Icons / "scalable" / "apps" / "psykrona.svg").find("<svg"), std::string::npos);

    const std::string Mime = ReadFile(Share() / "mime" / "packages" / "psykrona.xml");
    EXPECT_NE(Mime.find("<glob pattern=\"*.pkx\"/>"), std::string::npos);
    // Where the MIME database tool is present, the install has compiled the
    // type into the prefix's database, which also proves the file valid.
    if (fs::exists("/usr/bin/update-mime-database")) {
        const std::string Globs = ReadFile(Share() / "mime" / "globs2");
        EXPECT_NE(Globs.find("application/x-psykrona-project:*.pkx"), std::string::npos) << Globs;
        EXPECT_NE(Globs.find("application/x-psykrona-project-old:*.pkr"), std::string::npos);
    }
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
