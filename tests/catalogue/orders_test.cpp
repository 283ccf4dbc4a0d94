#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
using Names = std::vector<std::string>;

// The names of the rows, walked as the list panes walk them.
Names Walk(FileCatalogue& catalogue, int key, bool ascending) {
    catalogue.sortKey = key;
    catalogue.ascending = ascending;
    Names names;
    for (std::int32_t row = 0; row < catalogue.RowCount(); ++row) {
        const std::int32_t index = catalogue.RecordAtRow(row);
        names.push_back(index < 0 ? "?" : catalogue.GetRecords()[index].name);
    }
    return names;
}

// Descending is the reversed walk (the folders come last); orders are kept until the next load.
TEST(Orders, RowWalksBothWaysAndOrdersLastUntilTheNextLoad) {
    TempFolder dir;
    dir.Folder("b");
    dir.Folder("A");
    dir.File("z.txt", std::string(100, 'z'));
    dir.File("Y.txt", std::string(50, 'y'));
    dir.File("x.doc", std::string(100, 'x'));
    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    EXPECT_EQ(Walk(catalogue, kKeySize, false), (Names{"z.txt", "x.doc", "Y.txt", "b", "A"}));
    EXPECT_EQ(Walk(catalogue, kKeyName, false), (Names{"z.txt", "Y.txt", "x.doc", "b", "A"}));
    for (const bool ascending : {true, false}) {
        catalogue.ascending = ascending;
        for (std::int32_t row = 0; row < catalogue.RowCount(); ++row) {
            EXPECT_EQ(catalogue.RowOfRecord(catalogue.RecordAtRow(row)), row);
        }
    }
    EXPECT_EQ((std::vector<std::int32_t>{catalogue.RecordAtRow(5), catalogue.RecordAtRow(-1),
                                         catalogue.RowOfRecord(5)}),
              (std::vector<std::int32_t>(3, -1)));

    dir.File("Y.txt", std::string(500, 'y'));
    EXPECT_EQ(Walk(catalogue, kKeySize, true), (Names{"A", "b", "Y.txt", "x.doc", "z.txt"}));
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    EXPECT_EQ(Walk(catalogue, kKeySize, true), (Names{"A", "b", "x.doc", "z.txt", "Y.txt"}));
    EXPECT_EQ(catalogue.RowOfRecord(3), 4) << "the row cache follows the new load";
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
    for (const std::uint32_t whole : {kWholeList16, kWholeList}) {
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

// Random names, sizes, times and modes, plus a FIFO (system) and a link (low attribute byte 0).
TEST(Orders, EveryKeyEqualsTheReferenceStableSort) {
    TempFolder dir;
    std::mt19937 random(20260612);
    const char* stems[] = {"ab", "AB", "Ab", "b", "B_", "a.b", "_z", ".x", "c.TXT", "c.txt"};
    const char* exts[] = {"", ".txt", ".TXT", ".doc", ".", ".tar.gz", ".Z"};
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);
    ASSERT_EQ(symlink("pipe", (dir / "link").c_str()), 0);
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
    Names expected;
    for (const std::uint32_t i : ReferenceOrder(listed, folders.size(), kKeyName)) {
        expected.push_back(listed[i].name);
    }
    EXPECT_EQ(Walk(catalogue, kKeyName, true), expected);
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
    EXPECT_EQ(Walk(catalogue, kKeyName, true), (Names{"b"}));
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

// Random lists and ranges (empty and reversed ones among them) against std::sort of the
// range; a sorted, reversed or constant list is every first-entry pivot's worst case.
TEST(QuickSortDWordArray, SortsTheGivenPositionsOnly) {
    std::mt19937 random(7);
    const std::uint32_t extremes[] = {0, 1, 40000, 0x80000000, 0xFFFFFFFF};
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint32_t> list(random() % (round < 2900 ? 12 : 3000));
        for (std::size_t k = 0; k < list.size(); ++k) {
            list[k] = round % 4 == 0   ? static_cast<std::uint32_t>(k)
                      : round % 4 == 1 ? static_cast<std::uint32_t>(list.size() - k)
                      : round % 8 == 2 ? 42U
                                       : extremes[random() % 5] + random() % 3;
        }
        const auto size = static_cast<std::int32_t>(list.size());
        const std::int32_t lo = size == 0 ? 0 : static_cast<std::int32_t>(random() % size);
        const std::int32_t hi =
            round % 3 == 0 ? size - 1
                           : lo - 2 + static_cast<std::int32_t>(random() % (size - lo + 2));
        std::vector<std::uint32_t> expected = list;
        if (hi >= lo) {
            std::sort(expected.begin() + lo, expected.begin() + hi + 1);
        }
        QuickSortDWordArray(list, lo, hi);
        ASSERT_EQ(list, expected) << "round " << round << ": " << lo << ".." << hi;
    }
}

}  // namespace
}  // namespace tidemark::catalogue
