#include "rename/numbering.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "platform/text.h"

namespace tidemark::rename {
namespace {

int RadixOf(std::uint16_t base) {
    switch (base) {
        case kBaseBinary:
            return 2;
        case kBaseOctal:
            return 8;
        case kBaseHex:
            return 16;
        case kBaseAlphaNumeric:
            return 36;
        default:
            return 10;
    }
}

// The letter sequence a .. z, aa .. is bijective base 26: "a" is 1, "z" 26, "aa" 27, and the
// empty text 0. Advancing by n is adding n, which keeps a large increment cheap.
constexpr std::uint64_t kLetterLimit = std::numeric_limits<std::uint64_t>::max() / 26 - 26;

bool LettersToValue(const std::string& letters, std::uint64_t& value) {
    value = 0;
    for (const char c : letters) {
        if (c < 'a' || c > 'z' || value > kLetterLimit) {
            return false;
        }
        value = value * 26 + static_cast<std::uint64_t>(c - 'a' + 1);
    }
    return true;
}

std::string ValueToLetters(std::uint64_t value) {
    std::string letters;
    while (value > 0) {
        --value;
        letters.push_back(static_cast<char>('a' + value % 26));
        value /= 26;
    }
    std::reverse(letters.begin(), letters.end());
    return letters;
}

void AdvanceLettersBy(std::string& letters, std::uint64_t steps) {
    std::uint64_t value = 0;
    if (LettersToValue(letters, value) && value <= kLetterLimit && steps <= kLetterLimit - value) {
        letters = ValueToLetters(value + steps);
        return;
    }
    for (std::uint64_t i = 0; i < steps; ++i) {
        AdvanceLetters(letters);
    }
}

// The numbering name part: up to the last "." unless that is the first character.
std::size_t NumberingPartBytes(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return (dot == std::string_view::npos || dot == 0) ? name.size() : dot;
}

}  // namespace

void AdvanceLetters(std::string& letters) {
    for (std::size_t i = letters.size(); i-- > 0;) {
        if (letters[i] != 'z') {
            ++letters[i];
            return;
        }
        letters[i] = 'a';
    }
    letters.insert(letters.begin(), 'a');
}

std::string Numbering::FormatNumber(std::uint32_t index) {
    const NumberOptions& o = options_;
    std::string text;
    if (o.Base == kBaseAlpha) {
        // The letters of a pass run "a" advanced by Start - 1, then by Incr per file; worked
        // out from the index alone, so that any row can be numbered without the rows before.
        // Not `= "a"`: GCC 12 at -O3 warns falsely (-Wrestrict) on that assignment.
        alphaCounter_.assign(1, 'a');
        AdvanceLettersBy(alphaCounter_,
                         (o.Start >= 2 ? o.Start - 1u : 0u) + std::uint64_t{index} * o.Incr);
        text = alphaCounter_;
    } else {
        // The value is a signed 16-bit number: past 32767 it wraps to negative values.
        const auto value = static_cast<std::int16_t>(
            static_cast<std::uint16_t>(o.Start + index * static_cast<std::uint32_t>(o.Incr)));
        const int radix = RadixOf(o.Base);
        char buffer[40];
        std::to_chars_result done;
        if (radix == 10 || value >= 0) {
            done = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int>(value), radix);
        } else {
            const auto pattern = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
            done = std::to_chars(buffer, buffer + sizeof buffer, pattern, radix);
        }
        text.assign(buffer, done.ptr);
    }
    if (text.size() < o.Width) {
        text.insert(0, o.Width - text.size(), '0');
    }
    return text;
}

void Numbering::ApplyNumber(std::string& name, std::uint32_t index, bool isFile) {
    if (!isFile || startBoxEmpty_) {
        return;
    }
    const NumberOptions& o = options_;
    if (o.PosMode == kPosNone) {
        return;
    }
    // The number is written (and the letters advanced) even when the position leaves the
    // name as it is, so the following files keep their numbers.
    const std::string number = FormatNumber(index);
    const std::size_t partBytes = NumberingPartBytes(name);
    switch (o.PosMode) {
        case kPosAt: {
            if (o.Pos < 0) {
                return;
            }
            const std::string_view part = std::string_view(name).substr(0, partBytes);
            const std::size_t at = o.Pos <= 1 ? 0 : static_cast<std::size_t>(o.Pos) - 1;
            name.insert(platform::GraphemeOffset(part, at), number);
            break;
        }
        case kPosBefore:
            name.insert(0, number);
            break;
        case kPosAfter:
            name.insert(partBytes, number);
            break;
        case kPosPattern: {
            if (o.Width == 0) {
                return;
            }
            const std::string_view pattern = o.Pattern;
            const PatternSpan& span = SpanInPattern();
            // Built in the name's own storage, which a preview reuses from name to name.
            name.assign(pattern.substr(0, span.first));
            name.append(number);
            name.append(pattern.substr(span.last));
            break;
        }
        default:
            break;
    }
}

const Numbering::PatternSpan& Numbering::SpanInPattern() {
    const NumberOptions& o = options_;
    const auto pos = static_cast<std::size_t>(std::max<std::int32_t>(o.Pos, 0));
    if (!span_ || span_->pattern != o.Pattern || span_->pos != pos || span_->width != o.Width) {
        // Pos and Width count characters, so a mark on a "?" goes with it.
        span_ = PatternSpan{o.Pattern, pos, o.Width, platform::GraphemeOffset(o.Pattern, pos),
                            platform::GraphemeOffset(o.Pattern, pos + o.Width)};
    }
    return *span_;
}

void Numbering::SetPattern(std::string_view text) {
    NumberOptions& o = options_;
    o.Pattern.assign(text);
    const std::size_t first = text.find('?');
    if (first == std::string_view::npos) {
        o.Width = 0;
        return;
    }
    const std::size_t end = std::min(text.find_first_not_of('?', first), text.size());
    // The character that holds the "?": a mark put before it joins them into one.
    o.Pos = static_cast<std::int32_t>(platform::GraphemeIndex(text, first));
    o.Width = static_cast<std::uint16_t>(
        std::min<std::size_t>(end - first, std::numeric_limits<std::uint16_t>::max()));
}

std::optional<std::string> CheckStartNumber(long value) {
    if (value < 0 || value > 10001) {
        return "Please input a start number between 0 and 10,001.";
    }
    return std::nullopt;
}

std::optional<std::string> CheckIncrement(long value) {
    if (value < 1 || value > 1000) {
        return "Please input an increment between 1 and 1000.";
    }
    return std::nullopt;
}

std::optional<std::string> CheckNumberWidth(long value) {
    if (value < 0 || value > 10) {
        return "Please input a number width between 0 and 10.";
    }
    return std::nullopt;
}

}  // namespace tidemark::rename
