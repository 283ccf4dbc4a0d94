#include "platform/text.h"

#include <utf8proc.h>

namespace tidemark::platform {
namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when the byte there starts none.
std::size_t SequenceLength(std::string_view text, std::size_t i, char32_t& out) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    std::size_t len = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        c = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        c = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        c = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not valid UTF-8.
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    out = c;
    return len;
}

bool IsEscapedByte(char32_t c) {
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

// The character at text[i] and its length in bytes; an invalid byte is one escaped character.
char32_t DecodeAt(std::string_view text, std::size_t i, std::size_t& len) {
    char32_t c = 0;
    len = SequenceLength(text, i, c);
    if (len == 0) {
        len = 1;
        return kEscapeBase + static_cast<unsigned char>(text[i]);
    }
    return c;
}

// Steps through the user-perceived characters of a UTF-8 text, one start offset at a time.
class GraphemeWalk {
  public:
    explicit GraphemeWalk(std::string_view text) : text_(text) {
        if (!text_.empty()) {
            current_ = DecodeAt(text_, 0, length_);
        }
    }
    bool AtEnd() const { return start_ >= text_.size(); }
    std::size_t Start() const { return start_; }

    // Moves to the start of the next character, or to the end.
    void Next() {
        // Two ASCII characters other than CR LF always part: most names are ASCII.
        const std::size_t next = start_ + length_;
        if (current_ < 0x80 && next < text_.size() &&
            static_cast<unsigned char>(text_[next]) < 0x80 &&
            (current_ != U'\r' || text_[next] != '\n')) {
            start_ = next;
            current_ = static_cast<unsigned char>(text_[next]);
            state_ = 0;
            return;
        }
        std::size_t i = start_;
        for (;;) {
            i += length_;
            if (i >= text_.size()) {
                start_ = text_.size();
                return;
            }
            const char32_t before = current_;
            current_ = DecodeAt(text_, i, length_);
            if (IsGraphemeBreak(before, current_, state_)) {
                start_ = i;
                return;
            }
        }
    }

  private:
    std::string_view text_;
    std::size_t start_ = 0;
    std::size_t length_ = 0;  // bytes of current_, which starts at the last offset reached
    char32_t current_ = 0;
    std::int32_t state_ = 0;
};

unsigned char FoldByte(unsigned char b) {
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const std::size_t len = SequenceLength(text, i, c);
        if (len == 0) {
            out.push_back(kEscapeBase + static_cast<unsigned char>(text[i]));
            ++i;
        } else {
            out.push_back(c);
            i += len;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (IsEscapedByte(c)) {
        out.push_back(static_cast<char>(c - kEscapeBase));
    } else if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text) {
        AppendUtf8(out, c);
    }
    return out;
}

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const std::size_t len = SequenceLength(text, i, c);
        i += len == 0 ? 1 : len;
        ++count;
    }
    return count;
}

namespace {

int BreakClass(char32_t c) {
    return utf8proc_get_property(static_cast<utf8proc_int32_t>(c))->boundclass;
}

bool IsAsciiControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

// U+0300 to U+036F: all nonspacing marks that extend the character before them.
bool IsCombiningDiacritic(char32_t c) {
    return c >= 0x300 && c <= 0x36F;
}

}  // namespace

bool GraphemeBreakSlow(char32_t before, char32_t after, std::int32_t& state) {
    // The library would join an escape (a lone surrogate to it) with a following accent.
    if (IsEscapedByte(before) || IsEscapedByte(after)) {
        state = 0;
        return true;
    }
    // Next to an ASCII character only the other one's class decides (a mark or joiner after
    // it, a prepended mark before it), and the library's state then holds nothing that its
    // own look-up of the next pair would not find again: one look-up instead of two.
    if (before < 0x80) {
        state = 0;
        if (IsAsciiControl(before)) {
            return true;
        }
        // The combining diacritical marks, which decomposed accented letters use, join.
        if (IsCombiningDiacritic(after)) {
            return false;
        }
        const int next = BreakClass(after);
        return next != UTF8PROC_BOUNDCLASS_EXTEND && next != UTF8PROC_BOUNDCLASS_ZWJ &&
               next != UTF8PROC_BOUNDCLASS_SPACINGMARK;
    }
    if (after < 0x80) {
        state = 0;
        return IsAsciiControl(after) || IsCombiningDiacritic(before) ||
               BreakClass(before) != UTF8PROC_BOUNDCLASS_PREPEND;
    }
    return utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(before),
                                            static_cast<utf8proc_int32_t>(after), &state);
}

bool StandsAloneSlow(char32_t c) {
    if (IsEscapedByte(c) || c > 0x10FFFF) {
        return true;
    }
    // Only CR LF, Hangul syllables, marks, joiners, prepended marks and flag pairs hold two
    // characters together; these classes take part in none of them.
    switch (BreakClass(c)) {
        case UTF8PROC_BOUNDCLASS_OTHER:
        case UTF8PROC_BOUNDCLASS_CONTROL:
        case UTF8PROC_BOUNDCLASS_EXTENDED_PICTOGRAPHIC:
            return true;
        default:
            return false;
    }
}

std::size_t GraphemeCount(std::string_view text) {
    std::size_t count = 0;
    for (GraphemeWalk walk(text); !walk.AtEnd(); walk.Next()) {
        ++count;
    }
    return count;
}

std::size_t GraphemeOffset(std::string_view text, std::size_t n) {
    GraphemeWalk walk(text);
    for (; n > 0 && !walk.AtEnd(); --n) {
        walk.Next();
    }
    return walk.Start();
}

std::size_t GraphemeIndex(std::string_view text, std::size_t offset) {
    if (offset >= text.size()) {
        return GraphemeCount(text);
    }
    std::size_t index = 0;
    for (GraphemeWalk walk(text);; ++index) {
        walk.Next();
        if (walk.AtEnd() || walk.Start() > offset) {
            return index;
        }
    }
}

bool SameBreakClass(char32_t a, char32_t b) {
    if ((a | b) < 0x80) {
        return (a == U'\r') == (b == U'\r') && (a == U'\n') == (b == U'\n') &&
               IsAsciiControl(a) == IsAsciiControl(b);
    }
    if (IsEscapedByte(a) || IsEscapedByte(b)) {
        return a == b;
    }
    return BreakClass(a) == BreakClass(b);
}

char32_t ToLowerChar(char32_t c) {
    if (c < 0x80) {
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    }
    if (IsEscapedByte(c) || c > 0x10FFFF) {
        return c;
    }
    return static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(c)));
}

char32_t ToUpperChar(char32_t c) {
    if (c < 0x80) {
        return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
    }
    // Some library versions map "ß" to the capital sharp s; Unicode's simple mapping keeps it.
    if (IsEscapedByte(c) || c > 0x10FFFF || c == U'\u00DF') {
        return c;
    }
    return static_cast<char32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(c)));
}

int NoCaseCompare(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = FoldByte(static_cast<unsigned char>(a[i]));
        const unsigned char y = FoldByte(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

bool NoCaseEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && NoCaseCompare(a, b) == 0;
}

std::string FoldAscii(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        ch = static_cast<char>(FoldByte(static_cast<unsigned char>(ch)));
    }
    return out;
}

}  // namespace tidemark::platform
