#include "engine/NumberText.h"

#include "engine/Errors.h"
#include "tests/support/CommaLocale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace psykrona {
namespace {

class NumberTextTest : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator('.'); }
    void TearDown() override { SetDecimalSeparator('.'); }
};

TEST_F(NumberTextTest, GeneralFormatFixedAndExponentForms) {
    struct Case {
        double Value;
        const char* Text;
    };
    const Case Cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {-2.5, "-2.5"},
        {100, "100"},
        {101.3, "101.3"},
        {0.0072585, "0.0072585"},
        {0.1 + 0.2, "0.3"}, // 15 significant digits hide the binary tail
        {1.0 / 3, "0.333333333333333"},
        {0.0001, "0.0001"},
        {0.00009999, "9.999E-5"},
        {1.234e-5, "1.234E-5"},
        {-1.5e-7, "-1.5E-7"},
        {123456789012345, "123456789012345"},
        {1e15, "1E15"},
        {1234567890123456, "1.23456789012346E15"},
        {1e20, "1E20"},
        {2.5e300, "2.5E300"},
        {99999.99999999999, "100000"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(FloatToStr(C.Value), C.Text) << C.Value;
    }
    SetDecimalSeparator(',');
    EXPECT_EQ(FloatToStr(-2.5), "-2,5");
    EXPECT_EQ(FloatToStr(1.234e-5), "1,234E-5");
    EXPECT_EQ(FloatToStr(0.0001), "0,0001");
}

TEST_F(NumberTextTest, FixedFormatsRoundHalfAwayOnTheDecimalValue) {
    struct Case {
        double Value;
        int Decimals;
        const char* Text;
    };
    const Case Cases[] = {
        {2.25, 1, "2.3"},     {0.15, 1, "0.2"},   {-2.25, 1, "-2.3"},  {38.518, 1, "38.5"},
        {7.2585, 2, "7.26"},  {0.005, 2, "0.01"}, {0.004, 2, "0.00"},  {9.96, 1, "10.0"},
        {999.95, 1, "1000.0"}, {0, 1, "0.0"},     {-0.04, 1, "0.0"},   {-0.05, 1, "-0.1"},
        {-0.004, 2, "0.00"},  {12, 2, "12.00"},   {1e20, 1, "100000000000000000000.0"},
        {0.00049, 2, "0.00"}, {-24, 1, "-24.0"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(FormatFixed(C.Value, C.Decimals), C.Text) << C.Value;
    }
    SetDecimalSeparator(',');
    EXPECT_EQ(FormatFixed(7.2585, 2), "7,26");
}

TEST_F(NumberTextTest, ParsingAcceptsBlanksAndExponents) {
    EXPECT_EQ(StrToFloat(" 12.5 "), 12.5);
    EXPECT_EQ(StrToFloat("1e3"), 1000);
    EXPECT_EQ(StrToFloat("-1.5E-2"), -0.015);
    EXPECT_EQ(StrToFloat("+7"), 7);
    EXPECT_EQ(StrToFloat(".5"), 0.5);
    EXPECT_EQ(StrToFloat("5."), 5);
    SetDecimalSeparator(',');
    EXPECT_EQ(StrToFloat("-1,5"), -1.5);
    EXPECT_EQ(StrToFloat("1013"), 1013);
}

TEST_F(NumberTextTest, BadTextsFailWithTheirOwnText) {
    const char* Bad[] = {"", "  ", "abc", "1e", ".", "+", "1.2.3", "1e400", "--1", "1 2", "0x10", "nan", "inf"};
    for (const char* Text : Bad) {
        try {
            StrToFloat(Text);
            ADD_FAILURE() << "accepted '" << Text << "'";
        } catch (const EConvertError& E) {
            EXPECT_EQ(std::string(E.what()), std::string("'") + Text + "' is not a valid floating point value");
        }
    }
    // The other separator is not a decimal point under the current setting.
    SetDecimalSeparator(',');
    EXPECT_THROW(StrToFloat("1.5"), EConvertError);
    SetDecimalSeparator('.');
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
}

TEST_F(NumberTextTest, EitherSeparatorReadsTheSameNumber) {
    for (char Sep : {'.', ','}) {
        SetDecimalSeparator(Sep);
        EXPECT_EQ(StrToFloatAnySeparator("1,5"), 1.5);
        EXPECT_EQ(StrToFloatAnySeparator("1.5"), 1.5);
        EXPECT_EQ(StrToFloatAnySeparator("-7,2585E-3"), -7.2585e-3);
        EXPECT_THROW(StrToFloatAnySeparator("1.5,2"), EConvertError);
    }
}

// printf's "%.15g" under the "C" locale is an independent oracle for the
// general format: the same 15 digits and the same switch to exponent form,
// only with "e+15"/"e-05" where ours writes "E15"/"E-5". The number texts
// must give exactly these results again after the process's C locale has
// become a comma locale, as a Qt application makes it from LANG.
TEST_F(NumberTextTest, TextsFollowPrintfsFifteenDigitsAndIgnoreTheCLocale) {
    const unsigned Seed = 20261206;
    std::mt19937_64 Rng(Seed);
    std::uniform_real_distribution<double> Mantissa(-10, 10);
    std::uniform_int_distribution<int> Exponent(-12, 22);
    std::vector<double> Values = {1.5, -0.0072585, 101.3, 1013, 1e15, 0.15, 2.25, 5e-324, -1e308};
    for (int I = 0; I < 4000; ++I) {
        Values.push_back(Mantissa(Rng) * std::pow(10.0, Exponent(Rng)));
        // Any finite bit pattern, subnormals included.
        double Raw = NAN;
        while (!std::isfinite(Raw)) {
            const std::uint64_t Bits = Rng();
            std::memcpy(&Raw, &Bits, sizeof Raw);
        }
        Values.push_back(Raw);
    }
    auto Oracle = [](double V) {
        char Buf[40];
        std::snprintf(Buf, sizeof Buf, "%.15g", V);
        std::string S = Buf;
        const size_t E = S.find('e');
        if (E != std::string::npos) {
            const int Exp = std::atoi(S.c_str() + E + 1);
            S = S.substr(0, E) + "E" + std::to_string(Exp);
        }
        return S == "-0" ? std::string("0") : S;
    };
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    std::vector<std::string> General;
    std::vector<std::string> Fixed;
    std::vector<double> ReadBack;
    for (const double V : Values) {
        General.push_back(Oracle(V));
        ReadBack.push_back(std::strtod(General.back().c_str(), nullptr));
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
            const double V = Values[I];
            std::string Expected = General[I];
            std::replace(Expected.begin(), Expected.end(), '.', Sep);
            const std::string Text = FloatToStr(V);
            ASSERT_EQ(Text, Expected) << "seed " << Seed << ", value " << I;
            if (std::isfinite(ReadBack[I])) { // 15 digits of the largest doubles overflow
                EXPECT_EQ(StrToFloat(Text), ReadBack[I]) << Text;
            }
            std::string Want = Fixed[I];
            std::replace(Want.begin(), Want.end(), '.', Sep);
            ASSERT_EQ(FormatFixed(V, 1) + " " + FormatFixed(V, 2), Want)
                << "seed " << Seed << ", value " << I;
        }
    }
    EXPECT_EQ(FloatToStr(1.8), "1,8");
    EXPECT_EQ(FormatFixed(0.035, 3), "0,035");
}

TEST_F(NumberTextTest, RoundGoesToTheEvenNeighbour) {
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(2.4999999999999996), 2);
    EXPECT_EQ(Round(-0.6), -1);
    EXPECT_THROW(Round(NAN), ECalculationError);
    EXPECT_THROW(Round(1e300), ECalculationError);
    EXPECT_THROW(Round(-INFINITY), ECalculationError);
}

TEST_F(NumberTextTest, ShortestTextRoundTripsExactly) {
    EXPECT_EQ(ShortestText(0.1), "0.1");
    EXPECT_EQ(ShortestText(-24), "-24");
    SetDecimalSeparator(',');
    const double V = 0.1 + 0.2;
    EXPECT_EQ(std::strtod(ShortestText(V).c_str(), nullptr), V);
    EXPECT_EQ(ShortestText(1.5), "1.5");
}

TEST_F(NumberTextTest, LocaleSeparatorOfThePlainCLocaleIsAPoint) {
    const char* Saved = std::getenv("LC_ALL");
    const std::string Keep = Saved ? Saved : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(LocaleDecimalSeparator(), '.');
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_EQ(LocaleDecimalSeparator(), '.');
    if (Saved) {
        setenv("LC_ALL", Keep.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

} // namespace
} // namespace psykrona
