#include "files/TextEncoding.h"

#include <gtest/gtest.h>

namespace psykrona {
namespace {

TEST(TextEncoding, RecognisesWellFormedUtf8Only) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("fl\xC3\xA4kt \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("fl\xE4kt"));          // Latin-1 byte
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong, three bytes
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
}

// Each language's code page: the letters only one of them holds, a byte
// both leave undefined, and valid UTF-8 for every byte of the upper half.
TEST(TextEncoding, EightBitTextInTheCodePageOfItsLanguage) {
    const TCodePage Hungarian = CodePageOfLanguage("hu");
    const TCodePage Swedish = CodePageOfLanguage("sv");
    EXPECT_EQ(CodePageOfLanguage("en"), Swedish);
    EXPECT_NE(Hungarian, Swedish);
    // 0xF5 and 0xFB: "ő" and "ű" in Windows-1250, "õ" and "û" in Windows-1252.
    EXPECT_EQ(EightBitToUtf8("Kaz\xE1n ut\xE1n \xF5 \xFB", Hungarian), "Kaz\xC3\xA1n ut\xC3\xA1n \xC5\x91 \xC5\xB1");
    EXPECT_EQ(EightBitToUtf8("fl\xE4kt \xF5 \xFB", Swedish), "fl\xC3\xA4kt \xC3\xB5 \xC3\xBB");
    EXPECT_EQ(EightBitToUtf8("\x80 \x8A \x9F \xA0 \xFF", Swedish), "\xE2\x82\xAC \xC5\xA0 \xC5\xB8 \xC2\xA0 \xC3\xBF");
    EXPECT_EQ(EightBitToUtf8("\x81x", Swedish), "\xC2\x81x");
    EXPECT_EQ(EightBitToUtf8("\x81x", Hungarian), "\xC2\x81x");
    for (const TCodePage Page : {Hungarian, Swedish}) {
        for (int B = 0x80; B <= 0xFF; ++B) {
            const std::string Out = EightBitToUtf8(std::string(1, static_cast<char>(B)), Page);
            EXPECT_TRUE(IsValidUtf8(Out) && Out.size() >= 2) << B;
        }
        EXPECT_EQ(EightBitLineToUtf8("fl\xC3\xA4kt \xC5\x91", Page), "fl\xC3\xA4kt \xC5\x91");
    }
}

} // namespace
} // namespace psykrona
