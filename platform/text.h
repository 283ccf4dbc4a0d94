#pragma once
// Text rules for names: UTF-8 byte strings. Bytes that are not valid UTF-8 count as one
// character each and survive a decode/encode round trip unchanged. Positions the user gives
// count user-perceived characters (extended grapheme clusters), so that a letter with a
// combining accent is one character.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tidemark::platform {

// An invalid byte b decodes to kEscapeBase + b (a lone low surrogate, which valid UTF-8 never
// produces), and encodes back to the single byte b.
inline constexpr char32_t kEscapeBase = 0xDC00;

std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);
void AppendUtf8(std::string& out, char32_t c);

// Number of code points (invalid bytes one each).
std::size_t CharCount(std::string_view text);

bool GraphemeBreakSlow(char32_t before, char32_t after, std::int32_t& state);

// Whether a user-perceived character ends between two neighbouring decoded characters. state
// carries what the rules need from the characters further back (flag pairs, emoji joined
// with a zero width joiner): start it at 0 and pass every neighbouring pair of a text in
// order. An escaped byte is a character of its own whatever surrounds it.
inline bool IsGraphemeBreak(char32_t before, char32_t after, std::int32_t& state) {
    // Two ASCII characters always part, except CR LF: the common case stays inline.
    if ((before | after) < 0x80) {
        state = 0;
        return before != U'\r' || after != U'\n';
    }
    return GraphemeBreakSlow(before, after, state);
}

bool StandsAloneSlow(char32_t c);

// Whether a decoded character parts from every neighbour that also stands alone, so that a
// text of such characters has one user-perceived character per code point. Letters, digits,
// ideographs, single emoji and escaped bytes do; marks, joiners, CR, LF, flag letters and
// Hangul jamo do not.
inline bool StandsAlone(char32_t c) {
    // Below the combining marks only CR and LF hold on to a neighbour.
    if (c < 0x300) {
        return c != U'\r' && c != U'\n';
    }
    return StandsAloneSlow(c);
}

// Whether two decoded characters take the same part in splitting a text into characters:
// one may replace the other without moving any boundary.
bool SameBreakClass(char32_t a, char32_t b);

// Number of user-perceived characters of a UTF-8 text.
std::size_t GraphemeCount(std::string_view text);
// Byte offset where character n (0-based) of a UTF-8 text starts; the text's size when it
// has n characters or fewer.
std::size_t GraphemeOffset(std::string_view text, std::size_t n);
// Index of the character that holds the byte at offset; the character count at the end.
std::size_t GraphemeIndex(std::string_view text, std::size_t offset);

// Simple Unicode case mapping; escaped bytes and characters without a mapping are unchanged.
// "ß" has no simple upper case and stays "ß" with every library version.
char32_t ToLowerChar(char32_t c);
char32_t ToUpperChar(char32_t c);

// Byte comparison with "A"-"Z" folded to "a"-"z": the order of the no-case text sort and of
// every name comparison. Negative, zero or positive like strcmp.
int NoCaseCompare(std::string_view a, std::string_view b);
bool NoCaseEqual(std::string_view a, std::string_view b);

// The text with "A"-"Z" folded, for hashing names in the no-case collision searches.
std::string FoldAscii(std::string_view text);

}  // namespace tidemark::platform
