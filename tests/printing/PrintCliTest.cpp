// psykrona-cli print and picture, run from a copy installed into a
// temporary folder with the language files and the logo of data/: the PDF's
// pages, rendered with pdftoppm where it is installed and looked at for
// their logo and chart; the wrong calls; a missing logo.
#include "tests/files/FileTestSupport.h"
#include "tests/printing/QtPrintSupport.h"
#include "tests/support/ChildProcess.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>

namespace psykrona {
namespace {

namespace fs = std::filesystem;
using test::PdfPageCount;
using test::ReadBytes;
using test::RunProcess;
using test::TTempDir;

const std::string Example = std::string(PSYKRONA_SOURCE_DIR) + "/data/examples/summer-cooling.pkx";

// The program with the files it looks up beside itself.
struct TInstalled {
    TTempDir Dir;
    std::string Cli = Dir / "psykrona-cli";

    explicit TInstalled(bool WithLogo = true) {
        test::CopyCliTo(fs::path(Cli).parent_path());
        for (const char* Name :
             {"Languages.xml", "English.lng", "Swedish.lng", "Hungarian.lng", "QRLOGO.jpg"}) {
            if (WithLogo || std::string(Name) != "QRLOGO.jpg") {
                fs::copy_file(std::string(PSYKRONA_SOURCE_DIR) + "/data/" + Name, Dir / Name);
            }
        }
    }

    test::TProcessResult Run(const std::vector<std::string>& Args) const {
        return RunProcess(Cli, Args, {"LC_ALL=C"});
    }
};

bool HavePdftoppm() {
    return std::system("pdftoppm -v > /dev/null 2>&1") == 0;
}

TEST(CliPrint, PrintsTheDataPageAndTheChartPageIntoOnePdf) {
    TInstalled Program;
    const std::string Pdf = Program.Dir / "project.pdf";
    const auto R = Program.Run({"print", Example, Pdf, "--project", "Office block", "--date", "2024-05-14",
                                "--signature", "K. Lind", "--company", "Nordvent"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_EQ(R.Err, "");
    const std::string Bytes = ReadBytes(Pdf);
    ASSERT_EQ(Bytes.substr(0, 5), "%PDF-");
    EXPECT_EQ(PdfPageCount(Bytes), 2);
    // A4 portrait in points.
    EXPECT_NE(Bytes.find("/MediaBox [0 0 595.000000 842.000000]"), std::string::npos);

    if (!HavePdftoppm()) {
        GTEST_SKIP() << "pdftoppm is not installed; the pages were not looked at";
    }
    // At 30 dpi a page is 248 × 351 pixels.
    const std::string Prefix = Program.Dir / "page";
    ASSERT_EQ(std::system(("pdftoppm -r 30 -png '" + Pdf + "' '" + Prefix + "'").c_str()), 0);
    const QImage Data(QString::fromStdString(Prefix + "-1.png"));
    const QImage Chart(QString::fromStdString(Prefix + "-2.png"));
    ASSERT_EQ(Data.size(), QSize(248, 351));
    ASSERT_EQ(Chart.size(), QSize(248, 351));

    // The data page: the logo at the top left, within 0.04 H to 0.19 H
    // across and 0.015 H to 0.085 H down (plus the margins), and no chart.
    const QRect DataLogo = test::BoundsOf(Data, test::IsLogoBlue);
    ASSERT_FALSE(DataLogo.isEmpty());
    EXPECT_GE(DataLogo.left(), 20);
    EXPECT_LE(DataLogo.right(), 72);
    EXPECT_GE(DataLogo.top(), 10);
    EXPECT_LE(DataLogo.bottom(), 35);
    EXPECT_TRUE(test::BoundsOf(Data, test::IsChartRed).isEmpty());

    // The chart page: red lines over most of the page, the logo in the
    // bottom right corner below them.
    const QRect Red = test::BoundsOf(Chart, test::IsChartRed);
    ASSERT_FALSE(Red.isEmpty());
    EXPECT_GT(Red.width(), 180);
    EXPECT_GT(Red.height(), 250);
    const QRect ChartLogo = test::BoundsOf(Chart, test::IsLogoBlue);
    ASSERT_FALSE(ChartLogo.isEmpty());
    EXPECT_GE(ChartLogo.left(), 160);
    EXPECT_LE(ChartLogo.right(), 226);
    EXPECT_GE(ChartLogo.top(), 310);
    EXPECT_LE(ChartLogo.bottom(), 346);
    EXPECT_LT(Red.bottom(), ChartLogo.top());
}

TEST(CliPrint, PagesPicksTheLayoutsAndWrongCallsAreRefused) {
    TInstalled Program;
    const std::string Pdf = Program.Dir / "chart.pdf";
    auto R = Program.Run({"print", Example, Pdf, "--pages", "chart"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_EQ(PdfPageCount(ReadBytes(Pdf)), 1);

    struct TCase {
        std::vector<std::string> Args;
        const char* Says;
    };
    const TCase Wrong[] = {
        {{"print", Example, Program.Dir / "x.pdf", "--pages", "data,graph"}, "'graph'"},
        {{"print", Example, Program.Dir / "x.pdf", "--pages", "data,data"}, "twice"},
        {{"print", Example, Program.Dir / "x.png"}, ".pdf"},
        {{"print", Example}, ".pdf"},
        {{"picture", Example}, "output file"},
    };
    for (const TCase& C : Wrong) {
        R = Program.Run(C.Args);
        EXPECT_EQ(R.ExitCode, 2) << C.Args.back();
        EXPECT_NE(R.Err.find(C.Says), std::string::npos) << R.Err;
    }
    EXPECT_FALSE(fs::exists(Program.Dir / "x.pdf"));
}

TEST(CliPrint, AMissingLogoFailsThePrintAndLeavesNoFile) {
    TInstalled Program(false);
    const std::string Pdf = Program.Dir / "project.pdf";
    const auto R = Program.Run({"print", Example, Pdf});
    EXPECT_EQ(R.ExitCode, 1);
    EXPECT_NE(R.Err.find("QRLOGO.jpg"), std::string::npos) << R.Err;
    EXPECT_FALSE(fs::exists(Pdf));
    // The picture has no logo and does not need one.
    EXPECT_EQ(Program.Run({"picture", Example, Program.Dir / "chart.jpg"}).ExitCode, 0);
}

TEST(CliPicture, WritesThePictureInTheFormatOfTheExactEnding) {
    TInstalled Program;
    struct TCase {
        const char* Name;
        std::string Magic;
    };
    const TCase Cases[] = {{"plan.jpg", "\xFF\xD8\xFF"}, {"PLAN.JPG", "BM"}, {"plan.png", "\x89PNG"}};
    for (const TCase& C : Cases) {
        const auto R = Program.Run({"picture", Example, Program.Dir / C.Name});
        ASSERT_EQ(R.ExitCode, 0) << C.Name << ": " << R.Err;
        EXPECT_EQ(ReadBytes(Program.Dir / C.Name).substr(0, C.Magic.size()), C.Magic) << C.Name;
    }
    const QImage Png(QString::fromStdString(Program.Dir / "plan.png"));
    EXPECT_EQ(Png.size(), QSize(680, 680));
}

} // namespace
} // namespace psykrona
