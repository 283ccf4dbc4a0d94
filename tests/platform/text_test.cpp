#include "platform/text.h"

#include <gtest/gtest.h>

namespace tidemark::platform {
namespace {

TEST(Text, DecodeCountsCodePointsAndKeepsInvalidBytes) {
    // "É" (2 bytes), "😀" (4 bytes), a stray continuation byte, an overlong "/", a cut 3-byte
    // sequence at the end, and an encoded surrogate (not valid UTF-8, nor to be taken for an
    // escape): every invalid byte is one character of its own.
    const std::string name = "\xC3\x89t\xF0\x9F\x98\x80\x80\xC0\xAFz\xED\xB2\x80\xE2\x82";
    // An invalid byte b decodes to the escape 0xDC00 + b.
    const std::u32string expected =
        U"\u00C9t\U0001F600\xDC80\xDCC0\xDCAFz\xDCED\xDCB2\xDC80\xDCE2\xDC82";
    ASSERT_EQ(kEscapeBase, 0xDC00U);
    EXPECT_EQ(DecodeUtf8(name), expected);
    EXPECT_EQ(CharCount(name), expected.size());
    EXPECT_EQ(EncodeUtf8(expected), name);
    // A character is what the user sees: e + accent is one, a control byte stands alone even
    // before an accent.
    EXPECT_EQ(GraphemeCount("e\u0301\n\u0301\x7F\u0301"), 5u);
}

TEST(Text, CaseMappingAndNoCaseComparison) {
    // Unicode case mapping, but "ß" has no simple upper case and escapes stay as they are.
    const std::pair<char32_t, char32_t> upper[] = {
        {U'\u00E9', U'\u00C9'}, {U'\u03C9', U'\u03A9'},
        {U'\u00DF', U'\u00DF'}, {U'a', U'A'},
        {U'1', U'1'},           {kEscapeBase + 0xE9, kEscapeBase + 0xE9},
        {U'A', U'A'},           {U'\U0001F600', U'\U0001F600'},
    };
    for (const auto& [lower, expected] : upper) {
        EXPECT_EQ(ToUpperChar(lower), expected) << static_cast<std::uint32_t>(lower);
    }
    EXPECT_EQ(ToLowerChar(U'\u00C9'), U'\u00E9');
    EXPECT_EQ(ToLowerChar(U'Z'), U'z');

    // Only "A"-"Z" fold; bytes compare unsigned ("A" folds to 0x61, above "_" at 0x5F).
    const struct {
        const char* a;
        const char* b;
        int sign;
    } compares[] = {
        {"README.TXT", "readme.txt", 0},
        {"\xC3\x89", "\xC3\xA9", -1},
        {"", "a", -1},
        {"abc", "abcd", -1},
        {"B", "c", -1},
        {"c", "B", 1},
        {"_", "A", -1},
        {"z", "\xC3\x89", -1},
    };
    for (const auto& c : compares) {
        const int result = NoCaseCompare(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " " << c.b;
        EXPECT_EQ(NoCaseEqual(c.a, c.b), c.sign == 0) << c.a << " " << c.b;
    }
    EXPECT_EQ(FoldAscii("AbC.\xC3\x89"), "abc.\xC3\x89");
}

}  // namespace
}  // namespace tidemark::platform
