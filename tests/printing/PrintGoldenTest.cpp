// The print layout's pages, call by call, against reviewed golden files.
#include "tests/printing/PrintFixture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace psykrona {
namespace {

using test::TPrintPage;

const char* const Header = R"(
English texts; a character is 0.6 of the font's height wide; the logo is a 30 x 14 test picture.
To rewrite after a meant change: PSYKRONA_UPDATE_GOLDEN=1 build/test/tests/printing_tests
  --gtest_filter='PrintGolden.*', then read `git diff` before committing it.
Look at: every text inside the page and in its column, values right-aligned under their
units, the long name, number and company cut with "…" before the next column (a text that
fits is whole), process values in the row of the later point; on the chart pages the title,
the chart, the project block and the logo below the chart. Print the same with psykrona-cli
print / picture and look at the pages.)";

// A heating, a cooling and an unjoined point at 1.8 m³/s. The texts too long
// for their columns (a name, a number, the company) are cut with "…" before
// the next column, the logo on the chart page; a name in two-byte
// characters is cut between characters.
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

TEST(PrintGolden, DataPageChartPageAndPicture) {
    const std::tuple<const char*, int, int, const char*> Cases[] = {
        {"data-page.txt", 4672, TMollierPrint::KDataPage, "the data page at 4672 x 6774"},
        {"chart-page.txt", 4672, TMollierPrint::KChartPage, "the chart page at 4672 x 6774"},
        {"picture.txt", 680, TMollierPrint::KChartPicture, "the chart picture at 680 x 680"}};
    for (const auto& [File, Width, Layout, What] : Cases) {
        TPrintPage Page(Width, Width == 680 ? 680 : 6774);
        Fill(Page);
        Page.Print(Layout);
        EXPECT_EQ(test::CompareWithGolden(std::string(PSYKRONA_SOURCE_DIR) + "/tests/printing/golden/" + File,
                                          std::string("The print layout's calls on the recording canvas, one a line: ") +
                                              What + "." + Header,
                                          Page.Canvas.ToText()),
                  "");
    }
}

} // namespace
} // namespace psykrona
