#include "files/TextEncoding.h"

#include "platform/Platform.h"

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

TCodePage CodePageOfLanguage(std::string_view LanguageCode) {
    return LanguageCode == "hu" ? TCodePage::Windows1250 : TCodePage::Windows1252;
}

std::string EightBitToUtf8(std::string_view Text, TCodePage Page) {
    const unsigned CodePage = Page == TCodePage::Windows1250 ? 1250 : 1252;
    std::string Out;
    Out.reserve(Text.size() + Text.size() / 4);
    for (const char Ch : Text) {
        const auto B = static_cast<unsigned char>(Ch);
        if (B < 0x80) {
            Out += Ch;
        } else {
            if (!AppendCodePageCharacter(Out, CodePage, B)) {
                AppendUtf8(Out, B);
            }
        }
    }
    return Out;
}

std::string EightBitLineToUtf8(std::string_view Line, TCodePage Page) {
    return IsValidUtf8(Line) ? std::string(Line) : EightBitToUtf8(Line, Page);
}

bool EndsWith(std::string_view Text, std::string_view End, bool IgnoreCase) {
    if (Text.size() < End.size()) {
        return false;
    }
    const std::string_view Tail = Text.substr(Text.size() - End.size());
    if (!IgnoreCase) {
        return Tail == End;
    }
    auto Lower = [](char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; };
    for (std::size_t I = 0; I < End.size(); ++I) {
        if (Lower(Tail[I]) != Lower(End[I])) {
            return false;
        }
    }
    return true;
}

} // namespace psykrona
