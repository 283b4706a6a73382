// A project of a million points (a file of some 250 MB) saves and opens
// again to the same project, within seconds. Sanitizer builds, ten times
// slower, take a tenth of the points; PSYKRONA_LARGE_PROJECT_POINTS sets the
// count.
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace psykrona {
namespace {

using Clock = std::chrono::steady_clock;

#if defined(__SANITIZE_ADDRESS__)
constexpr int KDefaultCount = 100000;
#else
constexpr int KDefaultCount = 1000000;
#endif

int PointCount() {
    const char* Count = std::getenv("PSYKRONA_LARGE_PROJECT_POINTS");
    return Count != nullptr ? std::atoi(Count) : KDefaultCount;
}

// A value of at most 15 significant digits, which reads back exactly.
double Decimal(double Value, double Scale) { return std::round(Value * Scale) / Scale; }

TEST(LargeProject, MillionPointsSaveAndOpenAgain) {
    SetDecimalSeparator(',');
    const int Count = PointCount();
    TMain Doc;
    {
        // Values with all 15 digits, as the point editor leaves them.
        std::mt19937_64 Rng(7);
        std::uniform_real_distribution<double> Temp(-20, 50);
        std::uniform_real_distribution<double> SpecHum(0, 0.03);
        std::uniform_real_distribution<double> RelHum(10, 100);
        for (int I = 0; I < Count; ++I) {
            TMollierPoint& P = Doc.AddPoint();
            P.Number = I + 1;
            P.Name = std::to_string(I + 1).insert(0, 1, 'P');
            P.Temp = Decimal(Temp(Rng), 1e13);
            P.SpecHum = Decimal(SpecHum(Rng), 1e16);
            P.RelHum = Decimal(RelHum(Rng), 1e12);
            P.Enthalpy = Decimal(Temp(Rng) * 2, 1e12);
            P.Prescribed1 = 1;
            P.Prescribed2 = 2;
            P.LineToNext = I % 2 == 0;
        }
    }
    test::TTempFolder Dir;
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    Files.FProject = &Doc;

    const auto Start = Clock::now();
    Files.SaveProjectAs(Dir.File("large.pkx"));
    const auto Saved = Clock::now();
    TMain Back;
    Files.FProject = &Back;
    Files.OpenProject(Dir.File("large.pkx"));
    const auto Opened = Clock::now();

    std::printf("%d points: saved in %.2f s, opened in %.2f s\n", Count,
                std::chrono::duration<double>(Saved - Start).count(), std::chrono::duration<double>(Opened - Saved).count());
    ASSERT_EQ(Back.PointCount(), Count);
    int Different = 0;
    for (std::size_t I = 0; I < static_cast<std::size_t>(Count); ++I) {
        const TMollierPoint& A = Doc.Points[I];
        const TMollierPoint& B = Back.Points[I];
        Different += A.Name != B.Name || A.Number != B.Number || A.Temp != B.Temp || A.SpecHum != B.SpecHum ||
                     A.RelHum != B.RelHum || A.Enthalpy != B.Enthalpy || A.Prescribed1 != B.Prescribed1 ||
                     A.Prescribed2 != B.Prescribed2 || A.ShowInChart != B.ShowInChart ||
                     A.LineToNext != B.LineToNext;
    }
    EXPECT_EQ(Different, 0);
}

} // namespace
} // namespace psykrona
