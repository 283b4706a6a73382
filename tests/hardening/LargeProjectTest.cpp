// A project of a million points (some 250 MB) opens and saves again to the
// same bytes, so every value came through with its 15 digits. Sanitizer
// builds take a tenth; PSYKRONA_LARGE_PROJECT_POINTS sets the count.
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/support/RandomProject.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <chrono>

namespace psykrona {
namespace {

TEST(LargeProject, MillionPointsOpenAndSaveAgain) {
    SetDecimalSeparator(',');
    const char* Given = std::getenv("PSYKRONA_LARGE_PROJECT_POINTS");
#if defined(__SANITIZE_ADDRESS__)
    const int Count = Given != nullptr ? std::atoi(Given) : 100000;
#else
    const int Count = Given != nullptr ? std::atoi(Given) : 1000000;
#endif
    test::TTempFolder Dir;
    Dir.Write("large.pkx", test::RandomProjectXml(Count, 7));
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    TMain Doc;
    Files.FProject = &Doc;
    const auto Start = std::chrono::steady_clock::now();
    Files.OpenProject(Dir.File("large.pkx"));
    const auto Opened = std::chrono::steady_clock::now();
    Files.SaveProjectAs(Dir.File("again.pkx"));
    std::printf("%d points: opened in %.2f s, saved in %.2f s\n", Count, std::chrono::duration<double>(Opened - Start).count(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - Opened).count());
    ASSERT_EQ(Doc.PointCount(), Count);
    EXPECT_TRUE(Dir.Read("again.pkx") == Dir.Read("large.pkx"));
}

} // namespace
} // namespace psykrona
