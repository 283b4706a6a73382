// psykrona-cli loads only what a command uses: the calculator's commands no
// Qt and no libxml2, the project commands libxml2 but no Qt; the others run
// in helper programs beside the tool, which it must find or name.
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace psykrona {
namespace {

namespace fs = std::filesystem;

using test::CliPath;
using test::RunProcess;

// The shared libraries the dynamic loader opened for a command, through
// every program the command ran in, from its LD_DEBUG=libs trace.
std::string LoadedLibraries(const std::vector<std::string>& Args, int& ExitCode) {
    const auto R = RunProcess(CliPath(), Args, {"LC_ALL=C", "LD_DEBUG=libs"});
    ExitCode = R.ExitCode;
    std::istringstream Trace(R.Err);
    std::string Line;
    std::string Loaded;
    while (std::getline(Trace, Line)) {
        const auto At = Line.find("calling init: ");
        if (At != std::string::npos) {
            Loaded += Line.substr(At + 14) + "\n";
        }
    }
    return Loaded;
}

TEST(CliStart, EachCommandLoadsOnlyTheLibrariesItUses) {
    int Code = -1;
    const std::string State = LoadedLibraries({"state", "--temp", "20", "--relhum", "50"}, Code);
    EXPECT_EQ(Code, 0);
    EXPECT_NE(State.find("libc.so"), std::string::npos) << "no trace to judge:\n" << State;
    EXPECT_EQ(State.find("libQt6"), std::string::npos) << State;
    EXPECT_EQ(State.find("libxml2"), std::string::npos) << State;
    EXPECT_EQ(LoadedLibraries({"--version"}, Code).find("libxml2"), std::string::npos);

    const std::string Table =
        LoadedLibraries({"table", std::string(PSYKRONA_SOURCE_DIR) + "/data/examples/winter-ahu.pkx"}, Code);
    EXPECT_EQ(Code, 0);
    EXPECT_NE(Table.find("libxml2"), std::string::npos) << Table;
    EXPECT_EQ(Table.find("libQt6"), std::string::npos) << Table;

#ifdef PSYKRONA_CLI_WITH_QT
    test::TTempFolder Work;
    const std::string Chart = LoadedLibraries({"chart", "-", Work.File("c.svg"), "--width", "50"}, Code);
    EXPECT_EQ(Code, 0);
    EXPECT_NE(Chart.find("libQt6Gui"), std::string::npos) << Chart;
#endif
}

// A tool copied away from its helpers still solves states, and names the
// helper it misses for the others, with no output and exit code 1.
TEST(CliStart, AMissingHelperIsNamedAndTheToolsOwnCommandsStillWork) {
    test::TTempFolder Work;
    fs::copy_file(CliPath(), Work.Path() / "psykrona-cli");
    const std::string Tool = Work.File("psykrona-cli");

    const auto Table = RunProcess(Tool, {"table", "-"}, {"LC_ALL=C"});
    EXPECT_EQ(Table.ExitCode, 1);
    EXPECT_EQ(Table.Out, "");
    EXPECT_EQ(Table.Err, "psykrona-cli table: cannot start " + Work.File("psykrona-cli-files") +
                             ": No such file or directory\n");

    const auto State = RunProcess(Tool, {"state", "--temp", "20", "--relhum", "50"}, {"LC_ALL=C"});
    EXPECT_EQ(State.ExitCode, 0) << State.Err;
    EXPECT_NE(State.Out.find("Relative humidity  50.0 %"), std::string::npos) << State.Out;

    // The help still lists every command, also those of the missing helpers.
    const auto Help = RunProcess(Tool, {"--help"}, {"LC_ALL=C"});
    EXPECT_EQ(Help.ExitCode, 0);
    EXPECT_NE(Help.Out.find("\n  table PROJECT"), std::string::npos) << Help.Out;
}

} // namespace
} // namespace psykrona
