#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "catalogue/file_record.h"
#include "tests/support/temp_folder.h"

namespace tidemark::catalogue {
namespace {

using testing::TempFolder;

// Sets TZ for one scope and restores it afterwards.
struct ScopedTimeZone {
    explicit ScopedTimeZone(const char* zone) : had(std::getenv("TZ") != nullptr) {
        old = had ? std::getenv("TZ") : "";
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        had ? setenv("TZ", old.c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    bool had;
    std::string old;
};

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kUnixEpoch = 11'644'473'600ULL * kTicksPerSecond;

TEST(FormatFileTime, MonthFirstUtcCalendarFields) {
    const struct {
        std::uint64_t fileTime;
        const char* text;
    } cases[] = {
        {0, "01-01-1601 00:00:00"},
        {kUnixEpoch, "01-01-1970 00:00:00"},
        {kUnixEpoch + 1'275'282'662ULL * kTicksPerSecond + 9'999'999, "05-31-2010 05:11:02"},
        {kUnixEpoch + 951'825'600ULL * kTicksPerSecond, "02-29-2000 12:00:00"},
        {kUnixEpoch + 4'107'542'399ULL * kTicksPerSecond, "02-28-2100 23:59:59"},
        {kUnixEpoch + 4'107'542'400ULL * kTicksPerSecond, "03-01-2100 00:00:00"},
        {kUnixEpoch - kTicksPerSecond, "12-31-1969 23:59:59"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFileTime(c.fileTime), c.text) << c.fileTime;
    }
}

TEST(FormatRecord, SevenColumnTextsOfARealFileInAnyTimeZone) {
    TempFolder dir;
    dir.File("Notes.md", "hello");
    chmod((dir / "Notes.md").c_str(), 0444);
    dir.SetTime("Notes.md", 1'275'282'662);  // 2010-05-31 05:11:02 UTC

    for (const char* zone : {"UTC", "America/New_York", "Asia/Kolkata", "Pacific/Kiritimati"}) {
        ScopedTimeZone tz(zone);
        FileCatalogue catalogue;
        ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
        ASSERT_EQ(catalogue.RecordCount(), 1);
        std::vector<std::string> texts{"stale"};
        FormatRecord(catalogue.GetRecords()[0], texts);
        ASSERT_EQ(texts.size(), 7U);
        // The creation time is the birth time where the file system keeps one; either way a
        // date in the same format.
        EXPECT_EQ(texts[3].size(), 19U) << texts[3];
        texts[3] = "created";
        EXPECT_EQ(texts, (std::vector<std::string>{"Notes.md", ".md", "5", "created",
                                                   "05-31-2010 05:11:02", "R", "MD File"}))
            << zone;
    }
}

TEST(FormatAttributes, LettersInFixedOrderWithoutPlaceholders) {
    const struct {
        std::uint32_t attributes;
        const char* letters;
    } cases[] = {
        {0x0, ""},     {0x80, ""},   {0x10, ""},        {0x400, ""},    {0x27, "AHRS"},
        {0x23, "AHR"}, {0x1, "R"},   {0x2, "H"},        {0x4, "S"},     {0x20, "A"},
        {0x40, "E"},   {0x800, "C"}, {0x867, "ACEHRS"}, {0x842, "CEH"}, {0xFFFFFFFF, "ACEHRS"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatAttributes(c.attributes), c.letters) << std::hex << c.attributes;
    }
}

TEST(FormatRecord, SizeIsShownAsSignedDecimal) {
    FileRecord record;
    std::vector<std::string> texts;
    for (const auto& [size, text] : {std::pair<std::uint64_t, const char*>{0, "0"},
                                     {4'294'967'296ULL, "4294967296"},
                                     {0xFFFFFFFFFFFFFFFFULL, "-1"}}) {
        record.size = size;
        FormatRecord(record, texts);
        EXPECT_EQ(texts[2], text);
    }
}

TEST(DefaultTypeNamer, DescribesByExtensionWithoutTouchingTheFile) {
    const struct {
        const char* path;
        bool isFolder;
        const char* type;
    } cases[] = {
        {"/nowhere/a.txt", false, "TXT File"},
        {"/nowhere/archive.tar.gz", false, "GZ File"},
        {"/nowhere/README", false, "File"},
        {"/nowhere/name.", false, "File"},
        {"/no.where/plain", false, "File"},
        {"/nowhere/photo.jpeg", false, "JPEG File"},
        {"/nowhere/\xc3\xa9t\xc3\xa9.\xc3\xa9x", false, "\xc3\x89X File"},
        {"/nowhere/dir.d", true, "File Folder"},
    };
    for (const auto& c : cases) {
        const TypeInfo info = DefaultTypeNamer(c.path, c.isFolder);
        EXPECT_EQ(info.typeName, c.type) << c.path;
        EXPECT_EQ(info.iconIndex, 0);
    }
}

}  // namespace
}  // namespace tidemark::catalogue
