#include "settings/ini_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/text.h"

namespace fs = std::filesystem;

namespace tidemark::settings {
namespace {

constexpr std::size_t npos = std::string::npos;
constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// What one line of the file is, read the way the profile functions read it: a "[name]" header,
// or a key line (the text before the first "=", or the whole line when it has none), or blank.
struct ParsedLine {
    enum Kind { kBlank, kSection, kKey } kind = kBlank;
    std::string_view name;
    std::string_view value;  // key lines: trimmed, quotes still on
};

ParsedLine ParseLine(std::string_view text) {
    if (text.starts_with(kUtf8Bom)) {
        text.remove_prefix(kUtf8Bom.size());
    }
    text = Trim(text);
    ParsedLine line;
    if (text.empty()) {
        return line;
    }
    if (text.front() == '[') {
        const std::size_t close = text.rfind(']');
        line.kind = ParsedLine::kSection;
        line.name = Trim(text.substr(1, close == npos ? npos : close - 1));
        return line;
    }
    line.kind = ParsedLine::kKey;
    const std::size_t equals = text.find('=');
    line.name = Trim(text.substr(0, equals));
    if (equals != npos) {
        line.value = Trim(text.substr(equals + 1));
    }
    return line;
}

std::string_view DropQuotes(std::string_view value) {
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The text to write for value: one line, quoted when reading would otherwise change it.
std::string StoredValue(std::string_view value) {
    value = value.substr(0, value.find_first_of("\r\n"));
    if (value.empty()) {
        return {};
    }
    const bool blankAtEnd =
        kBlanks.find(value.front()) != npos || kBlanks.find(value.back()) != npos;
    const bool quotedAlready =
        value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
    if (blankAtEnd || quotedAlready) {
        // Appended, not "\"" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on that form.
        return std::string("\"").append(value).append("\"");
    }
    return std::string(value);
}

}  // namespace

std::string CutToChars(std::string_view text, std::size_t maxChars) {
    // A byte is at most one character, so a short text needs no decoding.
    if (text.size() <= maxChars) {
        return std::string(text);
    }
    std::u32string chars = platform::DecodeUtf8(text);
    if (chars.size() > maxChars) {
        chars.resize(maxChars);
    }
    return platform::EncodeUtf8(chars);
}

IniFile IniFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return IniFile();
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return FromText(text);
}

IniFile IniFile::FromText(std::string_view text) {
    IniFile file;
    bool endingSeen = false;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        Line line;
        if (lf == npos) {
            line.text = std::string(text);
            text = {};
        } else {
            const bool crlf = lf > 0 && text[lf - 1] == '\r';
            line.text = std::string(text.substr(0, crlf ? lf - 1 : lf));
            line.ending = crlf ? "\r\n" : "\n";
            text.remove_prefix(lf + 1);
            if (!endingSeen) {
                file.newLine_ = line.ending;
                endingSeen = true;
            }
        }
        file.lines_.push_back(std::move(line));
    }
    return file;
}

std::size_t IniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine line = ParseLine(lines_[i].text);
        if (line.kind == ParsedLine::kSection && platform::NoCaseEqual(line.name, section)) {
            return i;
        }
    }
    return npos;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && ParseLine(lines_[i].text).kind != ParsedLine::kSection) {
        ++i;
    }
    return i;
}

std::size_t IniFile::FindKey(std::size_t header, std::string_view key) const {
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const ParsedLine line = ParseLine(lines_[i].text);
        if (line.kind == ParsedLine::kKey && platform::NoCaseEqual(line.name, key)) {
            return i;
        }
    }
    return npos;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, std::size_t maxChars) const {
    const std::size_t header = FindSection(section);
    const std::size_t at = header == npos ? npos : FindKey(header, key);
    if (at == npos) {
        return CutToChars(defaultValue, maxChars);
    }
    return CutToChars(DropQuotes(ParseLine(lines_[at].text).value), maxChars);
}

std::int32_t IniFile::GetInt(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const {
    // The classic reader looks at no more than 29 characters of the value.
    const std::string value = GetString(section, key, "", 29);
    if (value.empty()) {
        return defaultValue;
    }
    std::size_t i = 0;
    while (i < value.size() && static_cast<unsigned char>(value[i]) <= ' ') {
        ++i;
    }
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    std::uint32_t result = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        result = result * 10u + static_cast<std::uint32_t>(value[i] - '0');
    }
    if (negative) {
        result = 0u - result;
    }
    return static_cast<std::int32_t>(result);
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string keyLine = std::string(key) + "=" + StoredValue(value);
    const std::size_t header = FindSection(section);
    if (header == npos) {
        if (!lines_.empty() && lines_.back().ending.empty()) {
            lines_.back().ending = newLine_;
        }
        lines_.push_back({std::string("[").append(section).append("]"), newLine_});
        lines_.push_back({keyLine, newLine_});
        return;
    }
    const std::size_t at = FindKey(header, key);
    if (at != npos) {
        // The key keeps the spelling the file gives it.
        lines_[at].text = std::string(ParseLine(lines_[at].text).name) + "=" + StoredValue(value);
        return;
    }
    // After the section's last non-blank line, so blank lines before the next section stay.
    std::size_t last = SectionEnd(header) - 1;
    while (last > header && ParseLine(lines_[last].text).kind == ParsedLine::kBlank) {
        --last;
    }
    if (lines_[last].ending.empty()) {
        lines_[last].ending = newLine_;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), {keyLine, newLine_});
}

std::string IniFile::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += line.ending;
    }
    return text;
}

bool IniFile::Save(const std::string& path) const {
    std::error_code ec;
    fs::path target(path);
    // Replace the file a symbolic link points to, not the link.
    if (fs::is_symlink(target, ec)) {
        target = fs::weakly_canonical(target, ec);
        if (ec) {
            return false;
        }
    }
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
    }

    // A fresh name beside the target, opened exclusively so no other file is ever overwritten.
    std::string temp;
    std::FILE* out = nullptr;
    for (int attempt = 0; attempt < 100 && out == nullptr; ++attempt) {
        temp = target.string() + ".tmp" + (attempt == 0 ? "" : std::to_string(attempt));
        errno = 0;
        out = std::fopen(temp.c_str(), "wbx");
        if (out == nullptr && errno != EEXIST) {
            return false;
        }
    }
    if (out == nullptr) {
        return false;
    }
    const std::string text = Text();
    bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    ok = std::fflush(out) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;

    if (ok) {
        const fs::file_status old = fs::status(target, ec);
        if (!ec && fs::exists(old)) {
            fs::permissions(temp, old.permissions(), ec);
        }
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
    }
    return ok;
}

std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t maxChars,
                              const std::string& path) {
    return IniFile::Load(path).GetString(section, key, defaultValue, maxChars);
}

std::int32_t ReadProfileInt(std::string_view section, std::string_view key,
                            std::int32_t defaultValue, const std::string& path) {
    return IniFile::Load(path).GetInt(section, key, defaultValue);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path) {
    IniFile file = IniFile::Load(path);
    file.SetString(section, key, value);
    return file.Save(path);
}

}  // namespace tidemark::settings
