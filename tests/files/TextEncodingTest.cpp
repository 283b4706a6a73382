#include "files/TextEncoding.h"

#include <gtest/gtest.h>

namespace psykrona {
namespace {

TEST(TextEncoding, Utf8AndTheCodePagesOfTheLanguages) {
    for (const auto& [Bytes, Valid] : std::initializer_list<std::pair<std::string, bool>>{
             {"", true}, {"fl\xC3\xA4kt \xE2\x82\xAC \xF0\x9F\x98\x80", true}, {"fl\xE4kt", false},
             {"\xC0\xAF", false}, {"\xE0\x80\xAF", false}, {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},
             {"\xE2\x82", false}}) {
        EXPECT_EQ(IsValidUtf8(Bytes), Valid) << Bytes;
    }
    const TCodePage Hu = CodePageOfLanguage("hu");
    const TCodePage Sv = CodePageOfLanguage("sv");
    EXPECT_EQ(CodePageOfLanguage("en"), Sv);
    const struct {
        TCodePage Page;
        std::string In, Out;
    } Cases[] = {
        {Hu, "Kaz\xE1n \xF5 \xFB", "Kaz\xC3\xA1n \xC5\x91 \xC5\xB1"},
        {Sv, "fl\xE4kt \xF5 \xFB", "fl\xC3\xA4kt \xC3\xB5 \xC3\xBB"},
        {Sv, "\x80 \x8A \x9F \xA0 \xFF", "\xE2\x82\xAC \xC5\xA0 \xC5\xB8 \xC2\xA0 \xC3\xBF"},
        {Sv, "\x81x", "\xC2\x81x"}, // undefined in both: kept as its code point
        {Hu, "\x81x", "\xC2\x81x"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(EightBitToUtf8(C.In, C.Page), C.Out) << C.In;
    }
    for (const TCodePage Page : {Hu, Sv}) {
        for (int B = 0x80; B <= 0xFF; ++B) {
            const std::string Out = EightBitToUtf8(std::string(1, static_cast<char>(B)), Page);
            EXPECT_TRUE(IsValidUtf8(Out) && Out.size() >= 2) << B;
        }
        EXPECT_EQ(EightBitLineToUtf8("fl\xC3\xA4kt \xC5\x91", Page), "fl\xC3\xA4kt \xC5\x91"); // UTF-8 stays
    }
}

} // namespace
} // namespace psykrona
