#include <algorithm>
#include <array>
#include <new>
#include <string_view>

#include "catalogue/file_catalogue.h"
#include "catalogue/key_sorts.h"
#include "catalogue/no_case_sort.h"
#include "platform/text.h"

namespace tidemark::catalogue {

namespace {

// The one-character texts that key 5 compares: the low attribute byte as a character, the
// zero byte as the empty text.
std::string_view AttributeText(std::uint32_t attributes) {
    static constexpr std::array<char, 256> kBytes = [] {
        std::array<char, 256> bytes{};
        for (int b = 0; b < 256; ++b) {
            bytes[b] = static_cast<char>(b);
        }
        return bytes;
    }();
    const std::uint32_t low = attributes & 0xFF;
    return low == 0 ? std::string_view{} : std::string_view(&kBytes[low], 1);
}

std::string_view TextKey(const FileRecord& record, int key) {
    switch (key) {
        case kKeyName:
            return record.name;
        case kKeyExt:
            return record.extension;
        case kKeyAttrib:
            return AttributeText(record.attributes);
        default:
            return record.typeName;
    }
}

std::uint64_t NumberKey(const FileRecord& record, int key) {
    switch (key) {
        case kKeySize:
            return record.size;
        case kKeyCreated:
            return record.created;
        default:
            return record.modified;
    }
}

// Appends the indices of records[first, last) to order, sorted by key.
int AppendGroup(const RecordList& records, std::size_t first, std::size_t last, int key,
                Order& order) {
    std::vector<std::uint32_t> indices;
    indices.reserve(last - first);
    for (std::size_t r = first; r < last; ++r) {
        indices.push_back(static_cast<std::uint32_t>(records[r].index));
    }
    int result = kOk;
    if (key == kKeyName || key == kKeyExt || key == kKeyAttrib || key == kKeyType) {
        std::vector<std::string_view> keys;
        keys.reserve(last - first);
        for (std::size_t r = first; r < last; ++r) {
            keys.push_back(TextKey(records[r], key));
        }
        result = SortTextKeys(keys, indices);
    } else {
        std::vector<std::uint64_t> keys;
        keys.reserve(last - first);
        for (std::size_t r = first; r < last; ++r) {
            keys.push_back(NumberKey(records[r], key));
        }
        result = key == kKeySize ? SortSizeKeys(keys, indices) : SortTimeKeys(keys, indices);
    }
    order.insert(order.end(), indices.begin(), indices.end());
    return result;
}

bool IsSlot(int key) {
    return key >= 0 && key < kOrderSlots;
}

}  // namespace

const Order* FileCatalogue::GetOrder(int key) {
    const int slot = customOrder ? kKeyCustom : key;
    if (!IsSlot(slot)) {
        return nullptr;
    }
    if (!orders_[slot] && BuildOrder(slot) != kOk) {
        return nullptr;
    }
    return orders_[slot] ? &*orders_[slot] : nullptr;
}

int FileCatalogue::BuildOrder(int key) {
    if (!IsSlot(key)) {
        return kOk;
    }
    if (orders_[key]) {
        return kOk;
    }
    // An order by a detail nobody has read yet would be an order by the listing's zeros.
    if (KeyNeedsDetails(key) && FillAllDetails() != kOk) {
        return kOutOfMemory;
    }
    try {
        Order order;
        if (key != kKeyCustom) {
            order.reserve(records_.size());
            const auto folders = static_cast<std::size_t>(folderCount_);
            int result = AppendGroup(records_, 0, folders, key, order);
            if (result == kOk) {
                result = AppendGroup(records_, folders, records_.size(), key, order);
            }
            if (result != kOk) {
                return result;
            }
        }
        orders_[key] = std::move(order);
    } catch (const std::bad_alloc&) {
        orders_[key].reset();
        return kOutOfMemory;
    }
    return kOk;
}

void FileCatalogue::SetCustomOrderList(Order order) {
    orders_[kKeyCustom] = std::move(order);
    rowOfRecordOrder_ = nullptr;
}

int SortRecordsByName(RecordList& list, std::int32_t first) {
    // Sort small entries rather than records: a record is large, an entry is sixteen bytes.
    std::vector<NoCaseSortEntry> entries;
    try {
        entries.resize(list.size());
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    for (std::uint32_t p = 0; p < entries.size(); ++p) {
        entries[p] = {NoCasePrefix(list[p].name), p};
    }
    StableSortNoCase(entries,
                     [&list](std::uint32_t p) -> std::string_view { return list[p].name; });
    // Position p takes the record from entries[p].position: follow each cycle once, marking
    // the positions done by pointing them at themselves.
    for (std::uint32_t start = 0; start < entries.size(); ++start) {
        if (entries[start].position == start) {
            continue;
        }
        FileRecord held = std::move(list[start]);
        std::uint32_t p = start;
        while (entries[p].position != start) {
            const std::uint32_t from = entries[p].position;
            list[p] = std::move(list[from]);
            entries[p].position = p;
            p = from;
        }
        list[p] = std::move(held);
        entries[p].position = p;
    }
    for (std::size_t p = 0; p < list.size(); ++p) {
        list[p].index = first + static_cast<std::int32_t>(p);
    }
    return kOk;
}

}  // namespace tidemark::catalogue
