#include "catalogue/file_record.h"

#include <cinttypes>
#include <cstdio>

#include "platform/text.h"

namespace tidemark::catalogue {

namespace {

std::string_view NameOfPath(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string UpperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool ascii = true;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
        out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    if (ascii) {
        return out;
    }
    out.clear();
    for (const char32_t c : platform::DecodeUtf8(text)) {
        platform::AppendUtf8(out, platform::ToUpperChar(c));
    }
    return out;
}

struct CalendarTime {
    std::int64_t year;
    unsigned month, day, hour, minute, second;
};

// Calendar fields of a file time, with no time-zone adjustment.
CalendarTime ToCalendar(std::uint64_t fileTime) {
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kDaysFrom1601To1970 = 134'774;
    const std::uint64_t seconds = fileTime / kTicksPerSecond;
    const std::uint64_t secondOfDay = seconds % 86'400;
    // Days since 1970-01-01, then the proleptic Gregorian date (days-to-civil).
    const std::int64_t z =
        static_cast<std::int64_t>(seconds / 86'400) - kDaysFrom1601To1970 + 719'468;
    const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
    const std::int64_t dayOfEra = z - era * 146'097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1'460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const auto day = static_cast<unsigned>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const auto month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year,
            month,
            day,
            static_cast<unsigned>(secondOfDay / 3'600),
            static_cast<unsigned>(secondOfDay / 60 % 60),
            static_cast<unsigned>(secondOfDay % 60)};
}

}  // namespace

std::string_view ExtensionOf(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

TypeInfo DefaultTypeNamer(std::string_view path, bool isFolder) {
    if (isFolder) {
        return {"File Folder", 0};
    }
    const std::string_view extension = ExtensionOf(NameOfPath(path));
    if (extension.size() <= 1) {
        return {"File", 0};
    }
    std::string text = UpperCase(extension.substr(1));
    text += " File";
    return {std::move(text), 0};
}

std::string FormatFileTime(std::uint64_t fileTime) {
    const CalendarTime t = ToCalendar(fileTime);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02u-%02u-%4" PRId64 " %02u:%02u:%02u", t.month, t.day,
                  t.year, t.hour, t.minute, t.second);
    return buffer;
}

std::string FormatAttributes(std::uint32_t attributes) {
    static constexpr struct {
        std::uint32_t bit;
        char letter;
    } kLetters[] = {
        {platform::kAttrArchive, 'A'},   {platform::kAttrCompressed, 'C'},
        {platform::kAttrEncrypted, 'E'}, {platform::kAttrHidden, 'H'},
        {platform::kAttrReadOnly, 'R'},  {platform::kAttrSystem, 'S'},
    };
    std::string text;
    for (const auto& [bit, letter] : kLetters) {
        if ((attributes & bit) != 0) {
            text.push_back(letter);
        }
    }
    return text;
}

void FormatRecord(const FileRecord& record, std::vector<std::string>& texts) {
    texts.clear();
    texts.reserve(7);
    texts.push_back(record.name);
    texts.push_back(record.extension);
    texts.push_back(std::to_string(static_cast<std::int64_t>(record.size)));
    texts.push_back(FormatFileTime(record.created));
    texts.push_back(FormatFileTime(record.modified));
    texts.push_back(FormatAttributes(record.attributes));
    texts.push_back(record.typeName);
}

}  // namespace tidemark::catalogue
