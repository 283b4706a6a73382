// This build tree installed (cmake --install into a temporary folder) and
// packed (cpack's Debian package, read with dpkg-deb, never installed). The
// window's files only where the build has the window.
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

std::vector<std::string> Programs() {
    return fs::exists(PSYKRONA_BINARY_DIR "/psykrona") ? std::vector<std::string>{"psykrona-cli", "psykrona"}
                                                       : std::vector<std::string>{"psykrona-cli"};
}

// Every data file and where it goes: examples as documentation, the rest beside the programs.
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

std::string Output(const std::string& Program, const std::vector<std::string>& Args, const std::vector<std::string>& Env = {}) {
    const test::TProcessResult R = test::RunProcess(Program, Args, Env);
    EXPECT_EQ(R.ExitCode, 0) << Program << " " << (Args.empty() ? "" : Args[0]) << ": " << R.Err;
    return R.Out;
}

// Staged with DESTDIR: programs (run with a time limit, as one that opened a
// window would hang the suite) answer through their launchers beside every
// data file, the desktop entry names the final path, and no cache is made.
TEST(InstallTest, ProgramsAnswerThroughTheirLaunchersBesideEveryDataFileAndFindTheirLanguages) {
    test::TTempFolder Stage;
    Output(PSYKRONA_CMAKE, {"--install", PSYKRONA_BUILD_TREE, "--prefix", "/opt/psykrona-test"},
           {"DESTDIR=" + Stage.Path().string()});
    const fs::path Prefix = Stage.Path() / "opt/psykrona-test";
    for (const std::string& Name : Programs()) {
        const fs::path Launcher = Prefix / "bin" / Name;
        EXPECT_EQ(fs::read_symlink(Launcher), fs::path("../lib/psykrona") / Name) << "the prefix stays movable";
        EXPECT_EQ(Output("/usr/bin/timeout", {"10", Launcher.string(), "--version"}),
                  Output(PSYKRONA_BINARY_DIR "/" + Name, {"--version"}));
    }
    for (const auto& [Source, Installed] : DataFiles()) {
        EXPECT_EQ(test::ReadFile(Prefix / Installed), test::ReadFile(Source)) << Installed;
    }
    const std::string Entry = test::ReadFile(Prefix / "share/applications/psykrona.desktop");
    EXPECT_NE(Entry.find("\nExec=/opt/psykrona-test/bin/psykrona %f\n"), std::string::npos) << Entry;
    EXPECT_FALSE(fs::exists(Prefix / "share/mime/mime.cache") || fs::exists("/opt/psykrona-test"));
    // The chart reads the language list from the program's folder: installed
    // it finds it, a copy of the program's folder without it says it cannot.
    const fs::path Cli = Prefix / "lib/psykrona/psykrona-cli";
    test::TTempFolder Work;
    fs::copy(Cli.parent_path(), Work.Path(), fs::copy_options::recursive);
    fs::remove(Work.File("Languages.xml"));
    Output(Cli, {"table", PSYKRONA_SOURCE_DIR "/data/examples/winter-ahu.pkx"});
    for (const fs::path& Program : {Cli, Work.Path() / "psykrona-cli"}) {
        if (Output(Cli, {"--help"}).find("  chart ") == std::string::npos) {
            break; // a build without the chart command
        }
        const auto R = test::RunProcess("/usr/bin/timeout", {"10", Program.string(), "chart", "-",
                                                             Work.File("c.png"), "--width", "200", "--height", "150"});
        EXPECT_EQ(R.Err.find("Languages.xml") == std::string::npos, Program == Cli) << R.Err;
        EXPECT_EQ(R.Err.empty() && test::ReadFile(Work.File("c.png")).starts_with("\x89PNG"), Program == Cli) << R.Err;
    }
}

// The package: the program's version, dependencies found from the programs, every file under
// /usr owned by root, each expected one with its mode or link, each icon of its folder's size.
TEST(PackageTest, HoldsEveryFileInItsPlaceWithTheProgramsVersion) {
    test::TTempFolder Work;
    const std::string Log = Output(PSYKRONA_CPACK, {"-G", "DEB", "--config", PSYKRONA_BUILD_TREE "/CPackConfig.cmake",
                                                 "-B", Work.Path().string()});
    fs::path Deb;
    for (const auto& E : fs::directory_iterator(Work.Path())) {
        Deb = E.path().extension() == ".deb" ? E.path() : Deb;
    }
    ASSERT_FALSE(Deb.empty()) << "cpack made no package:\n" << Log;
    const std::string Control = Output("/usr/bin/dpkg-deb", {"-f", Deb.string(), "Version", "Depends"});
    const std::string Version = Output(test::CliPath(), {"--version"});
    EXPECT_NE(Control.find("Version: " + Version.substr(Version.find(' ') + 1)), std::string::npos) << Control;
    EXPECT_NE(Control.find("libxml2 (>= "), std::string::npos) << Control;
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
        EXPECT_TRUE(Packed.count(Path) && (Mode.empty() || Packed[Path] == Mode)) << Path << ": " << Packed[Path];
    }

    test::TTempFolder Unpacked;
    Output("/usr/bin/dpkg-deb", {"-x", Deb.string(), Unpacked.Path().string()});
    const std::regex SizedIcon(R"(/usr/share/icons/hicolor/(\d+)x(\d+)/apps/psykrona\.png)");
    int Icons = 0;
    for (const auto& [Path, Mode] : Packed) {
        std::smatch M;
        if (std::regex_match(Path, M, SizedIcon)) {
            const std::string Kind = Output("/usr/bin/file", {"-b", (Unpacked.Path() / Path.substr(1)).string()});
            EXPECT_TRUE(Kind.starts_with("PNG image data, " + M[1].str() + " x " + M[2].str() + ",")) << Path << Kind;
            ++Icons;
        }
    }
    EXPECT_TRUE(Programs().size() == 1 || Icons >= 4) << Icons;
}

} // namespace
} // namespace psykrona
