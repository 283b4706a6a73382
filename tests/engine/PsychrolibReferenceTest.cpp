// The wet bulb, dew point, density, specific volume and vapour pressure
// against psychrolib (the ASHRAE formulas, run by node, installed with npm
// into the build tree on first use; without the registry this test fails).
#include "engine/MollierProcess.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sstream>

namespace psykrona {
namespace {

namespace fs = std::filesystem;

const fs::path KNpmDir = fs::path(PSYKRONA_BINARY_DIR) / "npm-reference";

TEST(PsychrolibReference, PropertiesAgreeWithTheAshraeFormulas) {
    if (!fs::exists(KNpmDir / "node_modules" / "psychrolib" / "psychrolib.js")) {
        fs::create_directories(KNpmDir);
        const auto R =
            test::RunProcess("/usr/bin/env", {"npm", "install", "--no-save", "--no-audit", "--no-fund",
                                              "--prefix", KNpmDir.string(), "psychrolib@1.1.1"});
        ASSERT_EQ(R.ExitCode, 0) << "npm could not install psychrolib into " << KNpmDir << ":\n" << R.Err;
    }
    const double Pressure = 101.325;
    TMollierCalculate& C = TMollierCalculate::GetInstance();
    C.Pressure = Pressure;
    std::vector<std::array<double, 3>> Rows; // t, rh, x
    std::ostringstream Out;
    Out.precision(17);
    for (double T = -10; T <= 50; T += 2.5) {
        for (double Rh = 10; Rh <= 100; Rh += 10) {
            Rows.push_back({T, Rh, C.SpecHumFromTempRelHum(T, Rh)});
            Out << T << ' ' << Rh << ' ' << Rows.back()[2] << ' ' << Pressure << '\n';
        }
    }
    const fs::path Input = fs::path(testing::TempDir()) / "psychrolib-input.txt";
    test::WriteFile(Input, Out.str());
    const auto R = test::RunProcess(
        "/usr/bin/env", {"node", std::string(PSYKRONA_SOURCE_DIR) + "/tests/engine/psychrolib-reference.js",
                         Input.string(), KNpmDir.string()});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    std::istringstream In(R.Out);
    const TMollierProcess P(Pressure);
    double WorstWet = 0;
    for (const auto& [T, Rh, X] : Rows) {
        double Wet = 0, Dew = 0, Volume = 0, Density = 0, Pv = 0;
        ASSERT_TRUE(In >> Wet >> Dew >> Volume >> Density >> Pv) << R.Out;
        SCOPED_TRACE(::testing::Message() << "t " << T << " rh " << Rh);
        const TStateProperties Our = P.Properties(T, X);
        EXPECT_NEAR(Our.WetBulb, Wet, 0.15);
        if (Dew > -20) { // below, the table's pressures have too few digits
            EXPECT_NEAR(Our.DewPoint, Dew, 0.15);
        }
        EXPECT_NEAR(Our.SpecificVolume, Volume, 1e-3 * Volume);
        EXPECT_NEAR(Our.MoistAirDensity, Density, 1e-3 * Density);
        EXPECT_NEAR(Our.VapourPressure, Pv, 2e-4 * Pv); // 0.622 against 0.621945
        WorstWet = std::max(WorstWet, std::abs(Our.WetBulb - Wet));
    }
    std::cout << "largest wet-bulb difference from psychrolib: " << WorstWet << " K\n";
}

} // namespace
} // namespace psykrona
