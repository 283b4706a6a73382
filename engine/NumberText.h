#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace psykrona {

// Number texts as the user sees and types them. The decimal separator is one
// process-wide setting, taken from the user's locale at start; project files
// and printed pages use it too. No text here depends on the process's C
// locale, which a Qt application takes from the environment.
char DecimalSeparator();
void SetDecimalSeparator(char Separator);

// The decimal separator of the user's locale (LC_ALL, LC_NUMERIC, LANG), or
// '.' when the locale is unknown or its separator is not a single byte.
char LocaleDecimalSeparator() noexcept;

// General format: the value rounded to 15 significant digits, no trailing
// zeros, no thousands separators; exponent form ("1.234E-5", "1E20") below
// 1e-4 and from 16 integer digits on.
std::string FloatToStr(double Value);
// FloatToStr's text written to Out, which has room for FloatTextMax
// characters; returns its length. For writers of many numbers, without a
// string each.
constexpr std::size_t FloatTextMax = 32;
std::size_t FloatToChars(double Value, char* Out);

// Fixed formats "0.0" (Decimals = 1) and "0.00" (Decimals = 2): the value is
// first taken to 15 significant decimal digits and then rounded half away
// from zero, so 2.25 gives "2.3" and 0.15 gives "0.2". A result of zero has
// no minus sign.
std::string FormatFixed(double Value, int Decimals);

// Parses a number written with the current decimal separator; blanks around
// it are allowed and an exponent ("1e3") is accepted. Throws EConvertError
// "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view Text);

// Like StrToFloat with an explicit separator.
double StrToFloat(std::string_view Text, char Separator);

// Parses a number written with either "." or "," as the decimal separator.
// Project files carry no thousands separators, so this is unambiguous and
// lets files move between machines with different regional settings.
double StrToFloatAnySeparator(std::string_view Text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4). Throws ECalculationError for values that have no 64-bit result.
std::int64_t Round(double Value);

// The shortest text that reads back to exactly the same double, always with
// "."; for machine-readable output.
std::string ShortestText(double Value);

} // namespace psykrona
