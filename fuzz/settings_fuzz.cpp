// The settings reader and writer. The fuzzer's bytes are a file's text and a list of changes.
// Checked: an unchanged file is written back byte for byte; every lookup agrees with a plain
// line-by-line reading of the same text; what was written is what is read, before and after
// the text is written out and read again (for some inputs through a real file: Save, then
// Load).

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "settings/ini_file.h"

namespace {

using tidemark::settings::IniFile;

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::size_t kNoLimit = 1 << 20;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The profile rules read the simple way: every line parsed on every lookup.
std::optional<std::string> ReferenceValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
    bool inSection = false;
    bool sectionSeen = false;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        if (line.starts_with("\xEF\xBB\xBF")) {
            line.remove_prefix(3);
        }
        line = Trim(line);
        if (line.empty()) {
            continue;
        }
        if (line.front() == '[') {
            if (inSection) {
                return std::nullopt;  // only the first section of a name is read
            }
            const std::size_t close = line.rfind(']');
            const std::string_view name =
                Trim(line.substr(1, close == std::string_view::npos ? close : close - 1));
            inSection = !sectionSeen && tidemark::platform::NoCaseEqual(name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inSection && tidemark::platform::NoCaseEqual(Trim(line.substr(0, equals)), key)) {
            std::string_view value = equals == std::string_view::npos
                                         ? std::string_view()
                                         : Trim(line.substr(equals + 1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return std::string(value);
        }
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

// Names that the text itself uses, so that lookups and changes hit existing lines.
std::vector<std::string> NamesIn(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty() && names.size() < 64) {
        const std::size_t lf = text.find('\n');
        const std::string_view line = Trim(text.substr(0, lf));
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        if (line.starts_with('[')) {
            names.emplace_back(Trim(line.substr(1, line.rfind(']') - 1)));
        } else if (!line.empty()) {
            names.emplace_back(Trim(line.substr(0, line.find('='))));
        }
    }
    return names;
}

// A file of this process on a memory file system where there is one, so that the save's
// syncs cost little. Its folder is kept in plain storage, which outlives the exit handlers.
char gSaveFolder[64];

const std::string& SavePath() {
    static const std::string path = [] {
        std::snprintf(gSaveFolder, sizeof gSaveFolder, "%s/tidemark-fuzz-XXXXXX",
                      access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        Check(mkdtemp(gSaveFolder) != nullptr);
        std::atexit([] {
            char file[sizeof gSaveFolder + 16];
            std::snprintf(file, sizeof file, "%s/tmk.ini", gSaveFolder);
            std::remove(file);
            std::remove(gSaveFolder);
        });
        return std::string(gSaveFolder) + "/tmk.ini";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const bool viaFile = size > 0 && bytes[0] % 8 == 0;
    FuzzedDataProvider data(bytes, size);
    const std::string text = data.ConsumeRandomLengthString(4096);
    IniFile file = IniFile::FromText(text);
    Check(file.Text() == text);

    const std::vector<std::string> used = NamesIn(text);
    const auto pick = [&](bool section) {
        if (!used.empty() && data.ConsumeBool()) {
            return used[data.ConsumeIntegralInRange<std::size_t>(0, used.size() - 1)];
        }
        return Writable(data.ConsumeRandomLengthString(12), section);
    };

    // Folded (section, key) to the value last written.
    std::map<std::pair<std::string, std::string>, std::string> written;
    const auto folded = [](const std::string& section, const std::string& key) {
        return std::make_pair(tidemark::platform::FoldAscii(section),
                              tidemark::platform::FoldAscii(key));
    };
    while (data.remaining_bytes() > 0) {
        std::string section = pick(true);
        std::string key = pick(false);
        if (data.ConsumeBool()) {
            const std::size_t limit = data.ConsumeIntegralInRange<std::size_t>(0, 300);
            const auto expected = written.contains(folded(section, key))
                                      ? std::optional(written[folded(section, key)])
                                      : ReferenceValue(text, section, key);
            Check(file.GetString(section, key, "\x01", limit) ==
                  tidemark::settings::CutToChars(expected.value_or("\x01"), limit));
        } else {
            section = Writable(section, true);
            key = Writable(key, false);
            const std::string value = data.ConsumeRandomLengthString(64);
            file.SetString(section, key, value);
            written[folded(section, key)] = value.substr(0, value.find_first_of("\r\n"));
        }
    }

    const std::string out = file.Text();
    if (viaFile) {
        Check(file.Save(SavePath()));
        IniFile::State state = IniFile::State::kMissing;
        Check(IniFile::Load(SavePath(), state).Text() == out && state == IniFile::State::kRead);
    }
    const IniFile reread = IniFile::FromText(out);
    Check(reread.Text() == out);
    for (const auto& [names, value] : written) {
        Check(file.GetString(names.first, names.second, "", kNoLimit) == value);
        Check(reread.GetString(names.first, names.second, "", kNoLimit) == value);
    }
    return 0;
}
