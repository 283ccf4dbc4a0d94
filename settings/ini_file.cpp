#include "settings/ini_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "platform/fs_calls.h"
#include "platform/text.h"

#include <optional>
#include <utility>

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

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A blank or a line end: what a blank line is made of.
bool IsSpace(char c) {
    return c == '\n' || IsBlank(c);
}

// Names hash without regard to case, as they compare.
std::uint64_t FoldedHash(std::string_view text, std::uint64_t seed) {
    std::uint64_t hash = seed ^ 0xcbf29ce484222325u;
    for (const char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 'A' && byte <= 'Z') {
            byte = static_cast<unsigned char>(byte - 'A' + 'a');
        }
        hash = (hash ^ byte) * 0x100000001b3u;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdu;
    hash ^= hash >> 33;
    return hash;
}

std::uint64_t SectionHash(std::string_view name) {
    return FoldedHash(name, 0);
}

std::uint64_t KeyHash(std::uint32_t header, std::string_view key) {
    return FoldedHash(key, (std::uint64_t{header} + 1) * 0x9e3779b97f4a7c15u);
}

// Large blocks are asked to live in huge pages: a 100 MB file otherwise costs tens of thousands
// of page faults, more than the reading itself. Only advice: nothing fails without it.
void AdviseHugePages(const void* data, std::size_t size) {
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + size) & ~(kHuge - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    bool Close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

// The whole content of an open regular file, read to its end even if it grew meanwhile.
// nullopt on a read error or when the file is too large to index.
std::optional<std::string> ReadAll(int fd, std::size_t expected, std::size_t limit) {
    if (expected > limit) {
        return std::nullopt;
    }
    std::string text;
    // One byte more than expected, so that the read that sees the end needs no new block.
    text.reserve(expected + 1);
    AdviseHugePages(text.data(), expected + 1);
    text.resize(expected + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == text.size()) {
            if (text.size() > limit) {
                return std::nullopt;
            }
            text.resize(text.size() * 2);
        }
        const ssize_t n = platform::FsCalls().read(fd, text.data() + got, text.size() - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got > limit) {
        return std::nullopt;
    }
    text.resize(got);
    return text;
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = platform::FsCalls().write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
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

IniFile::IniFile(std::string text) : text_(std::move(text)) {
    BuildIndex();
}

IniFile IniFile::Load(const std::string& path) {
    State state = State::kMissing;
    return Load(path, state);
}

IniFile IniFile::Load(const std::string& path, State& state) {
    state = State::kUnreadable;
    try {
        // Only a regular file is opened at all: opening a device can have effects of its own.
        struct stat info {};
        if (platform::FsCalls().fstatat(AT_FDCWD, path.c_str(), &info, 0) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) {
                state = State::kMissing;
            }
            return IniFile();
        }
        if (!S_ISREG(info.st_mode)) {
            return IniFile();
        }
        // Non-blocking, so that whatever replaced the file meanwhile cannot hang the start.
        FileDescriptor fd(platform::FsCalls().openat(
            AT_FDCWD, path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0));
        if (fd.Get() < 0) {
            if (errno == ENOENT) {
                state = State::kMissing;
            }
            return IniFile();
        }
        if (platform::FsCalls().fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
            return IniFile();
        }
        auto text = ReadAll(fd.Get(), static_cast<std::size_t>(info.st_size), kNone - 1);
        if (!text) {
            return IniFile();
        }
        IniFile file(std::move(*text));
        state = State::kRead;
        return file;
    } catch (const std::exception&) {
        // Out of memory for this file: it was not read completely.
        return IniFile();
    }
}

IniFile IniFile::FromText(std::string_view text) {
    if (text.size() >= kNone) {
        return IniFile();
    }
    return IniFile(std::string(text));
}

std::string_view IniFile::LineAt(Offset offset) const {
    const std::string_view rest = std::string_view(text_).substr(offset);
    const std::size_t lf = rest.find('\n');
    if (lf == npos) {
        return rest;
    }
    return rest.substr(0, lf > 0 && rest[lf - 1] == '\r' ? lf - 1 : lf);
}

// A slot holds the upper half of the entry's hash beside its offset plus one (0: empty), so
// that a probe reads the file's text only when the hashes agree; that half also picks the
// place, so the table never needs the text to grow.
template <typename Match>
IniFile::Offset IniFile::Lookup(std::uint64_t hash, const Match& match) const {
    if (slots_.empty()) {
        return kNone;
    }
    const std::size_t mask = slots_.size() - 1;
    const std::uint64_t tag = hash & 0xffffffff00000000u;
    for (std::size_t i = (hash >> 32) & mask;; i = (i + 1) & mask) {
        const std::uint64_t slot = slots_[i];
        if (slot == 0) {
            return kNone;
        }
        const auto offset = static_cast<Offset>((slot & 0xffffffffu) - 1);
        if ((slot & 0xffffffff00000000u) == tag && match(offset)) {
            return offset;
        }
    }
}

template <typename Match>
bool IniFile::InsertIfNew(std::uint64_t hash, Offset offset, const Match& match) {
    // At most three quarters full, so that chains stay short.
    if ((used_ + 1) * 4 > slots_.size() * 3) {
        const std::size_t size = std::max<std::size_t>(16, slots_.size() * 2);
        std::vector<std::uint64_t> old;
        old.reserve(size);
        AdviseHugePages(old.data(), size * sizeof(std::uint64_t));
        old.resize(size, 0);
        old.swap(slots_);
        for (const std::uint64_t slot : old) {
            if (slot != 0) {
                slots_[FreeSlot(slot)] = slot;
            }
        }
    }
    // One walk along the chain both looks for the name and finds the free slot.
    const std::uint64_t slot = (hash & 0xffffffff00000000u) | (std::uint64_t{offset} + 1);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = (hash >> 32) & mask;
    for (; slots_[i] != 0; i = (i + 1) & mask) {
        if ((slots_[i] & 0xffffffff00000000u) == (slot & 0xffffffff00000000u) &&
            match(static_cast<Offset>((slots_[i] & 0xffffffffu) - 1))) {
            return false;
        }
    }
    slots_[i] = slot;
    ++used_;
    return true;
}

std::size_t IniFile::FreeSlot(std::uint64_t slot) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = (slot >> 32) & mask;
    while (slots_[i] != 0) {
        i = (i + 1) & mask;
    }
    return i;
}

auto IniFile::SectionMatch(std::string_view section) const {
    return [this, section](Offset offset) {
        const ParsedLine line = ParseLine(LineAt(offset));
        return line.kind == ParsedLine::kSection && platform::NoCaseEqual(line.name, section);
    };
}

auto IniFile::KeyMatch(Offset header, std::string_view key) const {
    return [this, header, key](Offset offset) {
        const ParsedLine line = ParseLine(LineAt(offset));
        return line.kind == ParsedLine::kKey && platform::NoCaseEqual(line.name, key) &&
               SectionOf(offset) == header;
    };
}

IniFile::Offset IniFile::FindSection(std::string_view section) const {
    return Lookup(SectionHash(section), SectionMatch(section));
}

IniFile::Offset IniFile::FindKey(Offset header, std::string_view key) const {
    return Lookup(KeyHash(header, key), KeyMatch(header, key));
}

IniFile::Offset IniFile::SectionOf(Offset offset) const {
    const auto after = std::upper_bound(headers_.begin(), headers_.end(), offset);
    return after == headers_.begin() ? kNone : *(after - 1);
}

IniFile::Offset IniFile::InsertionPoint(Offset header) const {
    const auto next = std::upper_bound(headers_.begin(), headers_.end(), header);
    const std::size_t end = next == headers_.end() ? text_.size() : *next;
    const std::string_view text = text_;
    // One past the ending of the section's last non-blank line (its header at least).
    std::size_t point = end;
    std::size_t lineStart = header;
    for (std::size_t i = header; i < end; ++i) {
        if (text[i] == '\n') {
            lineStart = i + 1;
            continue;
        }
        if (IsBlank(text[i])) {
            continue;
        }
        const std::size_t lf = text.find('\n', i);
        if (ParseLine(LineAt(static_cast<Offset>(lineStart))).kind != ParsedLine::kBlank) {
            point = lf == npos ? text.size() : lf + 1;
        }
        if (lf == npos || lf + 1 >= end) {
            break;
        }
        i = lf;
        lineStart = lf + 1;
    }
    return static_cast<Offset>(point);
}

void IniFile::BuildIndex() {
    const std::string_view text = text_;
    const std::size_t firstLf = text.find('\n');
    if (firstLf != npos && firstLf > 0 && text[firstLf - 1] == '\r') {
        newLine_ = "\r\n";
    }
    // A large file's table is far larger than the cache: each line's slot is fetched while
    // the next lines are parsed, and the line is entered some lines later.
    struct Pending {
        std::uint64_t hash;
        Offset offset;
        Offset header;  // the section the line is in (its own offset for a header)
        std::string_view name;
        bool isSection;
    };
    constexpr std::size_t kAhead = 16;
    std::array<Pending, kAhead> pending{};
    std::size_t first = 0;
    std::size_t count = 0;
    // The header of the current section while it is the first of its name; keys of later
    // sections of the same name are never read.
    Offset section = kNone;
    const auto enter = [&](const Pending& line) {
        if (line.isSection) {
            section =
                InsertIfNew(line.hash, line.offset, SectionMatch(line.name)) ? line.offset : kNone;
        } else if (line.header == section) {
            InsertIfNew(line.hash, line.offset, KeyMatch(section, line.name));
        }
    };

    Offset header = kNone;
    std::size_t i = 0;
    while (i < text.size()) {
        // Blank lines cost one look at each byte and nothing in the index.
        const std::size_t scanned = i;
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        if (i == text.size()) {
            break;
        }
        const std::size_t lastLf = text.substr(scanned, i - scanned).rfind('\n');
        const auto offset = static_cast<Offset>(lastLf == npos ? scanned : scanned + lastLf + 1);
        const ParsedLine line = ParseLine(LineAt(offset));
        std::optional<Pending> next;
        if (line.kind == ParsedLine::kSection) {
            headers_.push_back(offset);
            header = offset;
            next = Pending{SectionHash(line.name), offset, offset, line.name, true};
        } else if (line.kind == ParsedLine::kKey && header != kNone) {
            next = Pending{KeyHash(header, line.name), offset, header, line.name, false};
        }
        if (next) {
            if (!slots_.empty()) {
                __builtin_prefetch(&slots_[(next->hash >> 32) & (slots_.size() - 1)]);
            }
            if (count == kAhead) {
                enter(pending[first]);
                pending[first] = *next;
                first = (first + 1) % kAhead;
            } else {
                pending[(first + count++) % kAhead] = *next;
            }
        }
        const std::size_t lf = text.find('\n', i);
        if (lf == npos) {
            break;
        }
        i = lf + 1;
    }
    for (std::size_t k = 0; k < count; ++k) {
        enter(pending[(first + k) % kAhead]);
    }
}

const IniFile::Added* IniFile::FindAdded(Offset header, std::string_view name) const {
    for (const Added& added : added_) {
        if (added.header == header &&
            (header != kNone || platform::NoCaseEqual(added.name, name))) {
            return &added;
        }
    }
    return nullptr;
}

IniFile::Added* IniFile::FindAdded(Offset header, std::string_view name) {
    return const_cast<Added*>(std::as_const(*this).FindAdded(header, name));
}

const std::string* IniFile::FindAddedKey(const Added& added, std::string_view key) {
    for (const std::string& line : added.lines) {
        if (platform::NoCaseEqual(ParseLine(line).name, key)) {
            return &line;
        }
    }
    return nullptr;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, std::size_t maxChars) const {
    const Offset header = FindSection(section);
    std::optional<std::string_view> line;
    if (const Offset at = header == kNone ? kNone : FindKey(header, key); at != kNone) {
        const auto changed = replaced_.find(at);
        line = changed == replaced_.end() ? LineAt(at) : std::string_view(changed->second);
    } else if (const Added* added = FindAdded(header, section)) {
        if (const std::string* text = FindAddedKey(*added, key)) {
            line = *text;
        }
    }
    if (!line) {
        return CutToChars(defaultValue, maxChars);
    }
    return CutToChars(DropQuotes(ParseLine(*line).value), maxChars);
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
    const std::string stored = StoredValue(value);
    const Offset header = FindSection(section);
    if (const Offset at = header == kNone ? kNone : FindKey(header, key); at != kNone) {
        // The key keeps the spelling the file gives it.
        const auto changed = replaced_.find(at);
        const std::string_view line =
            changed == replaced_.end() ? LineAt(at) : std::string_view(changed->second);
        std::string text = std::string(ParseLine(line).name) + "=" + stored;
        replaced_[at] = std::move(text);
        return;
    }
    Added* added = FindAdded(header, section);
    if (added == nullptr) {
        added_.push_back({header,
                          header == kNone ? kNone : InsertionPoint(header),
                          header == kNone ? std::string(section) : std::string(),
                          {}});
        added = &added_.back();
    }
    for (std::string& line : added->lines) {
        if (const std::string_view name = ParseLine(line).name; platform::NoCaseEqual(name, key)) {
            line = std::string(name) + "=" + stored;
            return;
        }
    }
    added->lines.push_back(std::string(key) + "=" + stored);
}

std::string IniFile::Text() const {
    // Changes in file order: replaced key lines and lines added to existing sections.
    std::vector<const Added*> inserts;
    std::size_t extra = 0;
    for (const Added& added : added_) {
        if (added.header != kNone) {
            inserts.push_back(&added);
        }
        for (const std::string& line : added.lines) {
            extra += line.size() + newLine_.size();
        }
        extra += added.name.size() + 4 + newLine_.size();
    }
    std::sort(inserts.begin(), inserts.end(),
              [](const Added* a, const Added* b) { return a->at < b->at; });
    for (const auto& [at, line] : replaced_) {
        extra += line.size();
    }

    std::string out;
    out.reserve(text_.size() + extra);
    const auto endLine = [&] {
        if (!out.empty() && out.back() != '\n') {
            out += newLine_;
        }
    };
    const auto addLines = [&](const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            out += line;
            out += newLine_;
        }
    };
    std::size_t pos = 0;
    auto insert = inserts.begin();
    auto replace = replaced_.begin();
    while (insert != inserts.end() || replace != replaced_.end()) {
        if (replace == replaced_.end() ||
            (insert != inserts.end() && (*insert)->at <= replace->first)) {
            out.append(text_, pos, (*insert)->at - pos);
            pos = (*insert)->at;
            endLine();
            addLines((*insert)->lines);
            ++insert;
        } else {
            out.append(text_, pos, replace->first - pos);
            out += replace->second;
            pos = replace->first + LineAt(replace->first).size();
            ++replace;
        }
    }
    out.append(text_, pos);
    for (const Added& added : added_) {
        if (added.header == kNone) {
            endLine();
            out += "[" + added.name + "]" + newLine_;
            addLines(added.lines);
        }
    }
    return out;
}

bool IniFile::Save(const std::string& path) const {
    std::string temp;
    try {
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
        struct stat old {};
        const bool exists = platform::FsCalls().fstatat(AT_FDCWD, target.c_str(), &old, 0) == 0;
        if (exists && !S_ISREG(old.st_mode)) {
            return false;
        }

        // A fresh name beside the target, created exclusively so no other file is ever
        // overwritten.
        int fd = -1;
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            temp = target.string() + ".tmp" + (attempt == 0 ? "" : std::to_string(attempt));
            fd = platform::FsCalls().openat(AT_FDCWD, temp.c_str(),
                                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST) {
                return false;
            }
        }
        if (fd < 0) {
            return false;
        }
        FileDescriptor out(fd);
        bool ok = WriteAll(fd, Text());
        if (ok && exists) {
            platform::FsCalls().fchmod(fd, old.st_mode & 07777);
        }
        // On the disk before it takes the old file's name, so a crash leaves one whole file.
        ok = ok && platform::FsCalls().fsync(fd) == 0;
        ok = out.Close() && ok;
        ok = ok && platform::FsCalls().renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(),
                                                 0) == 0;
        if (!ok) {
            platform::FsCalls().unlinkat(AT_FDCWD, temp.c_str(), 0);
            return false;
        }
        // The rename itself is made durable by syncing the folder; the file is in place either
        // way, so a folder that cannot be synced does not fail the save.
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        FileDescriptor dir(platform::FsCalls().openat(AT_FDCWD, folder.c_str(),
                                                      O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
        if (dir.Get() >= 0) {
            platform::FsCalls().fsync(dir.Get());
        }
        return true;
    } catch (const std::exception&) {
        if (!temp.empty()) {
            platform::FsCalls().unlinkat(AT_FDCWD, temp.c_str(), 0);
        }
        return false;
    }
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
    IniFile::State state = IniFile::State::kMissing;
    IniFile file = IniFile::Load(path, state);
    if (state == IniFile::State::kUnreadable) {
        return false;
    }
    file.SetString(section, key, value);
    return file.Save(path);
}

}  // namespace tidemark::settings
