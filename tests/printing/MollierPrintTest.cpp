// The print layout on the recording canvas, its pages against golden files;
// JPEG and BMP bytes, round trips and refusals; the picture format of a name.
#include "tests/printing/PrintFixture.h"
#include "tests/support/RecordingPrinter.h"

#include <gtest/gtest.h>

#include <regex>
#include <tuple>

namespace psykrona {
namespace {

using test::TPrintPage;

const char* const Header = R"(
English texts; a character is 0.6 of the font's height wide; the logo is a 30 x 14 test picture.
To rewrite after a meant change: PSYKRONA_UPDATE_GOLDEN=1 build/test/tests/printing_tests
  --gtest_filter='PrintGolden.*', then read `git diff`. Look at: every text inside the page and
its column, values right-aligned under their units, the long name, number and company cut with
"…" before the next column, process values in the row of the later point; on the chart pages
the title, chart, project block and logo. Print the same with psykrona-cli and look at it.)";

// A heating, a cooling and an unjoined point at 1.8 m³/s; a name, a number
// and the company too long for their columns, a name in two-byte characters.
void Fill(TPrintPage& Page) {
    Page.English();
    Page.Doc.AirFlow = 1.8;
    Page.AddPoint(-8, 0.0015).Name = "Outdoor air";
    Page.AddPoint(21.5, 0.0015).Name = "After the preheating coil in the supply air handling unit AHU-01";
    Page.AddPoint(30, 0.0123).Name = "Lüftungsgerät őőőőőőőőőőőőőőőőőőőő";
    Page.AddPoint(14.123456789, 0.0095).LineToNext = false;
    Page.AddPoint(24, 0.009).Number = 987654321;
    Page.Layout.FProjectName = "Office block";
    Page.Layout.FSignature = "K. Lind";
    Page.Layout.FCompany = "Nordvent Luftbehandling och Klimatteknik Aktiebolag, Göteborg";
}

// The pages against their golden files; printed again with "," as the
// separator, every number text carries it, once.
TEST(PrintGolden, DataPageChartPageAndPicture) {
    const std::tuple<const char*, int, int, const char*> Cases[] = {
        {"data-page.txt", 4672, TMollierPrint::KDataPage, "the data page at 4672 x 6774"},
        {"chart-page.txt", 4672, TMollierPrint::KChartPage, "the chart page at 4672 x 6774"},
        {"picture.txt", 680, TMollierPrint::KChartPicture, "the chart picture at 680 x 680"}};
    for (const auto& [File, Width, Layout, What] : Cases) {
        SetDecimalSeparator('.');
        TPrintPage Page(Width, Width == 680 ? 680 : 6774);
        Fill(Page);
        Page.Print(Layout);
        const std::string Path = std::string(PSYKRONA_SOURCE_DIR) + "/tests/printing/golden/" + File;
        const std::string About = std::string("The print layout's calls on the recording canvas, one a line: ") + What;
        EXPECT_EQ(test::CompareWithGolden(Path, About + "." + Header, Page.Canvas.ToText()), "");
        SetDecimalSeparator(',');
        int Numbers = 0;
        for (const auto& C : Page.Print(Layout)) {
            const bool Text = C.Name == "TextOut" && !C.Text.starts_with("Psykrona ");
            Numbers += Text && std::regex_search(C.Text, std::regex("[0-9],[0-9]"));
            EXPECT_FALSE(Text && std::regex_search(C.Text, std::regex("[0-9][.,][0-9]*[.,]|[0-9]\\.[0-9]")))
                << File << ": " << C.Text;
        }
        EXPECT_GT(Numbers, 10) << File;
    }
}

// Each page is a job on the printer's canvas, at its size and with its
// fonts, the canvas handed back after; without a printer or a canvas nothing
// is drawn. A missing logo fails the page where it is drawn (first on the
// data page, last on the chart page), naming the file.
TEST(MollierPrint, EachPageIsAJobOnThePrintersCanvas) {
    TPrintPage Page(100, 100);
    test::TRecordingPrinter Printer;
    Page.Layout.FPrinter = &Printer;
    Page.Layout.FCanvas = nullptr;
    Page.Layout.PrintPage(TMollierPrint::KChartPage, true);
    Page.Layout.PrintPage(TMollierPrint::KDataPage, true);
    ASSERT_EQ(Printer.Jobs.size(), 2u);
    EXPECT_TRUE(Printer.Faults.empty()) << Printer.Faults.front();
    EXPECT_EQ(Page.Layout.FPageWidth, Printer.PageWidth()) << "the size is the printer's";
    EXPECT_TRUE(Page.Draw.DirectFonts());
    EXPECT_EQ(Page.Draw.Canvas(), nullptr) << "the printer's canvas went with its job";
    EXPECT_GT(Printer.Jobs[0].Named("LineTo").size(), 100u);
    Page.Layout.FPrinter = nullptr;
    EXPECT_THROW(Page.Layout.PrintPage(TMollierPrint::KDataPage, false), EPrintError);
    EXPECT_THROW(Page.Layout.PrintPage(TMollierPrint::KDataPage, true), EPrintError);
    Page.Layout.FCanvas = &Page.Canvas;
    std::filesystem::remove(Page.Folder.File("QRLOGO.jpg"));
    try {
        Page.Print(TMollierPrint::KDataPage);
        FAIL() << "the data page drew without its logo";
    } catch (const EPictureError& E) {
        EXPECT_NE(std::string(E.what()).find(Page.Folder.File("QRLOGO.jpg")), std::string::npos) << E.what();
    }
    EXPECT_EQ(Page.Canvas.DrawingCount(), 0);
    EXPECT_THROW(Page.Print(TMollierPrint::KChartPage), EPictureError);
    EXPECT_GT(Page.Canvas.Named("LineTo").size(), 100u) << "the chart drawn before the logo stays";
}

// Four quadrants: red, white, black and a blue-grey.
TPicture Quadrants(int W, int H) {
    TPicture P{W, H, {}};
    const TColor Colors[4] = {{220, 20, 20}, {255, 255, 255}, {0, 0, 0}, {60, 90, 160}};
    for (int I = 0; I < W * H; ++I) {
        const TColor C = Colors[(I / W >= H / 2) * 2 + (I % W >= W / 2)];
        P.Rgb.insert(P.Rgb.end(), {C.R, C.G, C.B});
    }
    return P;
}

// One baseline frame (no progressive one) of the picture's size with three
// full-resolution components, and the colours back within a few steps.
TEST(PictureFiles, JpegIsBaselineAndKeepsTheColours) {
    const TPicture In = Quadrants(680, 480);
    const std::string Bytes = test::JpegBytes(In);
    const std::size_t Sof = Bytes.find("\xFF\xC0");
    ASSERT_NE(Sof, std::string::npos);
    EXPECT_EQ(Bytes.find("\xFF\xC2"), std::string::npos);
    auto At = [&](std::size_t I) { return static_cast<std::uint8_t>(Bytes[Sof + I]); };
    EXPECT_EQ((std::vector<int>{At(4), At(5) << 8 | At(6), At(7) << 8 | At(8), At(9), At(11), At(14), At(17)}),
              (std::vector<int>{8, 480, 680, 3, 0x11, 0x11, 0x11}));
    const TPicture Out = DecodeJpeg(Bytes);
    ASSERT_EQ(Out.Rgb.size(), In.Rgb.size());
    for (const std::size_t I : {120 * 680 + 170, 120 * 680 + 510, 360 * 680 + 170, 360 * 680 + 510}) {
        for (std::size_t C = 0; C < 3; ++C) {
            EXPECT_NEAR(Out.Rgb[I * 3 + C], In.Rgb[I * 3 + C], 6) << "pixel " << I << " channel " << C;
        }
    }
}

// Damaged or foreign data, a header promising 60000 × 60000 pixels (10.8 GB
// decoded) and pictures without their pixels are refused.
TEST(PictureFiles, DamagedForeignOrHugeJpegsAreRefused) {
    const std::string Good = test::JpegBytes(Quadrants(64, 48));
    const std::string Huge = std::string(Good).replace(Good.find("\xFF\xC0") + 5, 4, "\xEA\x60\xEA\x60");
    for (const std::string& Bytes : {std::string(), std::string("not a JPEG"), Good.substr(0, Good.size() / 2),
                                     std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), Huge}) {
        EXPECT_THROW(DecodeJpeg(Bytes), EPictureError) << Bytes.size();
    }
    for (const TPicture& Bad : {TPicture{}, TPicture{4, 4, std::vector<std::uint8_t>(10)}}) {
        EXPECT_THROW(EncodeJpeg(Bad), EPictureError);
        EXPECT_THROW(EncodeBmp(Bad), EPictureError);
    }
}

TEST(PictureFiles, BmpRowsAreBottomUpBlueGreenRedAndPaddedToFourBytes) {
    // 3 × 2: a red, green, blue row over a white, black, grey one.
    const TPicture P{3, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128}};
    const std::vector<std::uint8_t> Header = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                              3,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 24, 0, 0, 0};
    const auto B = EncodeBmp(P);
    ASSERT_EQ(B.size(), 78u);
    EXPECT_EQ(std::vector<std::uint8_t>(B.begin(), B.begin() + 38), Header);
    EXPECT_EQ(std::vector<std::uint8_t>(B.begin() + 54, B.end()),
              (std::vector<std::uint8_t>{255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0, //
                                         0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}));
}

// Only the exact endings choose: anything else is a bitmap.
TEST(PictureFiles, ThePictureFormatFollowsTheExactEndingOfTheName) {
    using enum TPictureFormat;
    const std::pair<const char*, TPictureFormat> Cases[] = {
        {"plan.jpg", Jpeg},  {"PLAN.JPG", Bmp},  {"plan.Jpg", Bmp},  {"plan.jpeg", Bmp}, {"plan", Bmp},
        {"plan.bmp", Bmp},   {".jpg", Jpeg},     {"jpg", Bmp},       {"a/b.jpg/c", Bmp}, {"plan.png", Png},
        {"PLAN.PNG", Bmp},   {"plan.svg", Svg},  {"plan.svgz", Bmp}, {"", Bmp}};
    for (const auto& [Name, Format] : Cases) {
        EXPECT_EQ(PictureFormatOf(Name), Format) << Name;
    }
}

} // namespace
} // namespace psykrona
