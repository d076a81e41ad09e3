#include <gtest/gtest.h>

#include "platform/x11/TitleText.h"

namespace tamberlyn::x11 {
namespace {

constexpr const char* kReplacement = "\uFFFD";

std::string repeatReplacement(int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += kReplacement;
    return out;
}

TEST(TitleTextTest, KeepsValidUtf8AndReplacesEachInvalidSequence) {
    EXPECT_EQ(sanitizeUtf8("Ma belle école — привет 𝄞"), "Ma belle école — привет 𝄞");
    EXPECT_EQ(sanitizeUtf8("a\xFF" "b"), std::string("a") + kReplacement + "b");
    EXPECT_EQ(sanitizeUtf8("\xC0\xAF"), std::string(kReplacement) + kReplacement);  // overlong
    EXPECT_EQ(sanitizeUtf8("\xED\xA0\x80"), repeatReplacement(3));                 // a surrogate
    EXPECT_EQ(sanitizeUtf8("\xF4\x90\x80\x80"), repeatReplacement(4));             // beyond U+10FFFF
    EXPECT_EQ(sanitizeUtf8("abc\xE2\x82"), std::string("abc") + kReplacement);     // cut short
    EXPECT_EQ(sanitizeUtf8("\xE2\x82" "x"), std::string(kReplacement) + "x");
    EXPECT_EQ(sanitizeUtf8(std::string("title\0", 6)), "title");
}

TEST(TitleTextTest, ReadsLatin1) {
    EXPECT_EQ(latin1ToUtf8("Ma belle \xE9" "cole \xA9\xFF"), "Ma belle école ©ÿ");
}

TEST(TitleTextTest, ReadsTheLatin1AndUtf8PartsOfCompoundText) {
    EXPECT_EQ(compoundTextToUtf8("caf\xE9"), "café");
    EXPECT_EQ(compoundTextToUtf8("a \x1B%G\xD0\xBF\xD1\x80\xD0\xB8\x1B%@ b"), "a при b");
    // A Japanese segment (JIS X 0208 in GL) is dropped; ASCII comes back with ESC ( B.
    EXPECT_EQ(compoundTextToUtf8("x\x1B$(B\x30\x42\x1B(By"), "xy");
    // A Cyrillic right half replaces Latin-1 until Latin-1 is designated again.
    EXPECT_EQ(compoundTextToUtf8("\xE9\x1B-L\xE9\x1B-A\xE9"), "éé");
    // An extended segment carries its own length and is skipped whole.
    EXPECT_EQ(compoundTextToUtf8("a\x1B%/1\x80\x86koi8\x02zb"), "ab");
    EXPECT_EQ(compoundTextToUtf8("tab\tbell\x07"), "tab\tbell");
}

TEST(TitleTextTest, CutsAtWholeCodePoints) {
    EXPECT_EQ(firstCodePoints("école — привет", 3), "éco");
    EXPECT_EQ(firstCodePoints("привет", 1), "п");
    EXPECT_EQ(firstCodePoints("𝄞x", 1), "𝄞");
    EXPECT_EQ(firstCodePoints("short", 50), "short");
    EXPECT_EQ(firstCodePoints("any", 0), "");
}

}  // namespace
}  // namespace tamberlyn::x11
