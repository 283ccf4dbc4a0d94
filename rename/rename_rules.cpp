#include "rename/rename_rules.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/text.h"

namespace tidemark::rename {
namespace {

// The rules are written once over the character type. Names that are pure ASCII without a CR
// (and whose added texts are too) run on their bytes directly, where one byte is one
// character; all others run on decoded code points, where positions count user-perceived
// characters (grapheme clusters). Both give the same result for such ASCII input.

char FoldAZ(char c) {
    return static_cast<unsigned char>(c - 'A') < 26 ? static_cast<char>(c + ('a' - 'A')) : c;
}
char32_t FoldAZ(char32_t c) {
    return (c - U'A') < 26 ? c + (U'a' - U'A') : c;
}

// Unicode's simple mappings restricted to ASCII are exactly A-Z <-> a-z.
char Lower(char c) {
    return FoldAZ(c);
}
char Upper(char c) {
    return static_cast<unsigned char>(c - 'a') < 26 ? static_cast<char>(c - ('a' - 'A')) : c;
}
// ASCII letters are handled inline: most characters of most names are ASCII.
char32_t Lower(char32_t c) {
    return c < 0x80 ? FoldAZ(c) : platform::ToLowerChar(c);
}
char32_t Upper(char32_t c) {
    if (c < 0x80) {
        return (c - U'a') < 26 ? c - (U'a' - U'A') : c;
    }
    return platform::ToUpperChar(c);
}

// A character of an option text as the engine's character type: ASCII texts are used as
// they stand, also against decoded names.
char32_t Widen(char c) {
    return static_cast<unsigned char>(c);
}
char32_t Widen(char32_t c) {
    return c;
}

// The text under edit: a per-thread buffer that keeps its storage from name to name, so a
// preview over many names allocates nothing once the buffer is large enough. Sizes and
// offsets are in Char units; "characters" are what the user counts. On the byte path every
// byte is a character; a decoded text is split into characters again after each change.
template <typename Char>
class EditText {
  public:
    using View = std::basic_string_view<Char>;
    static constexpr bool kBytes = sizeof(Char) == 1;

    EditText() : store_(64) {}

    // Writing through data() must be followed by Changed() before characters are counted.
    Char* data() { return store_.data(); }
    std::size_t size() const { return size_; }
    View view() const { return View(store_.data(), size_); }
    void Changed() {
        segmented_ = false;
        validBelow_ = 0;
        resumable_ = false;
    }
    // After a change through data() that kept every code point's break class, the
    // characters are where they were.
    void CaseChanged(bool classesKept) {
        if (!classesKept) {
            Changed();
        }
    }
    // What the decoder learnt while writing the text: saves a pass over it.
    void Decoded(bool standsAlone) {
        segmented_ = standsAlone;
        alone_ = standsAlone;
        validBelow_ = 0;
        resumable_ = false;
    }
    // Whether offsets and character positions are the same.
    bool OnePerChar() {
        if constexpr (kBytes) {
            return true;
        } else {
            return Segment();
        }
    }

    std::size_t Chars() {
        if constexpr (!kBytes) {
            if (!Segment()) {
                return starts_.count - 1;
            }
        }
        return size_;
    }
    // Offset of character k, for k up to Chars() (then the size).
    std::size_t Offset(std::size_t k) {
        if constexpr (!kBytes) {
            if (!Segment()) {
                return starts_[k];
            }
        }
        return k;
    }
    // The character that holds offset (Chars() at the end).
    std::size_t CharAt(std::size_t offset) {
        if constexpr (!kBytes) {
            if (!Segment()) {
                return charOf_[offset];
            }
        }
        return offset;
    }
    bool IsStart(std::size_t offset) {
        if constexpr (kBytes) {
            return true;
        } else {
            return Offset(CharAt(offset)) == offset;
        }
    }

    // Makes room for n characters and sets the size to n; the content is left to the caller.
    Char* Reset(std::size_t n) {
        Reserve(n);
        size_ = n;
        Changed();
        return store_.data();
    }
    void SetSize(std::size_t n) {
        size_ = n;
        Changed();
    }
    void Assign(View text) { std::copy(text.begin(), text.end(), Reset(text.size())); }

    template <typename TextChar>
    void Replace(std::size_t pos, std::size_t count, std::basic_string_view<TextChar> with) {
        // A text whose code points all stand alone stays so when those added do too. Else
        // the characters before pos stay: where a character ends depends only on the text
        // up to there.
        bool keep = false;
        if constexpr (!kBytes) {
            keep = segmented_ && alone_ && AllStandAlone(with);
            validBelow_ = std::min(validBelow_, pos);
            // One change since the last full split: the starts after it may come back.
            resumable_ = segmented_ && !alone_;
            editEnd_ = pos + count;
            editDelta_ =
                static_cast<std::ptrdiff_t>(with.size()) - static_cast<std::ptrdiff_t>(count);
        }
        const std::size_t newSize = size_ - count + with.size();
        Reserve(newSize);
        Char* const d = store_.data() + pos;
        std::memmove(d + with.size(), d + count, (size_ - pos - count) * sizeof(Char));
        for (std::size_t k = 0; k < with.size(); ++k) {
            d[k] = static_cast<Char>(Widen(with[k]));
        }
        size_ = newSize;
        segmented_ = keep;
    }

    // The same edits at character positions; count characters from first on.
    template <typename TextChar>
    void ReplaceChars(std::size_t first, std::size_t count, std::basic_string_view<TextChar> with) {
        const std::size_t begin = Offset(first);
        Replace(begin, Offset(first + count) - begin, with);
    }
    void EraseChars(std::size_t first, std::size_t count) { ReplaceChars(first, count, View()); }
    template <typename TextChar>
    void InsertAtChar(std::size_t pos, std::basic_string_view<TextChar> text) {
        Replace(Offset(pos), 0, text);
    }

  private:
    void Reserve(std::size_t n) {
        if (n > store_.size()) {
            store_.resize(std::max(n, 2 * store_.size()));
        }
    }

    template <typename TextChar>
    static bool AllStandAlone(std::basic_string_view<TextChar> text) {
        return std::all_of(text.begin(), text.end(),
                           [](TextChar c) { return platform::StandsAlone(Widen(c)); });
    }

    // Splits the text into characters unless that is known; true when each code point is one
    // character, which most names are, and then nothing more is stored.
    bool Segment() { return segmented_ ? alone_ : SegmentAgain(); }
    [[gnu::noinline]] bool SegmentAgain() {
        segmented_ = true;
        // After one change, the old starts past it, moved by the change's growth: once the
        // new splitting starts a character at one of them, the rest follow as they were.
        resume_.count = 0;
        if (resumable_) {
            const std::size_t first = starts_.Below(editEnd_);
            resume_.Fit(starts_.count - first);
            for (std::size_t k = first; k < starts_.count; ++k) {
                resume_[resume_.count++] = static_cast<std::uint32_t>(
                    static_cast<std::ptrdiff_t>(starts_[k]) + editDelta_);
            }
            resumable_ = false;
        }
        // Go on from the last character that starts before the first change: a start is a
        // boundary, after which the splitting needs nothing from further back.
        std::size_t from = 0;
        const std::size_t below = starts_.Below(validBelow_);
        if (validBelow_ > 0 && below > 0) {
            from = starts_[below - 1];
            starts_.count = below - 1;
        }
        if (from == 0) {
            starts_.count = 0;
            alone_ = AllStandAlone(view());
            if (alone_) {
                validBelow_ = 0;
                return true;
            }
        }
        alone_ = false;
        const Char* const d = store_.data();
        // At most one start per code point, and the end: written by index, sized after.
        std::size_t count = starts_.count;
        starts_.Fit(size_ + 1);
        charOf_.Fit(size_ + 1);
        std::int32_t state = 0;
        std::size_t next = 0;  // the first of resume_ not yet passed
        std::size_t i = from;
        for (; i < size_; ++i) {
            if (i == from || platform::IsGraphemeBreak(d[i - 1], d[i], state)) {
                while (next < resume_.count && resume_[next] < i) {
                    ++next;
                }
                if (i > from && next < resume_.count && resume_[next] == i) {
                    break;
                }
                starts_[count++] = static_cast<std::uint32_t>(i);
            }
            charOf_[i] = static_cast<std::uint32_t>(count - 1);
        }
        if (i < size_) {
            // Back in step: the old starts from here on, the end among them.
            for (; next < resume_.count; ++next) {
                const std::size_t end = resume_[next];
                for (; i < end; ++i) {
                    charOf_[i] = static_cast<std::uint32_t>(count - 1);
                }
                starts_[count++] = static_cast<std::uint32_t>(end);
            }
            charOf_[size_] = static_cast<std::uint32_t>(count - 1);
        } else {
            charOf_[size_] = static_cast<std::uint32_t>(count);
            starts_[count++] = static_cast<std::uint32_t>(size_);
        }
        starts_.count = count;
        validBelow_ = std::numeric_limits<std::size_t>::max();
        return false;
    }

    std::vector<Char> store_;
    std::size_t size_ = 0;
    // Decoded text only: whether each code point is a character (alone_), else where each
    // character starts (then the size) and each offset's character; the starts below
    // validBelow_ hold for the text as it is now (none when alone_).
    bool segmented_ = false;
    bool alone_ = false;
    std::size_t validBelow_ = 0;
    bool resumable_ = false;
    std::size_t editEnd_ = 0;  // where the one change ended, before it
    std::ptrdiff_t editDelta_ = 0;
    // Offsets in a buffer that keeps its storage (no clearing) from text to text.
    struct Offsets {
        std::vector<std::uint32_t> store;
        std::size_t count = 0;  // those in use

        std::uint32_t& operator[](std::size_t k) { return store[k]; }
        void Fit(std::size_t n) {
            if (store.size() < n) {
                store.resize(std::max(n, 2 * store.size()));
            }
        }
        // How many of those in use are below offset.
        std::size_t Below(std::size_t offset) const {
            return static_cast<std::size_t>(
                std::lower_bound(store.begin(), store.begin() + static_cast<std::ptrdiff_t>(count),
                                 offset) -
                store.begin());
        }
    };
    Offsets resume_;
    Offsets starts_;  // count is the number of characters + 1
    Offsets charOf_;
};

// The option texts as the rules use them: the texts themselves when they are ASCII, else
// decoded.
template <typename TextChar>
struct RuleTexts {
    std::basic_string_view<TextChar> repOrig;
    std::basic_string_view<TextChar> repNew;
    std::basic_string_view<TextChar> chgName;
    std::basic_string_view<TextChar> insert;
    std::basic_string_view<TextChar> prepend;
    std::basic_string_view<TextChar> append;
};

// L in characters. A "." that a character before it has joined (a prepended mark) ends the
// name part before that whole character, so that no rule splits it.
template <typename Char>
std::size_t PartLength(PageKind kind, EditText<Char>& text) {
    if (kind == PageKind::Files) {
        const std::size_t dot = text.view().rfind(Char('.'));
        if (dot != std::basic_string_view<Char>::npos) {
            return text.CharAt(dot);
        }
    }
    return text.Chars();
}

// Replaces RepOrig by RepNew from left to right without overlaps, within the first `end`
// units, resuming after each inserted text. With foldCase, A-Z match a-z. An occurrence
// covers whole characters: "e" is not found in "e" with a combining accent.
template <typename Char, typename TextChar>
void ReplaceAll(EditText<Char>& text, std::size_t end, std::basic_string_view<TextChar> from,
                std::basic_string_view<TextChar> to, bool foldCase) {
    const std::size_t m = from.size();
    const auto fold = [foldCase](auto c) {
        const char32_t wide = Widen(c);
        return foldCase ? FoldAZ(wide) : wide;
    };
    const char32_t first = fold(from[0]);
    // Unless the first character is a letter that folding pairs with another, an occurrence
    // can only start where that very character stands, so jump there.
    const bool jump = !foldCase || first < U'a' || first > U'z';
    std::size_t pos = 0;
    while (pos + m <= end) {
        if (jump) {
            const Char* d = text.data();
            pos = static_cast<std::size_t>(
                std::find(d + pos, d + (end - m + 1), static_cast<Char>(first)) - d);
            if (pos + m > end) {
                break;
            }
        }
        const Char* at = text.data() + pos;
        bool match = fold(at[0]) == first;
        for (std::size_t k = 1; match && k < m; ++k) {
            match = fold(at[k]) == fold(from[k]);
        }
        if (!match || !text.IsStart(pos) || !text.IsStart(pos + m)) {
            ++pos;
            continue;
        }
        text.Replace(pos, m, to);
        end = end - m + to.size();
        pos += to.size();
    }
}

// Case changes on the ASCII path work on eight bytes at a time. Every byte there is below
// 0x80, so adding a constant below 0x80 to each byte never carries into the next one, and
// the top bit of each sum tells whether the byte reached a bound.
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// 0x80 in each byte of w that lies in [first, last].
std::uint64_t InRange(std::uint64_t w, unsigned char first, unsigned char last) {
    const std::uint64_t atLeastFirst = w + (0x80 - first) * kOnes;
    const std::uint64_t aboveLast = w + (0x7F - last) * kOnes;
    return atLeastFirst & ~aboveLast & kHighBits;
}

std::uint64_t Load(const char* p) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, 8);
    return w;
}

void Store(char* p, std::uint64_t w) {
    std::memcpy(p, &w, 8);
}

// Returns whether every code point it changed kept its break class (see CaseChanged).
template <typename Char>
bool LowerRange(Char* begin, Char* end) {
    if constexpr (sizeof(Char) == 1) {
        for (; end - begin >= 8; begin += 8) {
            const std::uint64_t w = Load(begin);
            Store(begin, w | (InRange(w, 'A', 'Z') >> 2));
        }
        for (Char* c = begin; c != end; ++c) {
            *c = Lower(*c);
        }
        return true;
    } else {
        bool kept = true;
        for (Char* c = begin; c != end; ++c) {
            const Char lower = Lower(*c);
            kept =
                kept && (lower == *c || (lower | *c) < 0x80 || platform::SameBreakClass(*c, lower));
            *c = lower;
        }
        return kept;
    }
}

template <typename Char>
void UpperRange(Char* begin, Char* end) {
    if constexpr (sizeof(Char) == 1) {
        for (; end - begin >= 8; begin += 8) {
            const std::uint64_t w = Load(begin);
            Store(begin, w - (InRange(w, 'a', 'z') >> 2));
        }
    }
    for (Char* c = begin; c != end; ++c) {
        *c = Upper(*c);
    }
}

// Upper-cases each character of [begin + 1, end) that follows a space.
template <typename Char>
void CapitaliseAfterSpaces(Char* begin, Char* end) {
    Char* c = begin + 1;
    if constexpr (sizeof(Char) == 1) {
        for (; end - c >= 8; c += 8) {
            const std::uint64_t w = Load(c);
            const std::uint64_t before = Load(c - 1);
            const std::uint64_t afterSpace = InRange(before, ' ', ' ');
            Store(c, w - ((InRange(w, 'a', 'z') & afterSpace) >> 2));
        }
    }
    // Without a branch on the space, which names place at random.
    for (; c < end; ++c) {
        const Char upper = Upper(*c);
        *c = c[-1] == Char(' ') ? upper : *c;
    }
}

// Upper-cases character k, all of it (a letter with a mark before it too).
template <typename Char>
void UpperChar(EditText<Char>& text, std::size_t k) {
    Char* const begin = text.data();
    if (text.OnePerChar()) {
        begin[k] = Upper(begin[k]);
    } else {
        UpperRange(begin + text.Offset(k), begin + text.Offset(k + 1));
    }
}

template <typename Char>
void ChangeCase(EditText<Char>& text, std::int32_t mode, std::size_t L) {
    Char* const begin = text.data();
    const std::size_t size = text.size();
    switch (mode) {
        case kCaseLower:
            LowerRange(begin, begin + text.Offset(L));
            break;
        case kCaseUpper:
            UpperRange(begin, begin + text.Offset(L));
            break;
        case kCaseCapsAndLower: {
            if (L < 1) {
                break;
            }
            text.CaseChanged(LowerRange(begin, begin + size));
            // The characters are those of the lower-cased text from here on.
            UpperChar(text, 0);
            // Only " " separates words, and only spaces up to position L count. Stepping
            // over every space is the same as searching again from the character after
            // each one: a case change never makes or removes a space.
            if (text.OnePerChar()) {
                CapitaliseAfterSpaces(begin, begin + std::min(L + 2, size));
            } else {
                const std::size_t end = std::min(L + 2, text.Chars());
                for (std::size_t k = 1; k < end; ++k) {
                    const std::size_t space = text.Offset(k - 1);
                    if (begin[space] == U' ' && text.Offset(k) == space + 1) {
                        UpperChar(text, k);
                    }
                }
            }
            break;
        }
        case kCaseInitialCapital:
            text.CaseChanged(LowerRange(begin, begin + size));
            if (size > 0) {
                UpperChar(text, 0);
            }
            break;
        default:
            break;
    }
    text.Changed();
}

// L, measured again for every rule that uses it, without searching the text each time. The
// rules before the case change edit only the name part: on a name with a "." the text from
// the last "." on stays as it is, and L follows from its length. A "." added to a name
// without one starts a new extension, and a replace that matches case may edit the
// extension itself; after either the text is searched again.
template <typename Char>
class NamePart {
  public:
    explicit NamePart(PageKind kind) : kind_(kind) {}

    std::size_t Length(EditText<Char>& text) {
        if (!known_) {
            const std::size_t L = PartLength(kind_, text);
            tail_ = text.Chars() - L;
            // Only the files page ends its name part at a "."; the others never re-measure.
            stable_ = kind_ != PageKind::Files || tail_ > 0;
            known_ = true;
        }
        return text.Chars() - tail_;
    }
    template <typename TextChar>
    void Added(std::basic_string_view<TextChar> added) {
        if (!stable_ && added.find(TextChar('.')) != std::basic_string_view<TextChar>::npos) {
            known_ = false;
        }
    }
    void Forget() { known_ = false; }

  private:
    PageKind kind_;
    bool known_ = false;
    bool stable_ = false;
    std::size_t tail_ = 0;
};

// Rules 1 to 9 in their fixed order. Arithmetic on the user's numbers is 64-bit so that
// extreme values cannot overflow.
template <typename Char, typename TextChar>
void RunRules(EditText<Char>& text, const RenameOptions& o, PageKind kind,
              const RuleTexts<TextChar>& t) {
    NamePart<Char> part(kind);
    const auto measure = [&] { return static_cast<std::int64_t>(part.Length(text)); };
    const auto at = [](std::int64_t value) { return static_cast<std::size_t>(value); };

    if (o.DoDelete) {
        const std::int64_t L = measure();
        const std::int64_t p = std::max<std::int64_t>(o.DelPos, 1);
        std::int64_t n = o.DelNum;
        if (p + n - 1 > L) {
            n = L - p + 1;
        }
        if (n > 0) {
            text.EraseChars(at(p - 1), at(n));
        }
    }
    if (o.DoLCrop && o.LCrop > 0) {
        text.EraseChars(0, at(std::min<std::int64_t>(o.LCrop, measure())));
    }
    if (o.DoRCrop && o.RCrop > 0) {
        const std::int64_t L = measure();
        const std::int64_t n = o.RCrop;
        if (n > L) {
            text.EraseChars(0, at(L));
        } else {
            text.EraseChars(at(L - n), at(n));
        }
    }
    if (o.DoChgName) {
        text.ReplaceChars(0, at(measure()), t.chgName);
        part.Added(t.chgName);
    }
    if (o.DoReplace && !t.repOrig.empty()) {
        if (o.MatchCase) {
            ReplaceAll(text, text.size(), t.repOrig, t.repNew, false);
            part.Forget();
        } else {
            ReplaceAll(text, text.Offset(at(measure())), t.repOrig, t.repNew, true);
            part.Added(t.repNew);
        }
    }
    if (o.DoInsert) {
        const std::int64_t L = measure();
        const std::int64_t p = o.InsPos;
        text.InsertAtChar(at(p > L ? L : std::max<std::int64_t>(p - 1, 0)), t.insert);
        part.Added(t.insert);
    }
    if (o.DoPrepend) {
        text.Replace(0, 0, t.prepend);
        part.Added(t.prepend);
    }
    if (o.DoAppend) {
        text.InsertAtChar(at(measure()), t.append);
        part.Added(t.append);
    }
    ChangeCase(text, o.CaseMode, part.Length(text));
}

// Whether every byte is ASCII and, with kNoCr, none is a CR. Without a CR no CR LF can form,
// and every other pair of ASCII characters are two characters: each byte is one.
template <bool kNoCr>
[[gnu::always_inline]] inline bool IsAscii(std::string_view text) {
    // Eight bytes at a time, the last eight overlapping the ones before: names are short,
    // but this is on every name's path. A byte above 0x7F may upset the CR test of its
    // neighbours, but fails the whole test anyway.
    std::uint64_t bad = 0;
    const auto check = [&bad](std::uint64_t word) {
        bad |= word;
        if constexpr (kNoCr) {
            bad |= InRange(word, '\r', '\r');
        }
    };
    const char* const p = text.data();
    const std::size_t n = text.size();
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 < n; i += 8) {
            check(Load(p + i));
        }
        check(Load(p + n - 8));
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            const auto b = static_cast<unsigned char>(p[i]);
            bad |= (kNoCr && b == '\r') ? 0x80 : b;
        }
    }
    return (bad & kHighBits) == 0;
}

// The option texts that the switched-on rules will use; a switched-off rule's text never
// matters, so it need not be ASCII for the fast path.
std::array<const std::string*, 6> UsedTexts(const RenameOptions& o) {
    return {o.DoReplace ? &o.RepOrig : nullptr, o.DoReplace ? &o.RepNew : nullptr,
            o.DoChgName ? &o.ChgName : nullptr, o.DoInsert ? &o.Insert : nullptr,
            o.DoPrepend ? &o.Prepend : nullptr, o.DoAppend ? &o.Append : nullptr};
}

template <bool kNoCr>
bool UsedTextsAscii(const RenameOptions& o) {
    for (const std::string* text : UsedTexts(o)) {
        if (text != nullptr && !IsAscii<kNoCr>(*text)) {
            return false;
        }
    }
    return true;
}

RuleTexts<char> AsciiTexts(const RenameOptions& o) {
    return {o.RepOrig, o.RepNew, o.ChgName, o.Insert, o.Prepend, o.Append};
}

// The option texts decoded, kept per thread and decoded again only when a text changes: a
// preview runs the rules for many names with the same options.
RuleTexts<char32_t> DecodedTexts(const RenameOptions& o) {
    struct Entry {
        std::string source;
        std::u32string text;
    };
    thread_local std::array<Entry, 6> cache;

    const auto used = UsedTexts(o);
    std::array<std::u32string_view, 6> views;
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (used[i] == nullptr) {
            continue;
        }
        Entry& entry = cache[i];
        if (entry.source != *used[i]) {
            entry.source = *used[i];
            entry.text = platform::DecodeUtf8(entry.source);
        }
        views[i] = entry.text;
    }
    return {views[0], views[1], views[2], views[3], views[4], views[5]};
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Decodes with the platform's rules, but copies ASCII bytes directly and hands the decoder
// one lead byte with its continuation bytes at a time. A decoder that escapes bad bytes one
// by one never joins bytes across an ASCII or lead byte, so each piece decodes to the same
// characters on its own as inside the whole text; and pieces this short decode without an
// allocation.
void DecodeInto(EditText<char32_t>& out, std::string_view bytes) {
    char32_t* const begin = out.Reset(bytes.size());
    char32_t* d = begin;
    bool alone = true;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            *d++ = b;
            // Among ASCII characters only CR and LF join a neighbour; no branch for them.
            alone &= (b != '\r') & (b != '\n');
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < bytes.size() && IsContinuation(static_cast<unsigned char>(bytes[j]))) {
            ++j;
        }
        for (const char32_t c : platform::DecodeUtf8(bytes.substr(i, j - i))) {
            *d++ = c;
            alone = alone && platform::StandsAlone(c);
        }
        i = j;
    }
    out.SetSize(static_cast<std::size_t>(d - begin));
    out.Decoded(alone);
}

// Encodes into out, reusing its storage; ASCII characters are written directly.
void EncodeInto(std::string& out, std::u32string_view text) {
    out.resize(4 * text.size());
    char* const begin = out.data();
    char* d = begin;
    std::string piece;
    for (const char32_t c : text) {
        if (c < 0x80) {
            *d++ = static_cast<char>(c);
        } else {
            piece.clear();
            platform::AppendUtf8(piece, c);
            d = std::copy(piece.begin(), piece.end(), d);
        }
    }
    out.resize(static_cast<std::size_t>(d - begin));
}

// Runs the rules on a decoded text: ASCII option texts are used as they stand, others are
// decoded (once per change, see DecodedTexts).
void RunOnDecoded(EditText<char32_t>& text, const RenameOptions& o, PageKind kind) {
    if (UsedTextsAscii<false>(o)) {
        RunRules(text, o, kind, AsciiTexts(o));
    } else {
        RunRules(text, o, kind, DecodedTexts(o));
    }
}

}  // namespace

std::int32_t RenameRules::NamePartLength(std::u32string_view text) const {
    thread_local EditText<char32_t> edit;
    edit.Assign(text);
    return static_cast<std::int32_t>(PartLength(kind_, edit));
}

void RenameRules::TransformName(std::u32string& text) const {
    thread_local EditText<char32_t> edit;
    edit.Assign(text);
    RunOnDecoded(edit, options_, kind_);
    text.assign(edit.view());
}

void RenameRules::ApplyRules(std::string& name, bool isFile) const {
    const bool acceptsFiles = kind_ != PageKind::Folders;
    if (isFile != acceptsFiles) {
        return;
    }
    // The extension page's rules see only the text after the last "."; a "." byte is always
    // a character of its own in UTF-8, so the byte search finds the character.
    std::size_t start = 0;
    if (kind_ == PageKind::Extensions) {
        const std::size_t dot = name.rfind('.');
        start = dot == std::string::npos ? 0 : dot + 1;
    }
    const std::string_view part = std::string_view(name).substr(start);

    if (IsAscii<true>(part) && UsedTextsAscii<true>(options_)) {
        thread_local EditText<char> edit;
        edit.Assign(part);
        RunRules(edit, options_, kind_, AsciiTexts(options_));
        name.replace(start, std::string::npos, edit.view());
        return;
    }

    thread_local EditText<char32_t> edit;
    thread_local std::string encoded;
    DecodeInto(edit, part);
    RunOnDecoded(edit, options_, kind_);
    EncodeInto(encoded, edit.view());
    name.replace(start, std::string::npos, encoded);
}

}  // namespace tidemark::rename
