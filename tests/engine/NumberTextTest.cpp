#include "engine/NumberText.h"

#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

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

TEST_F(NumberTextTest, GeneralFormatReadsBackAsItsFifteenDigitValue) {
    std::mt19937_64 Rng(42);
    std::uniform_real_distribution<double> Mantissa(-10, 10);
    std::uniform_int_distribution<int> Exponent(-12, 22);
    for (char Sep : {'.', ','}) {
        SetDecimalSeparator(Sep);
        for (int I = 0; I < 2000; ++I) {
            const double V = Mantissa(Rng) * std::pow(10.0, Exponent(Rng));
            char Buf[40];
            std::snprintf(Buf, sizeof Buf, "%.14e", V);
            const double Expected = std::strtod(Buf, nullptr);
            EXPECT_EQ(StrToFloat(FloatToStr(V)), Expected) << FloatToStr(V);
        }
    }
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
