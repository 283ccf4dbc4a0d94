#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "catalogue/file_record.h"
#include "tests/support/temp_folder.h"

namespace tidemark::catalogue {
namespace {

using testing::TempFolder;
using Names = std::vector<std::string>;

Names NamesOf(const RecordList& records) {
    Names names;
    for (const FileRecord& r : records) {
        names.push_back(r.name);
    }
    return names;
}

// Folders first, each group in no-case order ("_" before letters; bytewise it is between the cases)
// and numbered so; dot entries listed, hidden; a "." in the folder's own name is no extension.
TEST(LoadFolder, NumberingExtensionsTypesAndHiddenEntries) {
    const std::string longExt = "a." + std::string(120, 'q');
    const struct {
        std::string name, extension, type;
    } rows[] = {
        {".cache", ".cache", "File Folder"},
        {"A", "", "File Folder"},
        {"b", "", "File Folder"},
        {"old.backup", ".backup", "File Folder"},
        {".profile", ".profile", "PROFILE File"},
        {"_x", "", "File"},
        {"a.b.c", ".c", "C File"},
        {longExt, longExt.substr(1), std::string(79, 'Q')},  // the type text is cut
        {"name.", ".", "File"},
        {"Y.TxT", ".TxT", "TXT File"},
        {"\xc3\xa9t\xc3\xa9.\xc3\xa9x", ".\xc3\xa9x", "\xc3\x89X File"},
    };
    TempFolder base;
    const std::string path = base.Folder("no.where");
    for (const auto& row : rows) {
        row.type == "File Folder" ? base.Folder("no.where/" + row.name)
                                  : base.File("no.where/" + row.name);
    }
    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(path), kOk);
    EXPECT_EQ(catalogue.FolderCount(), 4);
    EXPECT_EQ(catalogue.FolderPath(), path);
    ASSERT_NE(catalogue.GetOrder(kKeyName), nullptr);
    EXPECT_EQ(*catalogue.GetOrder(kKeyName), (Order{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    const RecordList& records = catalogue.GetRecords();
    ASSERT_EQ(records.size(), std::size(rows));
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(records[i].name, rows[i].name);
        EXPECT_EQ(records[i].index, static_cast<std::int32_t>(i));
        EXPECT_EQ(records[i].isFile, i >= 4);
        EXPECT_EQ((records[i].attributes & platform::kAttrHidden) != 0, rows[i].name[0] == '.');
        EXPECT_EQ(records[i].extension, rows[i].extension);
        EXPECT_EQ(records[i].typeName, rows[i].type);
    }
}

// The flags choose files, folders and dot entries (0x4 alone adds no folders); the caller's text
// loses its trailing separator; the root stays "/"; a folder that cannot be listed loads empty.
TEST(LoadFolder, FlagsFolderTextsRootAndMissingFolders) {
    TempFolder dir;
    dir.Folder("sub");
    dir.File("f.txt");
    const struct {
        unsigned flags;
        Names names;
        std::int32_t folders;
    } cases[] = {{0x2, {"sub"}, 1}, {0x5, {"f.txt"}, 0}, {0x7, {".", "..", "sub", "f.txt"}, 3}};
    for (const auto& c : cases) {
        std::string withSlash = dir.Path() + "/";
        FileCatalogue catalogue;
        ASSERT_EQ(catalogue.LoadFolder(withSlash, c.flags), kOk);
        EXPECT_EQ(NamesOf(catalogue.GetRecords()), c.names) << c.flags;
        EXPECT_EQ(catalogue.FolderCount(), c.folders) << c.flags;
        EXPECT_EQ(withSlash, dir.Path());
        EXPECT_EQ(catalogue.FolderPath(), dir.Path());
    }
    FileCatalogue catalogue;
    EXPECT_EQ(catalogue.GetFolder(), std::filesystem::current_path().string());
    catalogue.SetFolder("/some/where");
    EXPECT_EQ(catalogue.GetFolder(), "/some/where");
    ASSERT_EQ(catalogue.LoadFolder(std::string("/")), kOk);
    EXPECT_EQ(catalogue.FolderPath(), "/");
    EXPECT_EQ(catalogue.RecordCount(), std::distance(std::filesystem::directory_iterator("/"), {}));
    ASSERT_EQ(catalogue.LoadFolder(dir / "missing"), kOk);
    EXPECT_TRUE(catalogue.GetRecords().empty());
    EXPECT_EQ(catalogue.FolderCount(), 0);
    ASSERT_NE(catalogue.GetOrder(kKeyName), nullptr);
    EXPECT_TRUE(catalogue.GetOrder(kKeyName)->empty());
}

// A failed type lookup keeps the record, type empty; running out of memory empties the catalogue.
TEST(LoadFolder, SizesAndTheTypeNamerOfTheCallerWithItsFailures) {
    TempFolder dir;
    dir.SizedFile("big.iso", (5ULL << 30) + 7);
    dir.File("small.txt", "12345");
    dir.Folder("sub");
    std::vector<std::pair<std::string, bool>> asked;
    std::string longType;
    for (int i = 0; i < 100; ++i) {
        longType += "\xc3\xa9";
    }
    FileCatalogue catalogue;
    catalogue.SetTypeNamer([&asked, &longType](std::string_view path, bool isFolder) {
        asked.emplace_back(std::string(path), isFolder);
        if (path.ends_with("small.txt")) {
            throw std::runtime_error("no type service");
        }
        // A caller's long text is cut to 79 characters too, never inside a character.
        return TypeInfo{isFolder ? longType : "file", static_cast<std::uint16_t>(isFolder ? 3 : 9)};
    });
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked,
              (std::vector<std::pair<std::string, bool>>{
                  {dir / "big.iso", false}, {dir / "small.txt", false}, {dir / "sub", true}}));
    Names texts;  // size column, type text and icon of each record
    for (const FileRecord& r : catalogue.GetRecords()) {
        std::vector<std::string> columns;
        FormatRecord(r, columns);
        texts.push_back(columns[2] + " " + r.typeName + " " + std::to_string(r.iconIndex));
    }
    EXPECT_EQ(texts,
              (Names{"0 " + longType.substr(0, 2 * 79) + " 3", "5368709127 file 9", "5  0"}));
    FileRecord huge;
    huge.size = 0xFFFFFFFFFFFFFFFFULL;
    FormatRecord(huge, texts);
    EXPECT_EQ(texts[2], "-1") << "sizes show as signed decimals";
    int calls = 0;
    catalogue.SetTypeNamer([&calls](std::string_view path, bool isFolder) {
        if (++calls == 2) {
            throw std::bad_alloc();
        }
        return DefaultTypeNamer(path, isFolder);
    });
    EXPECT_EQ(catalogue.LoadFolder(dir.Path()), kOutOfMemory);
    EXPECT_TRUE(catalogue.GetRecords().empty());
    EXPECT_EQ(catalogue.FolderCount(), 0);
    EXPECT_EQ(catalogue.RowCount(), 0);
}

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kUnixEpoch = 11'644'473'600ULL * kTicksPerSecond;

TEST(FormatRecord, TimesAndAttributeLetters) {
    const struct {
        std::uint64_t fileTime;
        const char* text;
    } times[] = {
        {0, "01-01-1601 00:00:00"},
        {kUnixEpoch + 1'275'282'662ULL * kTicksPerSecond + 9'999'999, "05-31-2010 05:11:02"},
        {kUnixEpoch + 4'107'542'399ULL * kTicksPerSecond, "02-28-2100 23:59:59"},
        {kUnixEpoch + 4'107'542'400ULL * kTicksPerSecond, "03-01-2100 00:00:00"},
        {kUnixEpoch - kTicksPerSecond, "12-31-1969 23:59:59"},
    };
    for (const auto& c : times) {
        EXPECT_EQ(FormatFileTime(c.fileTime), c.text) << c.fileTime;
    }
    // Fixed order, no placeholders for missing letters.
    const struct {
        std::uint32_t attributes;
        const char* letters;
    } letters[] = {
        {0x0, ""}, {0x490, ""}, {0x25, "ARS"}, {0x842, "CEH"}, {0xFFFFFFFF, "ACEHRS"},
    };
    for (const auto& c : letters) {
        EXPECT_EQ(FormatAttributes(c.attributes), c.letters) << std::hex << c.attributes;
    }
}

// The modified time is shown in UTC whatever the time zone.
TEST(FormatRecord, SevenColumnTextsOfARealFileInAnyTimeZone) {
    TempFolder dir;
    dir.File("Notes.md", "hello");
    chmod((dir / "Notes.md").c_str(), 0444);
    dir.SetTime("Notes.md", 1'275'282'662);  // 2010-05-31 05:11:02 UTC
    for (const char* zone : {"UTC", "America/New_York", "Asia/Kolkata", "Pacific/Kiritimati"}) {
        setenv("TZ", zone, 1);
        tzset();
        FileCatalogue catalogue;
        ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
        std::vector<std::string> texts{"stale"};
        FormatRecord(catalogue.GetRecords().at(0), texts);
        // Creation: the birth time where it is kept; either way a date in the same format.
        EXPECT_EQ(texts.at(3).size(), 19U) << texts[3];
        texts[3] = "created";
        EXPECT_EQ(texts,
                  (Names{"Notes.md", ".md", "5", "created", "05-31-2010 05:11:02", "R", "MD File"}))
            << zone;
    }
    unsetenv("TZ");
    tzset();
}

// A kinds-only load reads details only when asked: for one record, or all before an order by a
// detail; either way a full load's. An entry gone meanwhile keeps what the listing told.
TEST(LoadFolder, KindsOnlyDetailsFilledOnDemand) {
    TempFolder dir;
    const Names names = {"a.txt", "b.txt", "c.txt", "gone.txt"};
    const std::size_t sizes[] = {30, 10, 20, 5};
    for (std::size_t n = 0; n < names.size(); ++n) {
        dir.File(names[n], std::string(sizes[n], 'x'));
        dir.SetTime(names[n], 1'100'000'000 + static_cast<std::int64_t>((n + 1) % 4) * 99'000'000);
    }
    chmod((dir / "b.txt").c_str(), 0444);
    dir.Folder("sub");
    const unsigned kindsOnly = kScanFiles | kScanFolders | kScanKindsOnly;
    FileCatalogue full, kinds, sorted;
    ASSERT_EQ(full.LoadFolder(dir.Path()), kOk);
    ASSERT_EQ(kinds.LoadFolder(dir.Path(), kindsOnly), kOk);
    ASSERT_EQ(sorted.LoadFolder(dir.Path(), kindsOnly), kOk);
    ASSERT_EQ(kinds.MissingDetails(), 5U);
    std::vector<std::string> expected, texts;
    for (std::int32_t r = 0; r < 4; ++r) {
        EXPECT_FALSE(kinds.GetRecords()[r].detailsKnown);
        ASSERT_EQ(kinds.FillDetails(r), kOk);
        FormatRecord(full.GetRecords()[r], expected);
        FormatRecord(kinds.GetRecords()[r], texts);
        EXPECT_EQ(texts, expected);
    }
    for (const int key : {kKeySize, kKeyModified, kKeyAttrib}) {
        ASSERT_NE(sorted.GetOrder(key), nullptr);
        EXPECT_EQ(*sorted.GetOrder(key), *full.GetOrder(key)) << key;
    }
    EXPECT_EQ(sorted.MissingDetails(), 0U);
    std::filesystem::remove(dir / "gone.txt");
    ASSERT_EQ(kinds.FillDetails(4), kOk);
    const FileRecord& gone = kinds.GetRecords()[4];
    EXPECT_TRUE(gone.detailsKnown && gone.isFile);
    EXPECT_EQ(gone.attributes, platform::kAttrNormal);
    EXPECT_EQ(gone.size, 0U);
    EXPECT_EQ(kinds.MissingDetails(), 0U);
}

}  // namespace
}  // namespace tidemark::catalogue
