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

TEST(TextEncoding, Windows1252CoversTheWholeUpperHalf) {
    EXPECT_EQ(Windows1252ToUtf8("Kylbatteri efter fl\xE4kt"), "Kylbatteri efter fl\xC3\xA4kt");
    EXPECT_EQ(Windows1252ToUtf8("\x80 \x8A \x9F \xA0 \xFF"), "\xE2\x82\xAC \xC5\xA0 \xC5\xB8 \xC2\xA0 \xC3\xBF");
    EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81");
    for (int B = 0x80; B <= 0xFF; ++B) {
        const std::string Out = Windows1252ToUtf8(std::string(1, static_cast<char>(B)));
        EXPECT_TRUE(IsValidUtf8(Out)) << B;
    }
    EXPECT_EQ(EightBitLineToUtf8("fl\xC3\xA4kt"), "fl\xC3\xA4kt");
    EXPECT_EQ(EightBitLineToUtf8("fl\xE4kt"), "fl\xC3\xA4kt");
}

} // namespace
} // namespace psykrona
