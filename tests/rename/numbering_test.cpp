#include "rename/numbering.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemark::rename {
namespace {

using Texts = std::vector<std::string>;

Numbering Make(std::uint16_t base, std::uint16_t start, std::uint16_t incr = 1,
               std::uint16_t width = 0) {
    Numbering numbering;
    NumberOptions& o = numbering.Options();
    o.Base = base;
    o.Start = start;
    o.Incr = incr;
    o.Width = width;
    return numbering;
}

Texts Pass(Numbering numbering, std::uint32_t count) {
    Texts texts;
    for (std::uint32_t i = 0; i < count; ++i) {
        texts.push_back(numbering.FormatNumber(i));
    }
    return texts;
}

TEST(NumberingTest, NumericBases) {
    struct Case {
        std::uint16_t base, start, incr, width;
        std::uint32_t index;
        std::string text;
    };
    const std::vector<Case> cases = {
        {kBaseDecimal, 1, 1, 3, 0, "001"},
        {kBaseDecimal, 0, 1, 0, 0, "0"},
        {kBaseDecimal, 1000, 1, 2, 0, "1000"},  // zero fill never cuts
        {kBaseBinary, 8, 2, 0, 1, "1010"},
        {kBaseOctal, 8, 1, 0, 0, "10"},
        {kBaseHex, 255, 1, 4, 1, "0100"},
        {kBaseAlphaNumeric, 35, 1, 0, 1, "10"},
        // The value wraps as a signed 16-bit number.
        {kBaseDecimal, 10001, 1000, 0, 23, "-32535"},
        {kBaseDecimal, 10001, 1000, 8, 23, "00-32535"},
        // Negative values in the other radixes are 32-bit two's-complement patterns.
        {kBaseHex, 10001, 1, 0, 55534, "ffffffff"},
        {kBaseHex, 10001, 1000, 0, 23, "ffff80e9"},
        {kBaseOctal, 10001, 1000, 0, 23, "37777700351"},
        {kBaseAlphaNumeric, 10001, 1000, 0, 23, "1z13cvd"},
        {kBaseDecimal, 5, 1, 0, 65536, "5"},  // a full 16-bit turn
    };
    for (const Case& c : cases) {
        Numbering numbering = Make(c.base, c.start, c.incr, c.width);
        EXPECT_EQ(numbering.FormatNumber(c.index), c.text)
            << "base " << c.base << " start " << c.start << " index " << c.index;
    }
}

TEST(NumberingTest, Letters) {
    const Texts run = Pass(Make(kBaseAlpha, 1), 28);
    EXPECT_EQ((Texts{run[0], run[25], run[26], run[27]}), (Texts{"a", "z", "aa", "ab"}));
    EXPECT_EQ(Pass(Make(kBaseAlpha, 0), 2), (Texts{"a", "b"}));
    EXPECT_EQ(Pass(Make(kBaseAlpha, 25, 3), 2), (Texts{"y", "ab"}));
    EXPECT_EQ(Pass(Make(kBaseAlpha, 1, 1, 3), 2), (Texts{"00a", "00b"}));
    EXPECT_EQ(Pass(Make(kBaseAlpha, 702), 2), (Texts{"zz", "aaa"}));

    // Index 0 rebuilds the letters from Start, so a second pass starts afresh.
    Numbering numbering = Make(kBaseAlpha, 3);
    EXPECT_EQ(numbering.FormatNumber(0), "c");
    EXPECT_EQ(numbering.FormatNumber(1), "d");
    EXPECT_EQ(numbering.AlphaCounter(), "d");
    EXPECT_EQ(numbering.FormatNumber(0), "c");

    // Large starts and steps equal stepping one letter at a time; letters never wrap at 16 bits.
    Numbering big = Make(kBaseAlpha, 10001, 1000);
    std::string expected = "a";
    for (int i = 1; i < 10001; ++i) {
        AdvanceLetters(expected);
    }
    for (std::uint32_t index = 0; index < 40; ++index) {
        for (int i = 0; index > 0 && i < 1000; ++i) {
            AdvanceLetters(expected);
        }
        ASSERT_EQ(big.FormatNumber(index), expected) << "index " << index;
    }
}

// As the callers number: files take indices 0, 1, ...; a folder ("name/") does not advance them.
Texts NumberNames(Numbering& numbering, const Texts& names) {
    Texts result;
    std::uint32_t index = 0;
    for (const std::string& entry : names) {
        const bool isFile = !entry.ends_with('/');
        std::string name = isFile ? entry : entry.substr(0, entry.size() - 1);
        numbering.ApplyNumber(name, index, isFile);
        index += isFile ? 1 : 0;
        result.push_back(name);
    }
    return result;
}

// From 7. A leading dot starts no extension; "é" + stray continuation byte: two characters; a cut
// sequence: one per byte; accented letter, joined emoji, CR LF: one each; folders: no index.
TEST(NumberingTest, Positions) {
    struct Case {
        std::uint16_t posMode;
        std::int32_t pos;
        Texts names, expected;
    };
    const std::vector<Case> cases = {
        Case(kPosBefore, 0, {"a.txt", "dir/", "b.txt"}, {"7a.txt", "dir", "8b.txt"}),
        Case(kPosAfter, -1, {".profile", "a.b.c", "README", "été.jpg"},
             {".profile7", "a.b8.c", "README9", "été10.jpg"}),
        Case(kPosAt, 3, {"abcdef.txt"}, {"ab7cdef.txt"}),
        Case(kPosAt, 50, {"abcdef.txt", "é😀.txt"}, {"abcdef7.txt", "é😀8.txt"}),
        Case(kPosAt, 1, {"abcdef.txt"}, {"7abcdef.txt"}),
        Case(kPosAt, -1, {"abcdef.txt"}, {"abcdef.txt"}),  // empty box
        Case(kPosAt, 3, {"ÉCOLE.txt", "😀😀😀.txt", "é😀", "a\xFF\xFE"},
             {"ÉC7OLE.txt", "😀😀8😀.txt", "é😀9", "a\xFF" + std::string("10\xFE")}),
        Case(kPosAt, 3, {"a\xC3\xA9\xA9-", "\xE2\x82xy"},
             {"a\xC3\xA9" + std::string("7\xA9-"), "\xE2\x82" + std::string("8xy")}),
        Case(kPosAt, 2, {"e\u0301e\u0301.txt", "\U0001F469\u200D\U0001F4BBx"},
             {"e\u03017e\u0301.txt", "\U0001F469\u200D\U0001F4BB8x"}),
        Case(kPosAt, 3, {"a\r\nb"}, {"a\r\n7b"}),
        Case(kPosNone, 0, {"a.txt"}, {"a.txt"}),
    };
    for (const Case& c : cases) {
        Numbering numbering = Make(kBaseDecimal, 7);
        numbering.Options().PosMode = c.posMode;
        numbering.Options().Pos = c.pos;
        EXPECT_EQ(NumberNames(numbering, c.names), c.expected) << "first " << c.names[0];
    }
}

// A width typed over the run still replaces Width characters at the first "?"; an offset past
// the pattern's end puts the number at its end. One numbering serves every row, as the page's
// does while the user edits the pattern, so nothing of an earlier pattern may stick.
TEST(NumberingTest, Patterns) {
    struct Case {
        std::string pattern;
        std::uint16_t start;
        int width, pos;  // typed over what the pattern gave; -1 keeps it
        Texts names, expected;
    };
    const std::vector<Case> cases = {
        Case("photo_???.jpg", 1, -1, -1, {"IMG0001.JPG", "IMG0002.JPG"},
             {"photo_001.jpg", "photo_002.jpg"}),
        Case("photo_???.jpg", 1000, -1, -1, {"IMG0001.JPG"}, {"photo_1000.jpg"}),
        Case("photo.jpg", 1, -1, -1, {"IMG0001.JPG"}, {"IMG0001.JPG"}),
        Case("été_??.jpg", 5, -1, -1, {"x"}, {"été_05.jpg"}),
        Case("😀??😀?", 5, -1, -1, {"x"}, {"😀05😀?"}),
        Case("x??\u0301.txt", 5, -1, -1, {"y"}, {"x05.txt"}),  // the accent goes with its "?"
        Case("a??b", 5, -1, -1, {"x", "dir/"}, {"a05b", "dir"}),
        Case("a??b", 5, 1, -1, {"x"}, {"a5?b"}),
        Case("a??b", 5, 3, -1, {"x"}, {"a005"}),
        Case("a??b", 5, 6, -1, {"x"}, {"a000005"}),
        Case("a??b", 5, 2, 10, {"x"}, {"a??b05"}),
    };
    Numbering numbering;
    for (const Case& c : cases) {
        NumberOptions& o = numbering.Options();
        o.PosMode = kPosPattern;
        o.Start = c.start;
        numbering.SetPattern(c.pattern);
        o.Width = c.width < 0 ? o.Width : static_cast<std::uint16_t>(c.width);
        o.Pos = c.pos < 0 ? o.Pos : c.pos;
        EXPECT_EQ(NumberNames(numbering, c.names), c.expected) << c.pattern << " " << c.width;
    }
}

TEST(NumberingTest, NamesStayWhenNothingToNumber) {
    Numbering numbering;
    numbering.Options().PosMode = kPosBefore;
    numbering.SetStartBoxEmpty(true);
    EXPECT_EQ(NumberNames(numbering, {"a.txt", "b.txt"}), (Texts{"a.txt", "b.txt"}));

    // The letters still advance for a file whose name the position leaves unchanged, so the
    // next file keeps its number; a folder does not touch them.
    Numbering letters = Make(kBaseAlpha, 1);
    letters.Options().PosMode = kPosAt;
    letters.Options().Pos = -1;
    EXPECT_EQ(NumberNames(letters, {"a.txt", "d/"}), (Texts{"a.txt", "d"}));
    EXPECT_EQ(letters.AlphaCounter(), "a");
}

TEST(NumberingTest, ValueChecks) {
    const auto bounds = [](auto check, long low, long high, const std::string& message) {
        EXPECT_EQ(check(low - 1), message);
        EXPECT_EQ(check(low), std::nullopt);
        EXPECT_EQ(check(high), std::nullopt);
        EXPECT_EQ(check(high + 1), message);
    };
    bounds(CheckStartNumber, 0, 10001, "Please input a start number between 0 and 10,001.");
    bounds(CheckIncrement, 1, 1000, "Please input an increment between 1 and 1000.");
    bounds(CheckNumberWidth, 0, 10, "Please input a number width between 0 and 10.");
}

}  // namespace
}  // namespace tidemark::rename
