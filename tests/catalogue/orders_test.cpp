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

// Row names as the list panes walk them; each row maps back to itself and none lies past the last.
Names Walk(FileCatalogue& catalogue, int key, bool ascending) {
    catalogue.sortKey = key;
    catalogue.ascending = ascending;
    Names names;
    for (std::int32_t row = 0; row < catalogue.RowCount(); ++row) {
        const std::int32_t index = catalogue.RecordAtRow(row);
        EXPECT_EQ(catalogue.RowOfRecord(index), row);
        names.push_back(index < 0 ? "?" : catalogue.GetRecords()[index].name);
    }
    EXPECT_EQ(catalogue.RecordAtRow(catalogue.RowCount()), -1);
    EXPECT_EQ(catalogue.RecordAtRow(-1), -1);
    EXPECT_EQ(catalogue.RowOfRecord(catalogue.RecordCount()), -1);
    return names;
}

// Only the first count entries are sorted; 0xFFFF (widened all-ones) sorts all, past 65,535 too.
TEST(KeySorts, TheLeadingCountOrTheWholeList) {
    std::vector<std::string_view> keys{"c", "b", "a", "0"};
    std::vector<std::uint32_t> indices{0, 1, 2, 3};
    ASSERT_EQ(SortTextKeys(keys, indices, 2), kOk);
    EXPECT_EQ(keys, (std::vector<std::string_view>{"b", "c", "a", "0"}));
    EXPECT_EQ(indices, (std::vector<std::uint32_t>{1, 0, 2, 3}));
    for (const std::uint32_t whole : {kWholeList16, kWholeList}) {
        std::vector<std::string_view> texts(0x10001, "b");
        texts.back() = "a";
        std::vector<std::uint32_t> byText(texts.size());
        std::iota(byText.begin(), byText.end(), 0U);
        ASSERT_EQ(SortTextKeys(texts, byText, whole), kOk);
        EXPECT_EQ(byText.front(), texts.size() - 1) << whole;
        EXPECT_EQ(byText[1], 0U) << whole;
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
    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    ASSERT_GT(catalogue.FolderCount(), 5);
    ASSERT_GT(catalogue.RecordCount(), catalogue.FolderCount() + 50);
    for (int key = kKeyName; key <= kKeyType; ++key) {
        const Order* order = catalogue.GetOrder(key);
        ASSERT_NE(order, nullptr) << "key " << key;
        EXPECT_EQ(*order, ReferenceOrder(catalogue.GetRecords(),
                                         static_cast<std::size_t>(catalogue.FolderCount()), key))
            << "key " << key;
        // Descending is the reversed walk: the folders come last.
        Names names;
        for (const std::uint32_t i : *order) {
            names.push_back(catalogue.GetRecords()[i].name);
        }
        EXPECT_EQ(Walk(catalogue, key, true), names);
        std::reverse(names.begin(), names.end());
        EXPECT_EQ(Walk(catalogue, key, false), names);
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
    EXPECT_EQ(Walk(catalogue, kKeyName, true), Names{});
    catalogue.SetCustomOrderList({3, 0, 2});
    for (int key = kKeyName; key <= kKeyType; ++key) {
        for (const bool ascending : {true, false}) {
            EXPECT_EQ(Walk(catalogue, key, ascending), (Names{"d", "a", "c"}));
            EXPECT_EQ(catalogue.RowOfRecord(1), -1) << "b is not in the custom order";
        }
    }
    catalogue.SetCustomOrderList({1});
    EXPECT_EQ(Walk(catalogue, kKeyName, true), (Names{"b"}));
    catalogue.customOrder = false;
    EXPECT_EQ(Walk(catalogue, kKeyName, false), (Names{"d", "c", "b", "a"}));

    // Orders are kept until the next load, which drops them all, the custom one too.
    EXPECT_EQ(Walk(catalogue, kKeySize, true), (Names{"a", "b", "c", "d"}));
    dir.File("a", "now the largest");
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    catalogue.customOrder = true;
    EXPECT_EQ(Walk(catalogue, kKeyName, true), Names{});
    EXPECT_EQ(catalogue.GetOrder(99), catalogue.GetOrder(kKeyCustom));
    catalogue.customOrder = false;
    EXPECT_EQ(catalogue.GetOrder(99), nullptr);
    EXPECT_EQ(Walk(catalogue, kKeySize, true), (Names{"b", "c", "d", "a"}));
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
