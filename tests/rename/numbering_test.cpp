#include "rename/numbering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemark::rename {
namespace {

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

// The number texts of indices 0 .. count-1 of one pass.
std::vector<std::string> Pass(Numbering numbering, std::uint32_t count) {
    std::vector<std::string> texts;
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
        {kBaseDecimal, 1, 1, 3, 2, "003"},
        {kBaseDecimal, 0, 1, 0, 0, "0"},
        {kBaseDecimal, 1, 1, 10, 0, "0000000001"},
        {kBaseDecimal, 1000, 1, 2, 0, "1000"},  // zero fill never cuts
        {kBaseBinary, 8, 2, 0, 0, "1000"},
        {kBaseBinary, 8, 2, 0, 1, "1010"},
        {kBaseOctal, 8, 1, 0, 0, "10"},
        {kBaseHex, 255, 1, 0, 0, "ff"},
        {kBaseHex, 255, 1, 4, 1, "0100"},
        {kBaseAlphaNumeric, 35, 1, 0, 0, "z"},
        {kBaseAlphaNumeric, 35, 1, 0, 1, "10"},
        // The value wraps as a signed 16-bit number: 32767 + 1 is -32768.
        {kBaseDecimal, 10001, 1, 0, 22766, "32767"},
        {kBaseDecimal, 10001, 1, 0, 22767, "-32768"},
        {kBaseDecimal, 10001, 1000, 0, 22, "32001"},
        {kBaseDecimal, 10001, 1000, 0, 23, "-32535"},
        {kBaseDecimal, 10001, 1000, 8, 23, "00-32535"},
        // Negative values in the other radixes are 32-bit two's-complement patterns.
        {kBaseHex, 10001, 1, 0, 55534, "ffffffff"},
        {kBaseHex, 10001, 1000, 0, 23, "ffff80e9"},
        {kBaseBinary, 10001, 1000, 0, 23, "11111111111111111000000011101001"},
        {kBaseOctal, 10001, 1000, 0, 23, "37777700351"},
        {kBaseAlphaNumeric, 10001, 1000, 0, 23, "1z13cvd"},
        // A full 16-bit turn comes back to the start.
        {kBaseDecimal, 5, 1, 0, 65536, "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("base " + std::to_string(c.base) + " start " + std::to_string(c.start) +
                     " index " + std::to_string(c.index));
        Numbering numbering = Make(c.base, c.start, c.incr, c.width);
        EXPECT_EQ(numbering.FormatNumber(c.index), c.text);
    }
}

TEST(NumberingTest, Letters) {
    using Texts = std::vector<std::string>;
    const Texts run = Pass(Make(kBaseAlpha, 1), 28);
    EXPECT_EQ(run[0], "a");
    EXPECT_EQ(run[25], "z");
    EXPECT_EQ(run[26], "aa");
    EXPECT_EQ(run[27], "ab");
    EXPECT_EQ(Pass(Make(kBaseAlpha, 2), 2), (Texts{"b", "c"}));
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

    // Large starts and increments give what stepping one letter at a time gives; the
    // alphabetic base does not wrap at 16 bits.
    Numbering big = Make(kBaseAlpha, 10001, 1000);
    std::string expected = "a";
    for (int i = 1; i < 10001; ++i) {
        AdvanceLetters(expected);
    }
    for (std::uint32_t index = 0; index < 40; ++index) {
        if (index > 0) {
            for (int i = 0; i < 1000; ++i) {
                AdvanceLetters(expected);
            }
        }
        ASSERT_EQ(big.FormatNumber(index), expected) << "index " << index;
    }
}

TEST(NumberingTest, AdvanceLetters) {
    const std::vector<std::pair<std::string, std::string>> steps = {
        {"a", "b"}, {"y", "z"}, {"z", "aa"}, {"az", "ba"}, {"zz", "aaa"}, {"azz", "baa"},
    };
    for (const auto& [before, after] : steps) {
        std::string letters = before;
        AdvanceLetters(letters);
        EXPECT_EQ(letters, after) << "from " << before;
    }
}

struct Named {
    std::string name;
    bool isFile;
};

// Numbers names as the callers do: files take indices 0, 1, ...; folders are passed
// without advancing the index.
std::vector<std::string> NumberNames(Numbering& numbering, const std::vector<Named>& names) {
    std::vector<std::string> result;
    std::uint32_t index = 0;
    for (const Named& n : names) {
        std::string name = n.name;
        numbering.ApplyNumber(name, index, n.isFile);
        if (n.isFile) {
            ++index;
        }
        result.push_back(name);
    }
    return result;
}

TEST(NumberingTest, Positions) {
    using Texts = std::vector<std::string>;
    struct Case {
        std::string label;
        NumberOptions options;
        std::vector<Named> names;
        Texts expected;
    };
    const auto opts = [](std::uint16_t posMode, std::int32_t pos, std::uint16_t start,
                         std::uint16_t incr = 1, std::uint16_t width = 0,
                         std::uint16_t base = kBaseDecimal) {
        NumberOptions o;
        o.PosMode = posMode;
        o.Pos = pos;
        o.Start = start;
        o.Incr = incr;
        o.Width = width;
        o.Base = base;
        return o;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"before name", opts(kPosBefore, 0, 1, 1, 3),
         {{"a.txt", true}, {"b.txt", true}, {"c.txt", true}}, {"001a.txt", "002b.txt", "003c.txt"}},
        {"after name, binary", opts(kPosAfter, -1, 8, 2, 0, kBaseBinary),
         {{"x.txt", true}, {"y.txt", true}}, {"x1000.txt", "y1010.txt"}},
        {"after name, leading dot counts whole", opts(kPosAfter, -1, 5),
         {{".profile", true}, {"a.b.c", true}, {"README", true}}, {".profile5", "a.b6.c", "README7"}},
        {"at position 3", opts(kPosAt, 3, 7), {{"abcdef.txt", true}}, {"ab7cdef.txt"}},
        {"at position 50", opts(kPosAt, 50, 7), {{"abcdef.txt", true}}, {"abcdef7.txt"}},
        {"at position 0", opts(kPosAt, 0, 7), {{"abcdef.txt", true}}, {"7abcdef.txt"}},
        {"at position 1", opts(kPosAt, 1, 7), {{"abcdef.txt", true}}, {"7abcdef.txt"}},
        {"empty position box", opts(kPosAt, -1, 7), {{"abcdef.txt", true}}, {"abcdef.txt"}},
        {"at position, accented and non-BMP", opts(kPosAt, 3, 7),
         {{"ÉCOLE.txt", true}, {"😀😀😀.txt", true}, {"é😀", true}, {"a\xFF\xFE", true}},
         {"ÉC7OLE.txt", "😀😀8😀.txt", "é😀9", "a\xFF" "10\xFE"}},
        // "é" followed by a stray continuation byte is two characters in three bytes; a
        // truncated sequence is one character a byte.
        {"at position, invalid bytes", opts(kPosAt, 3, 1),
         {{"a\xC3\xA9\xA9-", true}, {"\xE2\x82xy", true}},
         {"a\xC3\xA9" "1\xA9-", "\xE2\x82" "2xy"}},
        {"at position beyond a non-ASCII name part", opts(kPosAt, 50, 7),
         {{"é😀.txt", true}}, {"é😀7.txt"}},
        {"after name, non-ASCII", opts(kPosAfter, -1, 1), {{"été.jpg", true}}, {"été1.jpg"}},
        {"no changes", opts(kPosNone, 0, 1), {{"a.txt", true}}, {"a.txt"}},
        {"folders keep their names and take no index", opts(kPosBefore, 0, 1),
         {{"a.txt", true}, {"dir", false}, {"b.txt", true}}, {"1a.txt", "dir", "2b.txt"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Numbering numbering;
        numbering.Options() = c.options;
        EXPECT_EQ(NumberNames(numbering, c.names), c.expected);
    }
}

TEST(NumberingTest, Patterns) {
    using Texts = std::vector<std::string>;
    const auto run = [](std::string_view pattern, std::uint16_t start,
                        const std::vector<Named>& names) {
        Numbering numbering;
        numbering.Options().PosMode = kPosPattern;
        numbering.Options().Start = start;
        numbering.SetPattern(pattern);
        return NumberNames(numbering, names);
    };
    EXPECT_EQ(run("photo_???.jpg", 1, {{"IMG0001.JPG", true}, {"IMG0002.JPG", true}}),
              (Texts{"photo_001.jpg", "photo_002.jpg"}));
    EXPECT_EQ(run("photo_???.jpg", 1000, {{"IMG0001.JPG", true}}), (Texts{"photo_1000.jpg"}));
    EXPECT_EQ(run("photo.jpg", 1, {{"IMG0001.JPG", true}}), (Texts{"IMG0001.JPG"}));
    EXPECT_EQ(run("été_??.jpg", 5, {{"x", true}}), (Texts{"été_05.jpg"}));
    EXPECT_EQ(run("😀??😀?", 5, {{"x", true}}), (Texts{"😀05😀?"}));
    EXPECT_EQ(run("a??b", 5, {{"dir", false}}), (Texts{"dir"}));

    // A typed width that differs from the run still replaces Width characters at the first
    // "?"; an offset past the pattern's end puts the number at its end.
    Numbering numbering;
    NumberOptions& o = numbering.Options();
    o.PosMode = kPosPattern;
    o.Start = 5;
    numbering.SetPattern("a??b");
    o.Width = 1;
    EXPECT_EQ(NumberNames(numbering, {{"x", true}}), (Texts{"a5?b"}));
    o.Width = 3;
    EXPECT_EQ(NumberNames(numbering, {{"x", true}}), (Texts{"a005"}));
    o.Width = 6;
    EXPECT_EQ(NumberNames(numbering, {{"x", true}}), (Texts{"a000005"}));
    o.Pos = 10;
    o.Width = 2;
    EXPECT_EQ(NumberNames(numbering, {{"x", true}}), (Texts{"a??b05"}));
}

TEST(NumberingTest, PatternAnalysis) {
    struct Case {
        std::string pattern;
        std::int32_t pos;
        std::uint16_t width;
    };
    const std::vector<Case> cases = {
        {"photo_???.jpg", 6, 3}, {"???", 0, 3},          {"a?b??", 1, 1},
        {"é😀??x", 2, 2},         {"\xFF\xC3??.x", 2, 2},
    };
    for (const Case& c : cases) {
        Numbering numbering;
        numbering.SetPattern(c.pattern);
        EXPECT_EQ(numbering.Options().Pattern, c.pattern);
        EXPECT_EQ(numbering.Options().Pos, c.pos) << c.pattern;
        EXPECT_EQ(numbering.Options().Width, c.width) << c.pattern;
    }
    // Without a "?" the width drops to 0 and the position stays.
    Numbering numbering;
    numbering.Options().Pos = 42;
    numbering.Options().Width = 4;
    numbering.SetPattern("plain.txt");
    EXPECT_EQ(numbering.Options().Width, 0);
    EXPECT_EQ(numbering.Options().Pos, 42);
}

TEST(NumberingTest, NamesStayWhenNothingToNumber) {
    // An empty start box, and a position that leaves the name, change no name.
    Numbering numbering;
    numbering.Options().PosMode = kPosBefore;
    numbering.SetStartBoxEmpty(true);
    EXPECT_EQ(NumberNames(numbering, {{"a.txt", true}, {"b.txt", true}}),
              (std::vector<std::string>{"a.txt", "b.txt"}));

    // The letters still advance for a file whose name the position leaves unchanged, so the
    // next file keeps its number.
    Numbering letters = Make(kBaseAlpha, 1);
    letters.Options().PosMode = kPosAt;
    letters.Options().Pos = -1;
    std::string name = "a.txt";
    letters.ApplyNumber(name, 0, true);
    EXPECT_EQ(name, "a.txt");
    EXPECT_EQ(letters.AlphaCounter(), "a");
    // A folder does not touch the letters.
    letters.ApplyNumber(name, 1, false);
    EXPECT_EQ(letters.AlphaCounter(), "a");
}

TEST(NumberingTest, ValueChecks) {
    const std::string start = "Please input a start number between 0 and 10,001.";
    const std::string incr = "Please input an increment between 1 and 1000.";
    const std::string width = "Please input a number width between 0 and 10.";
    EXPECT_EQ(CheckStartNumber(-1), start);
    EXPECT_EQ(CheckStartNumber(0), std::nullopt);
    EXPECT_EQ(CheckStartNumber(10001), std::nullopt);
    EXPECT_EQ(CheckStartNumber(10002), start);
    EXPECT_EQ(CheckIncrement(0), incr);
    EXPECT_EQ(CheckIncrement(1), std::nullopt);
    EXPECT_EQ(CheckIncrement(1000), std::nullopt);
    EXPECT_EQ(CheckIncrement(1001), incr);
    EXPECT_EQ(CheckNumberWidth(-1), width);
    EXPECT_EQ(CheckNumberWidth(0), std::nullopt);
    EXPECT_EQ(CheckNumberWidth(10), std::nullopt);
    EXPECT_EQ(CheckNumberWidth(11), width);
}

}  // namespace
}  // namespace tidemark::rename
