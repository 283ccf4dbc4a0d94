#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/file_record.h"

namespace tidemark::catalogue {

using Order = std::vector<std::uint32_t>;

// Sort keys, also the columns of the source list; 7 is the custom order.
inline constexpr int kKeyName = 0;
inline constexpr int kKeyExt = 1;
inline constexpr int kKeySize = 2;
inline constexpr int kKeyCreated = 3;
inline constexpr int kKeyModified = 4;
inline constexpr int kKeyAttrib = 5;
inline constexpr int kKeyType = 6;
inline constexpr int kKeyCustom = 7;
inline constexpr int kOrderSlots = 8;

// The records of one folder (folders first, each group in name order), with one cached
// display order per column plus the custom order, and the selection of the list panes.
class FileCatalogue {
  public:
    FileCatalogue() = default;

    void SetFolder(std::string folder) { folderPath_ = std::move(folder); }
    // folderPath, or the current working directory when it is empty.
    std::string GetFolder() const;
    const std::string& FolderPath() const { return folderPath_; }

    // Replaces all records and orders by the folder's contents; folder is changed in place
    // as the scan changes it.
    int LoadFolder(std::string& folder, unsigned flags);
    int LoadFolder(const std::string& folder, unsigned flags = kScanFiles | kScanFolders);

    const RecordList& GetRecords() const { return records_; }
    std::int32_t FolderCount() const { return folderCount_; }
    std::int32_t RecordCount() const { return static_cast<std::int32_t>(records_.size()); }

    // After a kinds-only load: the records whose size, times and attributes are not read yet.
    std::size_t MissingDetails() const { return missingDetails_; }
    // Reads one record's details (by its name in the folder); an entry gone since the listing
    // keeps what the listing told. Nothing is read for a record whose details are known.
    int FillDetails(std::int32_t recordIndex);
    // The same for every record still without its details.
    int FillAllDetails();
    // Details read elsewhere (nullopt: the entry is gone), for a record still without them.
    void ApplyDetails(std::int32_t recordIndex, const std::optional<platform::EntryInfo>& info);
    // Whether the order of key is built from the details (size, times, attributes).
    static bool KeyNeedsDetails(int key);

    // Frees every record (of the catalogue, or of the given list) and empties the list.
    int ClearRecords();
    static int ClearRecords(RecordList& list);
    int ClearOrders();

    // The order of key (slot 7 whenever customOrder is set), built on first use (an order by
    // the details fills them all first); nullptr when it could not be built.
    const Order* GetOrder(int key);
    int BuildOrder(int key);
    // Writes the custom order into slot 7 (the custom-order dialog's result); customOrder is
    // left as it is.
    void SetCustomOrderList(Order order);

    // The row walk of the list panes over GetOrder(sortKey): custom order first to last,
    // otherwise first to last when ascending, last to first when not.
    std::int32_t RowCount();
    // The record index shown at a row, or -1 when the row is out of range.
    std::int32_t RecordAtRow(std::int32_t row);
    // The row showing a record index, or -1 when it is not shown.
    std::int32_t RowOfRecord(std::int32_t recordIndex);

    void SetTypeNamer(TypeNamer namer) { namer_ = std::move(namer); }

    // View state, changed by the owner of the list panes and by the custom-order dialog.
    int sortKey = kKeyName;
    bool ascending = true;
    bool customOrder = false;
    std::vector<std::uint32_t> selection;

  private:
    std::string folderPath_;
    std::int32_t folderCount_ = 0;
    RecordList records_;
    std::size_t missingDetails_ = 0;
    std::array<std::optional<Order>, kOrderSlots> orders_;
    // Row of each record in the order last asked for by RowOfRecord; rebuilt when it changes.
    std::vector<std::int32_t> rowOfRecord_;
    const Order* rowOfRecordOrder_ = nullptr;
    TypeNamer namer_ = DefaultTypeNamer;
};

// Sorts positions lo..hi of list in place, ascending (the rename plan's sort).
void QuickSortDWordArray(std::vector<std::uint32_t>& list, std::int32_t lo, std::int32_t hi);

// Name order of a fresh load: stable, no-case; sets index = first + position. 1, or -11 when
// out of memory (the list is then unchanged).
int SortRecordsByName(RecordList& list, std::int32_t first);

}  // namespace tidemark::catalogue
