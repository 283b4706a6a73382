// psykrona-cli print, run from a copy installed with the files of data/:
// the pages asked for, one PDF; without the logo a failure and no file.
#include "tests/printing/QtPrintSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace psykrona {
namespace {

namespace fs = std::filesystem;

TEST(CliPrint, PrintsThePagesAskedForAndFailsWithoutTheLogoLeavingNoFile) {
    const std::string Example = std::string(PSYKRONA_SOURCE_DIR) + "/data/examples/summer-cooling.pkx";
    test::TTempFolder Dir;
    fs::copy_file(test::CliPath(), Dir.File("psykrona-cli"));
    for (const char* Name : {"Languages.xml", "English.lng", "QRLOGO.jpg"}) {
        fs::copy_file(std::string(PSYKRONA_SOURCE_DIR) + "/data/" + Name, Dir.File(Name));
    }
    auto Print = [&](std::vector<std::string> Args) {
        Args.insert(Args.begin(), {"print", Example});
        return test::RunProcess(Dir.File("psykrona-cli"), Args, {"LC_ALL=C"});
    };
    auto R = Print({Dir.File("both.pdf")});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_EQ(test::PdfPageCount(Dir.Read("both.pdf")), 2);
    R = Print({Dir.File("chart.pdf"), "--pages", "chart"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_EQ(test::PdfPageCount(Dir.Read("chart.pdf")), 1);
    EXPECT_EQ(Print({Dir.File("x.pdf"), "--pages", "data,graph"}).ExitCode, 2);

    fs::remove(Dir.File("QRLOGO.jpg"));
    R = Print({Dir.File("nologo.pdf")});
    EXPECT_EQ(R.ExitCode, 1);
    EXPECT_NE(R.Err.find("QRLOGO.jpg"), std::string::npos) << R.Err;
    EXPECT_FALSE(fs::exists(Dir.File("nologo.pdf")));
    EXPECT_FALSE(fs::exists(Dir.File("x.pdf")));
}

} // namespace
} // namespace psykrona
