#include "platform/text.h"

#include <gtest/gtest.h>

namespace tidemark::platform {
namespace {

TEST(Text, DecodeCountsCodePointsAndKeepsInvalidBytes) {
    // "É" (2 bytes), "😀" (4 bytes), a stray continuation byte, an overlong "/" and a cut
    // 3-byte sequence at the end: every invalid byte is one character of its own.
    const std::string name = "\xC3\x89t\xF0\x9F\x98\x80\x80\xC0\xAFz\xE2\x82";
    const std::u32string chars = DecodeUtf8(name);
    ASSERT_EQ(chars.size(), 9u);
    EXPECT_EQ(chars[0], U'\u00C9');
    EXPECT_EQ(chars[2], U'\U0001F600');
    EXPECT_EQ(chars[3], kEscapeBase + 0x80);
    EXPECT_EQ(chars[4], kEscapeBase + 0xC0);
    EXPECT_EQ(chars[5], kEscapeBase + 0xAF);
    EXPECT_EQ(chars[7], kEscapeBase + 0xE2);
    EXPECT_EQ(CharCount(name), 9u);
    EXPECT_EQ(EncodeUtf8(chars), name);

    // Encoded surrogates are not valid UTF-8 and must not be taken as escapes either.
    const std::string surrogate = "\xED\xB2\x80";
    EXPECT_EQ(DecodeUtf8(surrogate).size(), 3u);
    EXPECT_EQ(EncodeUtf8(DecodeUtf8(surrogate)), surrogate);
}

TEST(Text, CaseMappingCoversUnicodeButLeavesEscapesAlone) {
    EXPECT_EQ(ToLowerChar(U'\u00C9'), U'\u00E9');
    EXPECT_EQ(ToUpperChar(U'\u00E9'), U'\u00C9');
    EXPECT_EQ(ToUpperChar(U'\u03C9'), U'\u03A9');  // Greek omega
    EXPECT_EQ(ToUpperChar(U'\u00DF'), U'\u00DF');  // sharp s: no simple upper case
    EXPECT_EQ(ToUpperChar(U'a'), U'A');
    EXPECT_EQ(ToLowerChar(U'Z'), U'z');
    EXPECT_EQ(ToUpperChar(U'1'), U'1');
    EXPECT_EQ(ToUpperChar(kEscapeBase + 0xE9), kEscapeBase + 0xE9);
    EXPECT_EQ(ToUpperChar(U'\U0001F600'), U'\U0001F600');
}

TEST(Text, NoCaseComparisonFoldsOnlyAsciiLetters) {
    EXPECT_EQ(NoCaseCompare("README.TXT", "readme.txt"), 0);
    EXPECT_TRUE(NoCaseEqual("Report.TXT", "report.txt"));
    EXPECT_FALSE(NoCaseEqual("\xC3\x89", "\xC3\xA9"));  // É and é differ: bytes beyond A-Z
    EXPECT_LT(NoCaseCompare("", "a"), 0);
    EXPECT_LT(NoCaseCompare("abc", "abcd"), 0);
    EXPECT_LT(NoCaseCompare("B", "c"), 0);
    EXPECT_LT(NoCaseCompare("_", "A"), 0);         // "A" folds to "a" (0x61), above "_" (0x5F)
    EXPECT_LT(NoCaseCompare("z", "\xC3\x89"), 0);  // bytes compare unsigned
    EXPECT_EQ(FoldAscii("AbC.\xC3\x89"), "abc.\xC3\x89");
}

}  // namespace
}  // namespace tidemark::platform
