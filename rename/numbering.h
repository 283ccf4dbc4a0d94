#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::rename {

inline constexpr std::uint16_t kPosNone = 0;
inline constexpr std::uint16_t kPosAt = 1;
inline constexpr std::uint16_t kPosBefore = 2;
inline constexpr std::uint16_t kPosAfter = 3;
inline constexpr std::uint16_t kPosPattern = 4;

inline constexpr std::uint16_t kOutputRename = 0;
inline constexpr std::uint16_t kOutputMove = 1;
inline constexpr std::uint16_t kOutputCopy = 2;

inline constexpr std::uint16_t kBaseDecimal = 0;
inline constexpr std::uint16_t kBaseBinary = 1;
inline constexpr std::uint16_t kBaseOctal = 2;
inline constexpr std::uint16_t kBaseHex = 3;
inline constexpr std::uint16_t kBaseAlpha = 4;
inline constexpr std::uint16_t kBaseAlphaNumeric = 5;

// The options of the "Number Files" page, with their defaults.
struct NumberOptions {
    std::uint16_t PosMode = kPosNone;
    std::int32_t Pos = 0;
    std::uint16_t Output = kOutputRename;
    std::uint16_t Start = 1;
    std::uint16_t Incr = 1;
    std::uint16_t Width = 0;
    std::uint16_t Base = kBaseDecimal;
    std::string Pattern;
    std::string DestDir;
    bool SelOnly = false;

    bool operator==(const NumberOptions&) const = default;
};

// The numbering of one page: its options, the letters last written and whether the page's
// "Start number" box is empty (then no name changes).
class Numbering {
  public:
    NumberOptions& Options() { return options_; }
    const NumberOptions& Options() const { return options_; }

    void SetStartBoxEmpty(bool empty) { startBoxEmpty_ = empty; }
    bool StartBoxEmpty() const { return startBoxEmpty_; }

    // The number text of the index-th numbered file of a pass; a pass starts at index 0.
    std::string FormatNumber(std::uint32_t index);
    // Puts the number into name; folders (isFile false) and an empty start box change nothing.
    void ApplyNumber(std::string& name, std::uint32_t index, bool isFile);

    // Pattern analysis: Pattern takes text; with a "?" Pos becomes the position (in
    // characters, from 0) of the first one and Width the length of its run; without one Width
    // becomes 0 and Pos stays.
    void SetPattern(std::string_view text);

    const std::string& AlphaCounter() const { return alphaCounter_; }

  private:
    // Where the characters that the number replaces begin and end in Pattern (bytes), kept
    // from name to name while Pattern, Pos and Width stay.
    struct PatternSpan {
        std::string pattern;
        std::size_t pos = 0;
        std::uint16_t width = 0;
        std::size_t first = 0;
        std::size_t last = 0;
    };
    const PatternSpan& SpanInPattern();

    NumberOptions options_;
    std::string alphaCounter_;
    bool startBoxEmpty_ = false;
    std::optional<PatternSpan> span_;
};

// Steps a letter sequence: a .. z, aa .. az, ba .. zz, aaa ..
void AdvanceLetters(std::string& letters);

// Value checks of the three number boxes: nullopt when accepted, else the message to show
// with caption "Error".
std::optional<std::string> CheckStartNumber(long value);
std::optional<std::string> CheckIncrement(long value);
std::optional<std::string> CheckNumberWidth(long value);

}  // namespace tidemark::rename
