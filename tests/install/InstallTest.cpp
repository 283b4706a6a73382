// This build tree installed (cmake --install into temporary prefixes) and
// packed (cpack's Debian package, read with dpkg-deb, never installed): the
// programs in one folder beside every data file, launchers in bin, and the
// desktop files where desktops look. The window's files only where the build
// has the window.
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

namespace psykrona {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

std::vector<std::string> Programs() {
    std::vector<std::string> Names{"psykrona-cli"};
    if (fs::exists(fs::path(PSYKRONA_BINARY_DIR) / "psykrona")) {
        Names.push_back("psykrona");
    }
    return Names;
}

// Every data file by its path below data/ and where it goes below the
// installation's root: the examples as documentation, the rest beside the programs.
std::map<fs::path, std::string> DataFiles() {
    const fs::path Data = fs::path(PSYKRONA_SOURCE_DIR) / "data";
    std::map<fs::path, std::string> Files;
    for (const auto& E : fs::recursive_directory_iterator(Data)) {
        const std::string Relative = fs::relative(E.path(), Data).generic_string();
        if (E.is_regular_file() && Relative != "CMakeLists.txt") {
            Files[E.path()] = (Relative.starts_with("examples/") ? "share/doc/psykrona/" : "lib/psykrona/") + Relative;
        }
    }
    EXPECT_GE(Files.size(), 10u);
    return Files;
}

std::string Output(const std::string& Program, const std::vector<std::string>& Args,
                const std::vector<std::string>& Env = {}) {
    const test::TProcessResult R = test::RunProcess(Program, Args, Env);
    EXPECT_EQ(R.ExitCode, 0) << Program << " " << (Args.empty() ? "" : Args[0]) << ": " << R.Err;
    return R.Out;
}

// Installed programs run with a time limit: one that opened a window instead
// of answering would hang the suite.
TEST(InstallTest, ProgramsAnswerThroughTheirLaunchersBesideEveryDataFileAndFindTheirLanguages) {
    test::TTempFolder Prefix;
    Output(PSYKRONA_CMAKE, {"--install", PSYKRONA_BUILD_TREE, "--prefix", Prefix.Path().string()});
    for (const std::string& Name : Programs()) {
        const fs::path Launcher = Prefix.Path() / "bin" / Name;
        ASSERT_TRUE(fs::is_symlink(Launcher)) << Launcher;
        EXPECT_TRUE(fs::read_symlink(Launcher).is_relative()) << "the prefix stays movable";
        EXPECT_EQ(fs::canonical(Launcher), fs::canonical(Prefix.Path() / "lib/psykrona" / Name));
        EXPECT_EQ(Output("/usr/bin/timeout", {"10", Launcher.string(), "--version"}),
                  Output(PSYKRONA_BINARY_DIR "/" + Name, {"--version"}));
    }
    for (const auto& [Source, Installed] : DataFiles()) {
        EXPECT_EQ(ReadFile(Prefix.Path() / Installed), ReadFile(Source)) << Installed;
    }
    // The chart reads the language list from the program's folder: installed
    // it finds it, a copy of the program elsewhere says it cannot.
    const fs::path Cli = Prefix.Path() / "lib/psykrona/psykrona-cli";
    test::TTempFolder Work;
    for (const char* Name : {"psykrona-cli", "psykrona-cli-files", "psykrona-cli-draw"}) {
        if (fs::exists(Cli.parent_path() / Name)) { // the tool with the helpers it hands commands to
            fs::copy_file(Cli.parent_path() / Name, Work.Path() / Name);
        }
    }
    EXPECT_EQ(test::RunProcess(Cli.string(), {"table", PSYKRONA_SOURCE_DIR "/data/examples/winter-ahu.pkx"}).ExitCode, 0);
    for (const fs::path& Program : {Cli, Work.Path() / "psykrona-cli"}) {
        if (Output(Cli, {"--help"}).find("  chart ") == std::string::npos) {
            break; // a build without the chart command
        }
        const auto R = test::RunProcess("/usr/bin/timeout", {"10", Program.string(), "chart", "-",
                                                             Work.File("c.png"), "--width", "200", "--height", "150"});
        EXPECT_EQ(R.Err.find("Languages.xml") == std::string::npos, Program == Cli) << R.Err;
        EXPECT_EQ(R.Err.empty() && ReadFile(Work.File("c.png")).starts_with("\x89PNG"), Program == Cli) << R.Err;
    }
}

TEST(InstallTest, DestdirStagesUnderItsFolderWithTheFinalPathsInside) {
    test::TTempFolder Stage;
    Output(PSYKRONA_CMAKE, {"--install", PSYKRONA_BUILD_TREE, "--prefix", "/opt/psykrona-test"},
        {"DESTDIR=" + Stage.Path().string()});
    const fs::path Root = Stage.Path() / "opt/psykrona-test";
    EXPECT_EQ(fs::read_symlink(Root / "bin/psykrona-cli"), fs::path("../lib/psykrona/psykrona-cli"));
    EXPECT_TRUE(fs::is_regular_file(Root / "lib/psykrona/Languages.xml"));
    const std::string Entry = ReadFile(Root / "share/applications/psykrona.desktop");
    EXPECT_NE(Entry.find("\nExec=/opt/psykrona-test/bin/psykrona %f\n"), std::string::npos) << Entry;
    EXPECT_FALSE(fs::exists(Root / "share/mime/mime.cache")) << "caches are the package manager's business";
    EXPECT_FALSE(fs::exists("/opt/psykrona-test"));
}

// The package: the program's version, dependencies found from the programs,
// every file under /usr and owned by root, each expected one with its mode
// or link, and each icon of the size its folder names.
TEST(PackageTest, HoldsEveryFileInItsPlaceWithTheProgramsVersion) {
    test::TTempFolder Work;
    const std::string Log = Output(PSYKRONA_CPACK, {"-G", "DEB", "--config", PSYKRONA_BUILD_TREE "/CPackConfig.cmake",
                                                 "-B", Work.Path().string()});
    fs::path Deb;
    for (const auto& E : fs::directory_iterator(Work.Path())) {
        Deb = E.path().extension() == ".deb" ? E.path() : Deb;
    }
    ASSERT_FALSE(Deb.empty()) << "cpack made no package:\n" << Log;
    auto Field = [&](const std::string& Name) {
        const std::string Value = Output("/usr/bin/dpkg-deb", {"-f", Deb.string(), Name});
        return Value.substr(0, Value.find('\n'));
    };
    EXPECT_EQ("psykrona-cli " + Field("Version") + "\n", Output(test::CliPath(), {"--version"}));
    EXPECT_NE(Field("Depends").find("libxml2 (>= "), std::string::npos) << Field("Depends");

    std::map<std::string, std::string> Packed; // path: mode, or "-> target" for a link
    std::istringstream Listing(Output("/usr/bin/dpkg-deb", {"-c", Deb.string()}));
    for (std::string Line; std::getline(Listing, Line);) {
        std::istringstream Fields(Line);
        std::string Mode, Owner, Size, Day, Time, Path, Arrow, Target;
        Fields >> Mode >> Owner >> Size >> Day >> Time >> Path >> Arrow >> Target;
        Path.erase(0, Path.starts_with("./") ? 1 : 0);
        EXPECT_TRUE(Path.starts_with("/usr/") && Owner == "root/root") << Line;
        EXPECT_EQ(Path.find(PSYKRONA_BUILD_TREE), std::string::npos) << "a build path leaked: " << Line;
        Packed[Path] = Target.empty() ? Mode : "-> " + Target;
    }
    std::map<std::string, std::string> Expected{{"/usr/share/doc/psykrona/copyright", ""},
                                                {"/usr/share/doc/psykrona/changelog.gz", ""}};
    for (const std::string& Name : Programs()) {
        Expected["/usr/lib/psykrona/" + Name] = "-rwxr-xr-x";
        Expected["/usr/bin/" + Name] = "-> ../lib/psykrona/" + Name;
        Expected["/usr/share/man/man1/" + Name + ".1.gz"] = "";
    }
    for (const char* Helper : {"psykrona-cli-files", "psykrona-cli-draw"}) { // beside the tool, no launcher
        if (fs::exists(fs::path(PSYKRONA_BINARY_DIR) / Helper)) {
            Expected[std::string("/usr/lib/psykrona/") + Helper] = "-rwxr-xr-x";
        }
    }
    for (const auto& [Source, Installed] : DataFiles()) {
        Expected["/usr/" + Installed] = "-rw-r--r--";
    }
    for (const auto& [Path, Mode] : Expected) {
        ASSERT_EQ(Packed.count(Path), 1u) << Path;
        EXPECT_TRUE(Mode.empty() || Packed[Path] == Mode) << Path << ": " << Packed[Path];
    }

    test::TTempFolder Unpacked;
    Output("/usr/bin/dpkg-deb", {"-x", Deb.string(), Unpacked.Path().string()});
    const std::regex SizedIcon(R"(/usr/share/icons/hicolor/(\d+x\d+)/apps/psykrona\.png)");
    int Icons = 0;
    for (const auto& [Path, Mode] : Packed) {
        std::smatch M;
        if (std::regex_match(Path, M, SizedIcon)) {
            const std::string Png = ReadFile(Unpacked.Path() / Path.substr(1));
            ASSERT_TRUE(Png.size() > 24 && Png.starts_with("\x89PNG")) << Path;
            auto Be32 = [&](std::size_t At) {
                unsigned V = 0;
                for (std::size_t I = At; I < At + 4; ++I) {
                    V = V << 8 | static_cast<unsigned char>(Png[I]);
                }
                return std::to_string(V);
            };
            EXPECT_EQ(Be32(16) + "x" + Be32(20), M[1].str()) << Path;
            ++Icons;
        }
    }
    EXPECT_TRUE(Programs().size() == 1 || Icons >= 4) << Icons;
}

} // namespace
} // namespace psykrona
