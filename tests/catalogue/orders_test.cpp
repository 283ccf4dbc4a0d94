#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "catalogue/key_sorts.h"
#include "platform/text.h"
#include "tests/support/temp_folder.h"

namespace tidemark::catalogue {
namespace {

using testing::TempFolder;

// The names of the rows, walked as the list panes walk them.
std::vector<std::string> Rows(FileCatalogue& catalogue) {
    std::vector<std::string> names;
    const std::int32_t rows = catalogue.RowCount();
    for (std::int32_t row = 0; row < rows; ++row) {
        const std::int32_t index = catalogue.RecordAtRow(row);
        names.push_back(index < 0 ? "?" : catalogue.GetRecords()[index].name);
    }
    return names;
}

std::vector<std::string> Walk(FileCatalogue& catalogue, int key, bool ascending) {
    catalogue.sortKey = key;
    catalogue.ascending = ascending;
    return Rows(catalogue);
}

using Names = std::vector<std::string>;

TEST(Orders, SizeKeyKeepsFoldersFirstAndTiesInNameOrder) {
    TempFolder dir;
    dir.Folder("b");
    dir.Folder("A");
    dir.File("z.txt", std::string(100, 'z'));
    dir.File("Y.txt", std::string(50, 'y'));
    dir.File("x.doc", std::string(100, 'x'));

    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    EXPECT_EQ(Walk(catalogue, kKeySize, true), (Names{"A", "b", "Y.txt", "x.doc", "z.txt"}));
    // Descending is the reversed walk: the folders come last.
    EXPECT_EQ(Walk(catalogue, kKeySize, false), (Names{"z.txt", "x.doc", "Y.txt", "b", "A"}));
    EXPECT_EQ(Walk(catalogue, kKeyName, false), (Names{"z.txt", "Y.txt", "x.doc", "b", "A"}));
    EXPECT_EQ(Walk(catalogue, kKeyType, true), (Names{"A", "b", "x.doc", "Y.txt", "z.txt"}));

    // The row of each record is where the walk shows it, in both directions.
    for (const bool ascending : {true, false}) {
        catalogue.ascending = ascending;
        for (std::int32_t row = 0; row < catalogue.RowCount(); ++row) {
            EXPECT_EQ(catalogue.RowOfRecord(catalogue.RecordAtRow(row)), row);
        }
    }
    EXPECT_EQ((std::vector<std::int32_t>{catalogue.RecordAtRow(5), catalogue.RecordAtRow(-1),
                                         catalogue.RowOfRecord(5)}),
              (std::vector<std::int32_t>(3, -1)));

    // Orders are kept until the next load: a change on disk shows only after reloading.
    catalogue.ascending = true;
    dir.File("Y.txt", std::string(500, 'y'));
    EXPECT_EQ(Walk(catalogue, kKeySize, true), (Names{"A", "b", "Y.txt", "x.doc", "z.txt"}));
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    EXPECT_EQ(Walk(catalogue, kKeySize, true), (Names{"A", "b", "x.doc", "z.txt", "Y.txt"}));
    EXPECT_EQ(catalogue.RowOfRecord(3), 4) << "the row cache follows the new load";
}

TEST(Orders, ExtensionAndAttributeKeys) {
    TempFolder dir;
    for (const char* name : {"c.txt", "README", "a.doc", "B.TXT", "d"}) {
        dir.File(name);
    }
    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    // No extension sorts first; ".TXT" and ".txt" are equal and keep name order.
    EXPECT_EQ(Walk(catalogue, kKeyExt, true), (Names{"d", "README", "a.doc", "B.TXT", "c.txt"}));

    TempFolder attrs;
    attrs.File("n");                                       // 0x80
    chmod(attrs.File("ro").c_str(), 0444);                 // 0x01
    attrs.File(".hid");                                    // 0x02
    chmod(attrs.File(".rohid").c_str(), 0444);             // 0x03
    ASSERT_EQ(mkfifo((attrs / "pipe").c_str(), 0644), 0);  // 0x04
    ASSERT_EQ(symlink("n", (attrs / "link").c_str()), 0);  // 0x400: low byte 0
    ASSERT_EQ(catalogue.LoadFolder(attrs.Path()), kOk);
    EXPECT_EQ(Walk(catalogue, kKeyAttrib, true),
              (Names{"link", "ro", ".hid", ".rohid", "pipe", "n"}));
    EXPECT_EQ(Walk(catalogue, kKeyAttrib, false),
              (Names{"n", "pipe", ".rohid", ".hid", "ro", "link"}));
}

TEST(KeySorts, StableAscendingWithinTheCount) {
    const struct {
        std::vector<std::string_view> keys;
        std::uint32_t count;
        std::vector<std::string_view> sortedKeys;
        std::vector<std::uint32_t> sortedIndices;
    } cases[] = {
        // "A"-"Z" fold onto "a"-"z"; the empty text first; a prefix before the longer text.
        {{"b", "A", "a", "", "B", "ab"},
         kWholeList,
         {"", "A", "a", "ab", "b", "B"},
         {3, 1, 2, 5, 0, 4}},
        // The low attribute byte 0x41 ("A") equals 0x61 ("a"); "_" (0x5F) lies before "a".
        {{"a", "_", "A", "\x01"}, kWholeList, {"\x01", "_", "a", "A"}, {3, 1, 0, 2}},
        // Bytes above 0x7F compare unsigned, after every ASCII letter.
        {{"\xc3\xa9", "z", "Z"}, kWholeList, {"z", "Z", "\xc3\xa9"}, {1, 2, 0}},
        // Entries at or beyond the count are never touched.
        {{"c", "b", "a", "0"}, 2, {"b", "c", "a", "0"}, {1, 0, 2, 3}},
        {{"c", "b"}, 0, {"c", "b"}, {0, 1}},
    };
    for (const auto& c : cases) {
        std::vector<std::string_view> keys = c.keys;
        std::vector<std::uint32_t> indices(keys.size());
        std::iota(indices.begin(), indices.end(), 0U);
        ASSERT_EQ(SortTextKeys(keys, indices, c.count), kOk);
        EXPECT_EQ(keys, c.sortedKeys);
        EXPECT_EQ(indices, c.sortedIndices);
    }

    std::vector<std::uint64_t> times{5, 0xFFFFFFFFFFFFFFFFULL, 5, 1};
    std::vector<std::uint32_t> indices{10, 11, 12, 13};
    ASSERT_EQ(SortTimeKeys(times, indices), kOk);
    EXPECT_EQ(indices, (std::vector<std::uint32_t>{13, 10, 12, 11}));

    // A count of 0xFFFF, like the widened all-ones value, sorts the whole list, also the keys
    // beyond the first 65,535.
    for (const std::uint32_t whole : {std::uint32_t{0xFFFF}, kWholeList}) {
        const std::size_t n = 0x10001;
        std::vector<std::uint64_t> sizes(n, 7);
        sizes.back() = 1;
        std::vector<std::string_view> texts(n, "b");
        texts.back() = "a";
        std::vector<std::uint32_t> bySize(n), byText(n);
        std::iota(bySize.begin(), bySize.end(), 0U);
        std::iota(byText.begin(), byText.end(), 0U);
        ASSERT_EQ(SortSizeKeys(sizes, bySize, whole), kOk);
        ASSERT_EQ(SortTextKeys(texts, byText, whole), kOk);
        EXPECT_EQ(bySize.front(), n - 1) << whole;
        EXPECT_EQ(byText.front(), n - 1) << whole;
        EXPECT_EQ(bySize[1], 0U) << whole;
    }
}

// The reference: a stable sort of each group (folders, then files) on the column's key.
Order ReferenceOrder(const RecordList& records, std::size_t folders, int key) {
    const auto text = [key](const FileRecord& r) {
        const char low = static_cast<char>(r.attributes & 0xFF);
        return key == kKeyName     ? r.name
               : key == kKeyExt    ? r.extension
               : key == kKeyAttrib ? (low == 0 ? std::string() : std::string(1, low))
                                   : r.typeName;
    };
    const auto number = [key](const FileRecord& r) {
        return key == kKeySize ? r.size : key == kKeyCreated ? r.created : r.modified;
    };
    const bool numeric = key == kKeySize || key == kKeyCreated || key == kKeyModified;
    Order order;
    for (const auto& [first, last] :
         {std::pair{std::size_t{0}, folders}, {folders, records.size()}}) {
        std::vector<FileRecord> group(records.begin() + first, records.begin() + last);
        std::stable_sort(group.begin(), group.end(), [&](const FileRecord& a, const FileRecord& b) {
            return numeric ? number(a) < number(b) : platform::NoCaseCompare(text(a), text(b)) < 0;
        });
        for (const FileRecord& r : group) {
            order.push_back(static_cast<std::uint32_t>(r.index));
        }
    }
    return order;
}

TEST(Orders, EveryKeyEqualsTheReferenceStableSort) {
    TempFolder dir;
    std::mt19937 random(20260612);
    const char* stems[] = {"ab", "AB", "Ab", "b", "B_", "a.b", "_z", ".x", "c.TXT", "c.txt"};
    const char* exts[] = {"", ".txt", ".TXT", ".doc", ".", ".tar.gz", ".Z"};
    for (int n = 0; n < 160; ++n) {
        std::string name =
            std::string(stems[random() % 10]) + std::to_string(random() % 7) + exts[random() % 7];
        if (dir.Exists(name)) {
            continue;
        }
        if (random() % 6 == 0) {
            dir.Folder(name);
        } else {
            dir.File(name, std::string(random() % 4 * 10, 'x'));
            if (random() % 4 == 0) {
                chmod((dir / name).c_str(), 0444);
            }
        }
        dir.SetTime(name, 1'000'000'000 + static_cast<std::int64_t>(random() % 5));
    }

    // The records are the listing order (from a second scan) stably sorted by name.
    std::string folder = dir.Path();
    RecordList folders, files;
    ASSERT_EQ(ScanFolder(folder, folders, files, kScanFiles | kScanFolders), kOk);
    RecordList listed = folders;
    listed.insert(listed.end(), files.begin(), files.end());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        listed[i].index = static_cast<std::int32_t>(i);
    }
    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    ASSERT_GT(catalogue.FolderCount(), 5);
    ASSERT_GT(catalogue.RecordCount(), catalogue.FolderCount() + 50);
    Names expected, loaded;
    for (const std::uint32_t i : ReferenceOrder(listed, folders.size(), kKeyName)) {
        expected.push_back(listed[i].name);
    }
    for (const FileRecord& r : catalogue.GetRecords()) {
        loaded.push_back(r.name);
    }
    EXPECT_EQ(loaded, expected);

    for (int key = kKeyName; key <= kKeyType; ++key) {
        const Order* order = catalogue.GetOrder(key);
        ASSERT_NE(order, nullptr) << "key " << key;
        EXPECT_EQ(*order, ReferenceOrder(catalogue.GetRecords(),
                                         static_cast<std::size_t>(catalogue.FolderCount()), key))
            << "key " << key;
    }
}

TEST(Orders, CustomOrderOverridesEveryKeyAndIsWalkedForwards) {
    TempFolder dir;
    for (const char* name : {"a", "b", "c", "d"}) {
        dir.File(name);
    }
    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);

    // Set before any custom order was given: an empty order, no rows.
    catalogue.customOrder = true;
    EXPECT_EQ(catalogue.RowCount(), 0);
    EXPECT_EQ(catalogue.RecordAtRow(0), -1);

    catalogue.SetCustomOrderList({3, 0, 2});
    for (int key = kKeyName; key <= kKeyType; ++key) {
        for (const bool ascending : {true, false}) {
            EXPECT_EQ(Walk(catalogue, key, ascending), (Names{"d", "a", "c"}));
            EXPECT_EQ(catalogue.RowOfRecord(2), 2);
            EXPECT_EQ(catalogue.RowOfRecord(1), -1) << "b is not in the custom order";
        }
    }
    catalogue.SetCustomOrderList({1});
    EXPECT_EQ(Rows(catalogue), (Names{"b"}));
    EXPECT_EQ(catalogue.RowOfRecord(1), 0);

    catalogue.customOrder = false;
    EXPECT_EQ(Walk(catalogue, kKeyName, false), (Names{"d", "c", "b", "a"}));

    // A load drops the custom order with every other order.
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    catalogue.customOrder = true;
    EXPECT_EQ(catalogue.RowCount(), 0);
    EXPECT_EQ(catalogue.GetOrder(99), catalogue.GetOrder(kKeyCustom));
    catalogue.customOrder = false;
    EXPECT_EQ(catalogue.GetOrder(99), nullptr);
}

TEST(Orders, IndicesAboveThe16BitRange) {
    TempFolder dir;
    constexpr int kCount = 33'000;
    char name[32];
    for (int n = 0; n < kCount; ++n) {
        std::snprintf(name, sizeof name, "f%05d%s", n, n % 3 == 0 ? ".b" : ".a");
        const int fd = open((dir / name).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        ASSERT_GE(fd, 0);
        close(fd);
    }
    dir.Folder("zdir");

    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    ASSERT_EQ(catalogue.RecordCount(), kCount + 1);
    const RecordList& records = catalogue.GetRecords();
    EXPECT_EQ(records[0].name, "zdir");
    EXPECT_EQ(records[kCount].name, "f32999.a");
    EXPECT_EQ(records[kCount].index, kCount);

    const Order* byExt = catalogue.GetOrder(kKeyExt);
    ASSERT_NE(byExt, nullptr);
    ASSERT_EQ(byExt->size(), static_cast<std::size_t>(kCount + 1));
    // Folder, then the 22,000 ".a" files, then the ".b" files, each run in name order.
    EXPECT_EQ(records[(*byExt)[1]].name, "f00001.a");
    EXPECT_EQ(records[(*byExt)[22'000]].name, "f32999.a");
    EXPECT_EQ(records[(*byExt)[22'001]].name, "f00000.b");
    EXPECT_EQ(records[byExt->back()].name, "f32997.b");
    catalogue.sortKey = kKeyExt;
    catalogue.ascending = false;
    EXPECT_EQ(catalogue.RecordAtRow(kCount), 0);
    EXPECT_EQ(catalogue.RowOfRecord(0), kCount);
}

}  // namespace
}  // namespace tidemark::catalogue
