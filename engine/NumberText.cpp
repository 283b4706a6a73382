#include "engine/NumberText.h"

#include "engine/Errors.h"
#include "platform/Platform.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace psykrona {

namespace {

std::atomic<char> GSeparator{LocaleDecimalSeparator()};

// A finite, non-zero value as 15 significant decimal digits d0.d1...d14
// times 10^Exponent, correctly rounded from the binary value.
struct TDecimal {
    bool Negative = false;
    std::string Digits; // always 15 digits
    int Exponent = 0;
};

TDecimal ToDecimal15(double Value) {
    // to_chars rounds correctly like printf's "%.14e" but never reads the C
    // locale, whose separator the digits must not pick up.
    std::array<char, 40> Buf{};
    // Never too small: a sign, 15 digits, the point and "e-308" at most.
    const auto [End, Ec] =
        std::to_chars(Buf.data(), Buf.data() + Buf.size(), Value, std::chars_format::scientific, 14);
    (void)Ec;
    TDecimal D;
    const char* P = Buf.data();
    if (*P == '-') {
        D.Negative = true;
        ++P;
    }
    for (; P != End && *P != 'e'; ++P) {
        if (*P != '.') {
            D.Digits.push_back(*P);
        }
    }
    ++P; // past the 'e'
    if (*P == '+') {
        ++P; // from_chars takes no plus sign
    }
    (void)std::from_chars(P, End, D.Exponent);
    return D;
}

std::string NonFinite(double Value) {
    if (std::isnan(Value)) {
        return "NAN";
    }
    return Value > 0 ? "INF" : "-INF";
}

[[noreturn]] void ThrowConvert(std::string_view Text) {
    throw EConvertError("'" + std::string(Text) + "' is not a valid floating point value");
}

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

} // namespace

char DecimalSeparator() { return GSeparator.load(std::memory_order_relaxed); }

void SetDecimalSeparator(char Separator) { GSeparator.store(Separator, std::memory_order_relaxed); }

char LocaleDecimalSeparator() noexcept { return UserDecimalSeparator(); }

std::string FloatToStr(double Value) {
    std::array<char, FloatTextMax> Buf{};
    return {Buf.data(), FloatToChars(Value, Buf.data())};
}

std::size_t FloatToChars(double Value, char* Out) {
    if (!std::isfinite(Value)) {
        const std::string Text = NonFinite(Value);
        return static_cast<std::size_t>(std::copy(Text.begin(), Text.end(), Out) - Out);
    }
    if (Value == 0) {
        *Out = '0';
        return 1;
    }
    TDecimal D = ToDecimal15(Value);
    while (D.Digits.size() > 1 && D.Digits.back() == '0') {
        D.Digits.pop_back();
    }
    const char Sep = DecimalSeparator();
    char* P = Out;
    auto Copy = [&P](const char* From, std::size_t Count) {
        std::memcpy(P, From, Count);
        P += Count;
    };
    auto Zeros = [&P](std::size_t Count) {
        std::memset(P, '0', Count);
        P += Count;
    };
    if (D.Negative) {
        *P++ = '-';
    }
    const std::size_t Size = D.Digits.size();
    if (D.Exponent < -4 || D.Exponent >= 15) {
        *P++ = D.Digits[0];
        if (Size > 1) {
            *P++ = Sep;
            Copy(D.Digits.data() + 1, Size - 1);
        }
        *P++ = 'E';
        P = std::to_chars(P, Out + FloatTextMax, D.Exponent).ptr;
    } else if (D.Exponent < 0) {
        *P++ = '0';
        *P++ = Sep;
        Zeros(static_cast<std::size_t>(-D.Exponent - 1));
        Copy(D.Digits.data(), Size);
    } else {
        const std::size_t IntDigits = static_cast<std::size_t>(D.Exponent) + 1;
        if (Size <= IntDigits) {
            Copy(D.Digits.data(), Size);
            Zeros(IntDigits - Size);
        } else {
            Copy(D.Digits.data(), IntDigits);
            *P++ = Sep;
            Copy(D.Digits.data() + IntDigits, Size - IntDigits);
        }
    }
    return static_cast<std::size_t>(P - Out);
}

std::string FormatFixed(double Value, int Decimals) {
    if (!std::isfinite(Value)) {
        return NonFinite(Value);
    }
    // Digits of the result as an integer count of 10^-Decimals units.
    std::string Units;
    bool Negative = false;
    if (Value != 0) {
        TDecimal D = ToDecimal15(Value);
        Negative = D.Negative;
        const int Keep = D.Exponent + 1 + Decimals; // digits at or above 10^-Decimals
        if (Keep >= static_cast<int>(D.Digits.size())) {
            Units = D.Digits + std::string(static_cast<size_t>(Keep) - D.Digits.size(), '0');
        } else if (Keep >= 0) {
            Units = D.Digits.substr(0, static_cast<size_t>(Keep));
            if (D.Digits[static_cast<size_t>(Keep)] >= '5') {
                // Half away from zero: add one unit with carry.
                int I = static_cast<int>(Units.size()) - 1;
                while (I >= 0 && Units[static_cast<size_t>(I)] == '9') {
                    Units[static_cast<size_t>(I)] = '0';
                    --I;
                }
                if (I >= 0) {
                    ++Units[static_cast<size_t>(I)];
                } else {
                    Units.insert(Units.begin(), '1');
                }
            }
        }
    }
    if (Units.find_first_not_of('0') == std::string::npos) {
        Units.clear();
        Negative = false;
    }
    const size_t Need = static_cast<size_t>(Decimals) + 1;
    if (Units.size() < Need) {
        Units.insert(0, Need - Units.size(), '0');
    }
    std::string Out = Negative ? "-" : "";
    Out.append(Units, 0, Units.size() - static_cast<size_t>(Decimals));
    if (Decimals > 0) {
        Out += DecimalSeparator();
        Out.append(Units, Units.size() - static_cast<size_t>(Decimals));
    }
    return Out;
}

double StrToFloat(std::string_view Text) { return StrToFloat(Text, DecimalSeparator()); }

namespace {

// Checks [+-]digits[SEP digits][(e|E)[+-]digits] with at least one mantissa
// digit. Returns the text from_chars reads the same number from: S itself
// when it has no plus sign in front and "." as its separator, as every saved
// number has, else S rewritten that way into Scratch; nothing when S is not
// such a number.
std::optional<std::string_view> Normalise(std::string_view S, bool AnySeparator, char Separator,
                                          std::string& Scratch) {
    const size_t N = S.size();
    size_t I = 0;
    auto Digits = [&] {
        const size_t From = I;
        while (I < N && S[I] >= '0' && S[I] <= '9') {
            ++I;
        }
        return I - From;
    };
    const bool Plus = I < N && S[I] == '+';
    if (I < N && (S[I] == '+' || S[I] == '-')) {
        ++I;
    }
    size_t MantissaDigits = Digits();
    size_t SeparatorAt = std::string_view::npos;
    if (I < N && (AnySeparator ? (S[I] == '.' || S[I] == ',') : S[I] == Separator)) {
        SeparatorAt = I++;
        MantissaDigits += Digits();
    }
    if (MantissaDigits == 0) {
        return std::nullopt;
    }
    // from_chars takes the exponent's letter in either case.
    if (I < N && (S[I] == 'e' || S[I] == 'E')) {
        ++I;
        if (I < N && (S[I] == '+' || S[I] == '-')) {
            ++I;
        }
        if (Digits() == 0) {
            return std::nullopt;
        }
    }
    if (I != N) {
        return std::nullopt;
    }
    if (!Plus && (SeparatorAt == std::string_view::npos || S[SeparatorAt] == '.')) {
        return S;
    }
    const size_t Skip = Plus ? 1 : 0;
    Scratch.assign(S.substr(Skip));
    if (SeparatorAt != std::string_view::npos) {
        Scratch[SeparatorAt - Skip] = '.';
    }
    return std::string_view(Scratch);
}

double Parse(std::string_view Text, bool AnySeparator, char Separator) {
    std::string_view S = Text;
    while (!S.empty() && IsBlank(S.front())) {
        S.remove_prefix(1);
    }
    while (!S.empty() && IsBlank(S.back())) {
        S.remove_suffix(1);
    }
    // Kept from call to call: reading a large project parses millions.
    thread_local std::string Scratch;
    const std::optional<std::string_view> Number =
        S.size() > 4096 ? std::nullopt : Normalise(S, AnySeparator, Separator, Scratch);
    if (!Number) {
        ThrowConvert(Text);
    }
    double Result = 0;
    const auto [End, Ec] = std::from_chars(Number->data(), Number->data() + Number->size(), Result);
    if (Ec != std::errc() || End != Number->data() + Number->size()) {
        ThrowConvert(Text);
    }
    return Result;
}

} // namespace

double StrToFloat(std::string_view Text, char Separator) { return Parse(Text, false, Separator); }

double StrToFloatAnySeparator(std::string_view Text) { return Parse(Text, true, '.'); }

std::int64_t Round(double Value) {
    // [-2^63, 2^63) converts; NaN fails both comparisons.
    if (!(Value >= -9223372036854775808.0 && Value < 9223372036854775808.0)) {
        throw ECalculationError("Invalid floating point operation: " + FloatToStr(Value) +
                                " has no integer value");
    }
    return static_cast<std::int64_t>(std::nearbyint(Value));
}

std::string ShortestText(double Value) {
    if (!std::isfinite(Value)) {
        return NonFinite(Value);
    }
    std::array<char, 40> Buf{};
    auto [End, Ec] = std::to_chars(Buf.data(), Buf.data() + Buf.size(), Value);
    (void)Ec;
    return {Buf.data(), End};
}

} // namespace psykrona
