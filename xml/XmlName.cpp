#include "xml/XmlName.h"

namespace psykrona {

namespace {

bool IsNameStartChar(long C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_' || C == ':' ||
           (C >= 0xC0 && C <= 0xD6) || (C >= 0xD8 && C <= 0xF6) || (C >= 0xF8 && C <= 0x2FF) ||
           (C >= 0x370 && C <= 0x37D) || (C >= 0x37F && C <= 0x1FFF) || (C >= 0x200C && C <= 0x200D) ||
           (C >= 0x2070 && C <= 0x218F) || (C >= 0x2C00 && C <= 0x2FEF) || (C >= 0x3001 && C <= 0xD7FF) ||
           (C >= 0xF900 && C <= 0xFDCF) || (C >= 0xFDF0 && C <= 0xFFFD) || (C >= 0x10000 && C <= 0xEFFFF);
}

bool IsNameChar(long C) {
    return IsNameStartChar(C) || C == '-' || C == '.' || (C >= '0' && C <= '9') || C == 0xB7 ||
           (C >= 0x300 && C <= 0x36F) || (C >= 0x203F && C <= 0x2040);
}

} // namespace

long DecodeUtf8(std::string_view Text, std::size_t& Pos) {
    const auto Byte = [&](std::size_t I) { return static_cast<unsigned char>(Text[I]); };
    const unsigned char B0 = Byte(Pos);
    if (B0 < 0x80) {
        ++Pos;
        return B0;
    }
    int Length;
    long C;
    long Min;
    if (B0 >= 0xC2 && B0 <= 0xDF) {
        Length = 2;
        C = B0 & 0x1F;
        Min = 0x80;
    } else if (B0 >= 0xE0 && B0 <= 0xEF) {
        Length = 3;
        C = B0 & 0x0F;
        Min = 0x800;
    } else if (B0 >= 0xF0 && B0 <= 0xF4) {
        Length = 4;
        C = B0 & 0x07;
        Min = 0x10000;
    } else {
        ++Pos;
        return -1;
    }
    if (Text.size() - Pos < static_cast<std::size_t>(Length)) {
        ++Pos;
        return -1;
    }
    for (int I = 1; I < Length; ++I) {
        const unsigned char B = Byte(Pos + I);
        if ((B & 0xC0) != 0x80) {
            ++Pos;
            return -1;
        }
        C = (C << 6) | (B & 0x3F);
    }
    if (C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) {
        ++Pos;
        return -1;
    }
    Pos += Length;
    return C;
}

bool IsXmlName(std::string_view Name) {
    if (Name.empty()) {
        return false;
    }
    std::size_t Pos = 0;
    if (!IsNameStartChar(DecodeUtf8(Name, Pos))) {
        return false;
    }
    while (Pos < Name.size()) {
        if (!IsNameChar(DecodeUtf8(Name, Pos))) {
            return false;
        }
    }
    return true;
}

} // namespace psykrona
