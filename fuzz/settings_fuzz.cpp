// The settings reader and writer on a text and a list of changes: an unchanged text is written
// back whole, lookups agree with a plain reading, and what was written reads back once reparsed.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"
#include "settings/ini_file.h"

namespace {

using tidemark::platform::FoldAscii;
using tidemark::platform::NoCaseEqual;
using tidemark::settings::IniFile;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = std::min(text.find_first_not_of(" \t\r\v\f"), text.size());
    return text.substr(first, text.find_last_not_of(" \t\r\v\f") + 1 - first);
}

// A non-blank line read simply (trimmed, no BOM): header name, or key and value less a quote pair.
struct Line {
    bool header;
    std::string_view name, value;
};

std::vector<Line> ReadLines(std::string_view text) {
    std::vector<Line> lines;
    for (std::size_t start = 0, lf = 0; start < text.size(); start = lf + 1) {
        lf = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, lf - start);
        line = Trim(line.starts_with("\xEF\xBB\xBF") ? line.substr(3) : line);
        const std::size_t cut = line.starts_with('[') ? line.rfind(']') : line.find('=');
        if (line.starts_with('[')) {
            lines.push_back({true, Trim(line.substr(1, cut == line.npos ? cut : cut - 1)), {}});
        } else if (!line.empty()) {
            const std::string_view v = cut == line.npos ? "" : Trim(line.substr(cut + 1));
            const bool quoted = v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0];
            lines.push_back(
                {false, Trim(line.substr(0, cut)), quoted ? v.substr(1, v.size() - 2) : v});
        }
    }
    return lines;
}

// The profile rules read the simple way: every line parsed on every lookup.
std::optional<std::string> ReferenceValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
    bool inSection = false;
    for (const Line& line : ReadLines(text)) {
        if (inSection && (line.header || NoCaseEqual(line.name, key))) {
            // The key's line, or the section's end: only the first section of a name is read.
            return line.header ? std::nullopt : std::optional(std::string(line.value));
        }
        inSection = line.header ? NoCaseEqual(line.name, section) : inSection;
    }
    return std::nullopt;
}

// A name the writer can store so that it reads back: one line, no blank at either end, and
// nothing that would end it early (']' in a section, '=' in a key) or make a key a header.
std::string Writable(std::string name, bool section) {
    std::erase_if(name, [&](char c) { return c == '\n' || (section ? c == ']' : c == '='); });
    name = std::string(Trim(name));
    if (!section && (name.starts_with('[') || name.starts_with("\xEF\xBB\xBF"))) {
        name.insert(0, "k");
    }
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string text = data.ConsumeRandomLengthString(4096);
    IniFile file = IniFile::FromText(text);
    Check(file.Text() == text);

    // Names that the text itself uses, so that lookups and changes hit existing lines.
    std::vector<std::string> used;
    for (const Line& line : ReadLines(text)) {
        used.emplace_back(line.name);
    }
    const auto pick = [&](bool section) {
        return !used.empty() && data.ConsumeBool()
                   ? used[data.ConsumeIntegralInRange<std::size_t>(0, used.size() - 1)]
                   : Writable(data.ConsumeRandomLengthString(12), section);
    };

    // Folded (section, key) to the value last written.
    std::map<std::pair<std::string, std::string>, std::string> written;
    while (data.remaining_bytes() > 0) {
        std::string section = pick(true);
        std::string key = pick(false);
        if (data.ConsumeBool()) {
            const std::size_t limit = data.ConsumeIntegralInRange<std::size_t>(0, 300);
            const auto at = written.find({FoldAscii(section), FoldAscii(key)});
            const auto expected = at != written.end() ? std::optional(at->second)
                                                      : ReferenceValue(text, section, key);
            Check(file.GetString(section, key, "\x01", limit) ==
                  tidemark::settings::CutToChars(expected.value_or("\x01"), limit));
        } else {
            section = Writable(section, true);
            key = Writable(key, false);
            const std::string value = data.ConsumeRandomLengthString(64);
            file.SetString(section, key, value);
            written[{FoldAscii(section), FoldAscii(key)}] =
                value.substr(0, value.find_first_of("\r\n"));
        }
    }
    const std::string out = file.Text();
    const IniFile reread = IniFile::FromText(out);
    Check(reread.Text() == out);
    for (const auto& [names, value] : written) {
        Check(file.GetString(names.first, names.second, "", 1 << 20) == value &&
              reread.GetString(names.first, names.second, "", 1 << 20) == value);
    }
    return 0;
}
