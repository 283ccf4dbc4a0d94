#include "catalogue/file_catalogue.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <numeric>

#include "platform/file_system.h"

namespace tidemark::catalogue {

namespace {

// The folders followed by the files, reusing whichever list already has room for all of them
// so that a large folder is not held twice.
RecordList Concatenate(RecordList folders, RecordList files) {
    const std::size_t total = folders.size() + files.size();
    if (files.capacity() >= total || folders.capacity() < total) {
        files.insert(files.begin(), std::make_move_iterator(folders.begin()),
                     std::make_move_iterator(folders.end()));
        return files;
    }
    folders.insert(folders.end(), std::make_move_iterator(files.begin()),
                   std::make_move_iterator(files.end()));
    return folders;
}

}  // namespace

std::string FileCatalogue::GetFolder() const {
    return folderPath_.empty() ? platform::CurrentDirectory() : folderPath_;
}

int FileCatalogue::LoadFolder(const std::string& folder, unsigned flags) {
    std::string text;
    try {
        text = folder;
    } catch (const std::bad_alloc&) {
        ClearRecords();
        ClearOrders();
        return kOutOfMemory;
    }
    return LoadFolder(text, flags);
}

int FileCatalogue::LoadFolder(std::string& folder, unsigned flags) {
    // The files are scanned into the old records' memory: reloading a large folder (as after
    // every rename) then neither grows the list step by step nor touches fresh pages.
    RecordList files = std::move(records_);
    files.clear();
    ClearRecords();
    ClearOrders();
    try {
        RecordList folders;
        int result = ScanFolder(folder, folders, files, flags, namer_);
        if (result == kOk) {
            result = SortRecordsByName(folders, 0);
        }
        if (result == kOk) {
            result = SortRecordsByName(files, static_cast<std::int32_t>(folders.size()));
        }
        if (result != kOk) {
            return result;
        }
        folderPath_ = folder;
        folderCount_ = static_cast<std::int32_t>(folders.size());
        records_ = Concatenate(std::move(folders), std::move(files));
        missingDetails_ = static_cast<std::size_t>(
            std::count_if(records_.begin(), records_.end(),
                          [](const FileRecord& record) { return !record.detailsKnown; }));
        // Memory kept from a much larger folder is given back.
        if (records_.capacity() > 2 * records_.size() + 1024) {
            records_.shrink_to_fit();
        }
    } catch (const std::bad_alloc&) {
        ClearRecords();
        return kOutOfMemory;
    }
    // Without room for it the name order is simply built again on demand.
    try {
        Order identity(records_.size());
        std::iota(identity.begin(), identity.end(), 0U);
        orders_[kKeyName] = std::move(identity);
    } catch (const std::bad_alloc&) {
        orders_[kKeyName].reset();
    }
    return kOk;
}

int FileCatalogue::ClearRecords() {
    folderCount_ = 0;
    missingDetails_ = 0;
    rowOfRecordOrder_ = nullptr;
    return ClearRecords(records_);
}

int FileCatalogue::ClearRecords(RecordList& list) {
    // Swapping with an empty list gives the memory back, which clear() would keep.
    RecordList().swap(list);
    return kOk;
}

int FileCatalogue::ClearOrders() {
    for (auto& slot : orders_) {
        slot.reset();
    }
    rowOfRecordOrder_ = nullptr;
    std::vector<std::int32_t>().swap(rowOfRecord_);
    return kOk;
}

std::int32_t FileCatalogue::RowCount() {
    const Order* order = GetOrder(sortKey);
    return order == nullptr ? 0 : static_cast<std::int32_t>(order->size());
}

std::int32_t FileCatalogue::RecordAtRow(std::int32_t row) {
    const Order* order = GetOrder(sortKey);
    if (order == nullptr || row < 0 || static_cast<std::size_t>(row) >= order->size()) {
        return -1;
    }
    // Descending display walks the (always ascending) order backwards; the custom order is
    // always walked forwards.
    const std::size_t position =
        customOrder || ascending ? static_cast<std::size_t>(row) : order->size() - 1 - row;
    return static_cast<std::int32_t>((*order)[position]);
}

std::int32_t FileCatalogue::RowOfRecord(std::int32_t recordIndex) {
    const Order* order = GetOrder(sortKey);
    if (order == nullptr || recordIndex < 0 ||
        static_cast<std::size_t>(recordIndex) >= records_.size()) {
        return -1;
    }
    if (rowOfRecordOrder_ != order) {
        try {
            rowOfRecord_.assign(records_.size(), -1);
        } catch (const std::bad_alloc&) {
            rowOfRecordOrder_ = nullptr;
            return -1;
        }
        // Positions in the order; a record listed twice in a custom order maps to its first.
        for (std::size_t p = order->size(); p-- > 0;) {
            const std::uint32_t index = (*order)[p];
            if (index < rowOfRecord_.size()) {
                rowOfRecord_[index] = static_cast<std::int32_t>(p);
            }
        }
        rowOfRecordOrder_ = order;
    }
    const std::int32_t position = rowOfRecord_[recordIndex];
    if (position < 0 || customOrder || ascending) {
        return position;
    }
    return static_cast<std::int32_t>(order->size()) - 1 - position;
}

}  // namespace tidemark::catalogue
