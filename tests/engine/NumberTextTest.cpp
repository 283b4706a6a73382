#include "engine/NumberText.h"

#include "engine/Errors.h"
#include "tests/support/CommaLocale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <bit>
#include <cstdint>
#include <random>
#include <tuple>

namespace psykrona {
namespace {

// printf's "%.15g" under the "C" locale is an oracle for the general format
// (ours writes "E15"/"E-5" for "e+15"/"e-05"); the texts must stay the same
// once the C locale is a comma locale, as a Qt application makes it from LANG.
TEST(NumberTextTest, TextsFollowPrintfsFifteenDigitsAndIgnoreTheCLocale) {
    const unsigned Seed = 20261206;
    std::mt19937_64 Rng(Seed);
    std::uniform_real_distribution<double> Mantissa(-10, 10);
    std::uniform_int_distribution<int> Exponent(-12, 22);
    std::vector<double> Values = {1.5, -0.0072585, 101.3, 1013, 1e15, 0.15, 2.25, 5e-324, -1e308};
    while (Values.size() < 8000) {
        Values.push_back(Mantissa(Rng) * std::pow(10.0, Exponent(Rng)));
        const double Raw = std::bit_cast<double>(static_cast<std::uint64_t>(Rng())); // subnormals too
        if (std::isfinite(Raw)) {
            Values.push_back(Raw);
        }
    }
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    std::vector<std::string> General, Fixed;
    std::vector<double> ReadBack;
    for (const double V : Values) {
        char Buf[40];
        std::snprintf(Buf, sizeof Buf, "%.15g", V);
        std::string S = Buf;
        const size_t E = S.find('e');
        S = E == std::string::npos ? S : S.substr(0, E) + "E" + std::to_string(std::atoi(Buf + E + 1));
        General.push_back(S == "-0" ? "0" : S);
        ReadBack.push_back(std::strtod(S.c_str(), nullptr));
        Fixed.push_back(FormatFixed(V, 1) + " " + FormatFixed(V, 2));
    }
    const test::TCommaLocale& Comma = test::CommaLocale();
    setenv("LOCPATH", Comma.Dir.c_str(), 1);
    struct TBackToC {
        ~TBackToC() { std::setlocale(LC_ALL, "C"); }
    } BackToC;
    ASSERT_NE(std::setlocale(LC_ALL, Comma.Name.c_str()), nullptr);
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    for (const char Sep : {'.', ','}) {
        SetDecimalSeparator(Sep);
        for (size_t I = 0; I < Values.size(); ++I) {
            SCOPED_TRACE("seed " + std::to_string(Seed) + ", value " + std::to_string(I));
            const double V = Values[I];
            std::string Expected = General[I], Want = Fixed[I];
            std::replace(Expected.begin(), Expected.end(), '.', Sep);
            std::replace(Want.begin(), Want.end(), '.', Sep);
            const std::string Text = FloatToStr(V);
            ASSERT_EQ(Text, Expected);
            if (std::isfinite(ReadBack[I])) { // 15 digits of the largest doubles overflow
                ASSERT_EQ(StrToFloat(Text), ReadBack[I]) << Text;
                ASSERT_EQ(FloatToStr(StrToFloat(Text)), Text);
            }
            const std::string Shortest = ShortestText(V);
            double Exact = 0;
            std::from_chars(Shortest.data(), Shortest.data() + Shortest.size(), Exact);
            ASSERT_EQ(Exact, V) << Shortest;
            ASSERT_EQ(FormatFixed(V, 1) + " " + FormatFixed(V, 2), Want);
        }
    }
    // The separator a user of each locale starts with.
    for (const auto& [Name, Sep] : {std::pair{Comma.Name, ','}, {"xx_NOWHERE.UTF-8", '.'}, {"C", '.'}}) {
        setenv("LC_ALL", Name.c_str(), 1);
        EXPECT_EQ(LocaleDecimalSeparator(), Sep) << Name;
    }
}

// Fixed formats round half away from zero on the decimal value shown (printf
// rounds the binary one); Round goes to the even neighbour or refuses.
TEST(NumberTextTest, FixedFormatsRoundHalfAwayOnTheDecimalValue) {
    const std::tuple<double, int, const char*> Cases[] = {
        {2.25, 1, "2.3"},  {0.15, 1, "0.2"},      {-2.25, 1, "-2.3"}, {0.005, 2, "0.01"},
        {9.96, 1, "10.0"}, {999.95, 1, "1000.0"}, {-0.04, 1, "0.0"},  {-0.05, 1, "-0.1"},
        {12, 2, "12.00"},  {1e20, 1, "100000000000000000000.0"},
    };
    for (const auto& [Value, Decimals, Text] : Cases) {
        EXPECT_EQ(FormatFixed(Value, Decimals), Text) << Value;
    }
    for (auto [V, R] : {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999999999999996, 2}, {-0.6, -1}}) {
        EXPECT_EQ(Round(V), R) << V;
    }
    for (double V : {std::nan(""), 1e300, -HUGE_VAL}) {
        EXPECT_THROW(Round(V), ECalculationError) << V;
    }
}

// Which texts read as numbers under which separator; a refusal quotes the text.
TEST(NumberTextTest, ParsingAcceptsNumbersOnly) {
    for (auto [Text, Value] : {std::pair{" 12.5 ", 12.5}, {"1e3", 1000.0}, {"-1.5E-2", -0.015}, {"+7", 7.0},
                               {".5", 0.5}, {"5.", 5.0}}) {
        EXPECT_EQ(StrToFloat(Text), Value) << Text;
    }
    for (const char* Text : {"", "  ", "1e", ".", "1.2.3", "1e400", "--1", "1 2", "0x10", "nan", "inf", "1,5"}) {
        try {
            StrToFloat(Text);
            ADD_FAILURE() << "accepted '" << Text << "'";
        } catch (const EConvertError& E) {
            EXPECT_EQ(std::string(E.what()), std::string("'") + Text + "' is not a valid floating point value");
        }
    }
    SetDecimalSeparator(',');
    EXPECT_EQ(StrToFloat("-1,5"), -1.5);
    EXPECT_THROW(StrToFloat("1.5"), EConvertError);
    for (char Sep : {'.', ','}) {
        SetDecimalSeparator(Sep);
        EXPECT_EQ(StrToFloatAnySeparator("-7,2585E-3"), -7.2585e-3);
        EXPECT_EQ(StrToFloatAnySeparator("1.5"), 1.5);
        EXPECT_THROW(StrToFloatAnySeparator("1.5,2"), EConvertError);
    }
}

} // namespace
} // namespace psykrona
