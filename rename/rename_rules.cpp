#include "rename/rename_rules.h"

#include <algorithm>
#include <array>

#include "platform/text.h"

namespace tidemark::rename {
namespace {

// The rules are written once over the character type. Names that are pure ASCII (and whose
// added texts are too) run on their bytes directly, where one byte is one character; all
// others run on decoded code points. Both give the same result for ASCII input.

char FoldAZ(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}
char32_t FoldAZ(char32_t c) {
    return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;
}

// Unicode's simple mappings restricted to ASCII are exactly A-Z <-> a-z.
char Lower(char c) {
    return FoldAZ(c);
}
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}
char32_t Lower(char32_t c) {
    return platform::ToLowerChar(c);
}
char32_t Upper(char32_t c) {
    return platform::ToUpperChar(c);
}

template <typename Char>
struct RuleTexts {
    std::basic_string_view<Char> repOrig;
    std::basic_string_view<Char> repNew;
    std::basic_string_view<Char> chgName;
    std::basic_string_view<Char> insert;
    std::basic_string_view<Char> prepend;
    std::basic_string_view<Char> append;
};

template <typename Char>
std::size_t PartLength(PageKind kind, std::basic_string_view<Char> text) {
    if (kind == PageKind::Files) {
        const std::size_t dot = text.rfind(Char('.'));
        if (dot != std::basic_string_view<Char>::npos) {
            return dot;
        }
    }
    return text.size();
}

// Replaces RepOrig by RepNew from left to right without overlaps, within the first `end`
// characters, resuming after each inserted text. With foldCase, A-Z match a-z.
template <typename Char>
void ReplaceAll(std::basic_string<Char>& text, std::size_t end, std::basic_string_view<Char> from,
                std::basic_string_view<Char> to, bool foldCase) {
    const std::size_t m = from.size();
    std::size_t pos = 0;
    while (pos + m <= end) {
        bool match = true;
        for (std::size_t k = 0; k < m; ++k) {
            const Char a = text[pos + k];
            const Char b = from[k];
            if (a != b && (!foldCase || FoldAZ(a) != FoldAZ(b))) {
                match = false;
                break;
            }
        }
        if (!match) {
            ++pos;
            continue;
        }
        text.replace(pos, m, to);
        end = end - m + to.size();
        pos += to.size();
    }
}

template <typename Char>
void ChangeCase(std::basic_string<Char>& text, std::int32_t mode, std::size_t L) {
    switch (mode) {
        case kCaseLower:
            for (std::size_t i = 0; i < L; ++i) {
                text[i] = Lower(text[i]);
            }
            break;
        case kCaseUpper:
            for (std::size_t i = 0; i < L; ++i) {
                text[i] = Upper(text[i]);
            }
            break;
        case kCaseCapsAndLower: {
            if (L < 1) {
                break;
            }
            for (Char& c : text) {
                c = Lower(c);
            }
            text[0] = Upper(text[0]);
            // Only " " separates words; a space past the name part ends the search.
            std::size_t from = 0;
            for (;;) {
                const std::size_t space = text.find(Char(' '), from);
                if (space == std::basic_string<Char>::npos || space > L ||
                    space + 1 >= text.size()) {
                    break;
                }
                text[space + 1] = Upper(text[space + 1]);
                from = space + 1;
            }
            break;
        }
        case kCaseInitialCapital:
            for (Char& c : text) {
                c = Lower(c);
            }
            if (!text.empty()) {
                text[0] = Upper(text[0]);
            }
            break;
        default:
            break;
    }
}

// Rules 1 to 9 in their fixed order; L is measured again by every rule that uses it.
// Arithmetic on the user's numbers is 64-bit so that extreme values cannot overflow.
template <typename Char>
void RunRules(std::basic_string<Char>& text, const RenameOptions& o, PageKind kind,
              const RuleTexts<Char>& t) {
    using View = std::basic_string_view<Char>;
    const auto measure = [&] { return static_cast<std::int64_t>(PartLength(kind, View(text))); };

    if (o.DoDelete) {
        const std::int64_t L = measure();
        const std::int64_t p = std::max<std::int64_t>(o.DelPos, 1);
        std::int64_t n = o.DelNum;
        if (p + n - 1 > L) {
            n = L - p + 1;
        }
        if (n > 0) {
            text.erase(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(n));
        }
    }
    if (o.DoLCrop && o.LCrop > 0) {
        const std::int64_t n = std::min<std::int64_t>(o.LCrop, measure());
        text.erase(0, static_cast<std::size_t>(n));
    }
    if (o.DoRCrop && o.RCrop > 0) {
        const std::int64_t L = measure();
        const std::int64_t n = o.RCrop;
        if (n > L) {
            text.erase(0, static_cast<std::size_t>(L));
        } else {
            text.erase(static_cast<std::size_t>(L - n), static_cast<std::size_t>(n));
        }
    }
    if (o.DoChgName) {
        text.replace(0, static_cast<std::size_t>(measure()), t.chgName);
    }
    if (o.DoReplace && !t.repOrig.empty()) {
        const std::size_t end = o.MatchCase ? text.size() : static_cast<std::size_t>(measure());
        ReplaceAll(text, end, t.repOrig, t.repNew, !o.MatchCase);
    }
    if (o.DoInsert) {
        const std::int64_t L = measure();
        const std::int64_t p = o.InsPos;
        const std::int64_t at = p > L ? L : std::max<std::int64_t>(p - 1, 0);
        text.insert(static_cast<std::size_t>(at), t.insert);
    }
    if (o.DoPrepend) {
        text.insert(0, t.prepend);
    }
    if (o.DoAppend) {
        text.insert(static_cast<std::size_t>(measure()), t.append);
    }
    ChangeCase(text, o.CaseMode, PartLength(kind, View(text)));
}

bool IsAscii(std::string_view text) {
    unsigned char any = 0;
    for (const char c : text) {
        any |= static_cast<unsigned char>(c);
    }
    return any < 0x80;
}

// The option texts that the switched-on rules will use; a switched-off rule's text never
// matters, so it need not be ASCII for the fast path.
std::array<const std::string*, 6> UsedTexts(const RenameOptions& o) {
    return {o.DoReplace ? &o.RepOrig : nullptr, o.DoReplace ? &o.RepNew : nullptr,
            o.DoChgName ? &o.ChgName : nullptr, o.DoInsert ? &o.Insert : nullptr,
            o.DoPrepend ? &o.Prepend : nullptr, o.DoAppend ? &o.Append : nullptr};
}

bool UsedTextsAscii(const RenameOptions& o) {
    for (const std::string* text : UsedTexts(o)) {
        if (text != nullptr && !IsAscii(*text)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::int32_t RenameRules::NamePartLength(std::u32string_view text) const {
    return static_cast<std::int32_t>(PartLength(kind_, text));
}

void RenameRules::TransformName(std::u32string& text) const {
    const RenameOptions& o = options_;
    std::array<std::u32string, 6> decoded;
    const auto used = UsedTexts(o);
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (used[i] != nullptr && !used[i]->empty()) {
            decoded[i] = platform::DecodeUtf8(*used[i]);
        }
    }
    const RuleTexts<char32_t> texts{decoded[0], decoded[1], decoded[2],
                                    decoded[3], decoded[4], decoded[5]};
    RunRules(text, o, kind_, texts);
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

    if (IsAscii(part) && UsedTextsAscii(options_)) {
        const RenameOptions& o = options_;
        const RuleTexts<char> texts{o.RepOrig, o.RepNew, o.ChgName, o.Insert, o.Prepend, o.Append};
        if (start == 0) {
            RunRules(name, o, kind_, texts);
        } else {
            std::string text(part);
            RunRules(text, o, kind_, texts);
            name.replace(start, std::string::npos, text);
        }
        return;
    }

    std::u32string text = platform::DecodeUtf8(part);
    TransformName(text);
    name.replace(start, std::string::npos, platform::EncodeUtf8(text));
}

}  // namespace tidemark::rename
