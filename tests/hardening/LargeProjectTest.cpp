// A project of a million points (some 250 MB) saves and opens again to the
// same project. Sanitizer builds take a tenth; PSYKRONA_LARGE_PROJECT_POINTS
// sets the count.
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>

namespace psykrona {
namespace {

TEST(LargeProject, MillionPointsSaveAndOpenAgain) {
    SetDecimalSeparator(',');
    const char* Given = std::getenv("PSYKRONA_LARGE_PROJECT_POINTS");
#if defined(__SANITIZE_ADDRESS__)
    const int Count = Given != nullptr ? std::atoi(Given) : 100000;
#else
    const int Count = Given != nullptr ? std::atoi(Given) : 1000000;
#endif
    TMain Doc;
    std::mt19937_64 Rng(7);
    // Values with all 15 digits, as the point editor leaves them.
    auto Decimal = [&](double Low, double High, double Scale) {
        return std::round(std::uniform_real_distribution<double>(Low, High)(Rng) * Scale) / Scale;
    };
    for (int I = 0; I < Count; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        std::tie(P.Number, P.Name, P.Temp, P.SpecHum, P.RelHum, P.Enthalpy, P.Prescribed1, P.Prescribed2, P.LineToNext) =
            std::tuple{I + 1, "P" + std::to_string(I + 1), Decimal(-20, 50, 1e13), Decimal(0, 0.03, 1e16),
                       Decimal(10, 100, 1e12), Decimal(-40, 100, 1e12), 1, 2, I % 2 == 0};
    }
    test::TTempFolder Dir;
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    Files.FProject = &Doc;
    const auto Start = std::chrono::steady_clock::now();
    Files.SaveProjectAs(Dir.File("large.pkx"));
    const auto Saved = std::chrono::steady_clock::now();
    TMain Back;
    Files.FProject = &Back;
    Files.OpenProject(Dir.File("large.pkx"));
    std::printf("%d points: saved in %.2f s, opened in %.2f s\n", Count,
                std::chrono::duration<double>(Saved - Start).count(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - Saved).count());
    ASSERT_EQ(Back.PointCount(), Count);
    int Different = 0;
    for (std::size_t I = 0; I < static_cast<std::size_t>(Count); ++I) {
        const TMollierPoint& A = Doc.Points[I];
        const TMollierPoint& B = Back.Points[I];
        Different += std::tie(A.Name, A.Number, A.Temp, A.SpecHum, A.RelHum, A.Enthalpy, A.Prescribed1, A.Prescribed2,
                              A.ShowInChart, A.LineToNext) !=
                     std::tie(B.Name, B.Number, B.Temp, B.SpecHum, B.RelHum, B.Enthalpy, B.Prescribed1, B.Prescribed2,
                              B.ShowInChart, B.LineToNext);
    }
    EXPECT_EQ(Different, 0);
}

} // namespace
} // namespace psykrona
