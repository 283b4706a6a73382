#include "files/TextEncoding.h"

#include <array>
#include <cstdint>

namespace psykrona {

bool IsValidUtf8(std::string_view Text) {
    const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
    const auto* End = P + Text.size();
    while (P < End) {
        const unsigned char C = *P;
        if (C < 0x80) {
            ++P;
            continue;
        }
        int Len;
        std::uint32_t Cp;
        if (C >= 0xC2 && C <= 0xDF) {
            Len = 2;
            Cp = C & 0x1F;
        } else if (C >= 0xE0 && C <= 0xEF) {
            Len = 3;
            Cp = C & 0x0F;
        } else if (C >= 0xF0 && C <= 0xF4) {
            Len = 4;
            Cp = C & 0x07;
        } else {
            return false;
        }
        if (End - P < Len) {
            return false;
        }
        for (int I = 1; I < Len; ++I) {
            if ((P[I] & 0xC0) != 0x80) {
                return false;
            }
            Cp = (Cp << 6) | (P[I] & 0x3F);
        }
        const bool Overlong = (Len == 3 && Cp < 0x800) || (Len == 4 && Cp < 0x10000);
        if (Overlong || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) {
            return false;
        }
        P += Len;
    }
    return true;
}

namespace {

// 0x80..0x9F of Windows-1252; the rest of the upper half is Latin-1.
constexpr std::array<std::uint16_t, 32> KHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& Out, std::uint32_t Cp) {
    if (Cp < 0x80) {
        Out += static_cast<char>(Cp);
    } else if (Cp < 0x800) {
        Out += static_cast<char>(0xC0 | (Cp >> 6));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    } else {
        Out += static_cast<char>(0xE0 | (Cp >> 12));
        Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    }
}

} // namespace

std::string Windows1252ToUtf8(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size() + Text.size() / 4);
    for (char Ch : Text) {
        const auto B = static_cast<unsigned char>(Ch);
        if (B < 0x80) {
            Out += Ch;
        } else if (B < 0xA0) {
            AppendUtf8(Out, KHighControls[B - 0x80]);
        } else {
            AppendUtf8(Out, B);
        }
    }
    return Out;
}

std::string EightBitLineToUtf8(std::string_view Line) {
    return IsValidUtf8(Line) ? std::string(Line) : Windows1252ToUtf8(Line);
}

} // namespace psykrona
