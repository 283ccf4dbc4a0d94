#pragma once
// Text rules for names: UTF-8 byte strings counted in code points. Bytes that are not valid
// UTF-8 count as one character each and survive a decode/encode round trip unchanged.

#include <cstddef>
#include <string>
#include <string_view>

namespace tidemark::platform {

// An invalid byte b decodes to kEscapeBase + b (a lone low surrogate, which valid UTF-8 never
// produces), and encodes back to the single byte b.
inline constexpr char32_t kEscapeBase = 0xDC00;

std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);
void AppendUtf8(std::string& out, char32_t c);

// Number of characters (code points, invalid bytes one each).
std::size_t CharCount(std::string_view text);

// Simple Unicode case mapping; escaped bytes and characters without a mapping are unchanged.
char32_t ToLowerChar(char32_t c);
char32_t ToUpperChar(char32_t c);

// Byte comparison with "A"-"Z" folded to "a"-"z": the order of the no-case text sort and of
// every name comparison. Negative, zero or positive like strcmp.
int NoCaseCompare(std::string_view a, std::string_view b);
bool NoCaseEqual(std::string_view a, std::string_view b);

// The text with "A"-"Z" folded, for hashing names in the no-case collision searches.
std::string FoldAscii(std::string_view text);

}  // namespace tidemark::platform
