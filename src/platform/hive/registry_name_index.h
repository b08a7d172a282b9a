#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/huge_page_allocator.h"

namespace platform {

class RegistryValueRecords;

// Finds values of a key by name, without regard to case, in constant time: an open-addressed table
// of positions in the key's records, which the caller keeps and fills. A key of many values so loads
// in linear time.
class RegistryNameIndex {
public:
    static constexpr std::size_t kNotFound = SIZE_MAX;

    // Room for `expected` names without growing.
    RegistryNameIndex(const RegistryValueRecords& values, std::size_t expected);

    // The hash a name is found by; a caller that looks a name up before adding it hashes it once.
    static uint32_t Tag(std::string_view name);
    std::size_t Find(std::string_view name, uint32_t tag) const;
    // Indexes the value at `position` of the list, whose name is not indexed yet.
    void Add(std::size_t position, uint32_t tag);
    void Remove(std::size_t position);

private:
    // The slot holding `name`, or the empty slot where a probe for it ends.
    std::size_t Probe(std::string_view name, uint32_t tag) const;
    void Place(uint32_t tag, std::size_t position);
    void Rehash(std::size_t slots);

    const RegistryValueRecords& m_values;
    // A slot holds the name's hash in the high half and position + 1 in the low half.
    std::vector<uint64_t, HugePageAllocator<uint64_t>> m_slots;
    // Slots taken, removed ones among them; and the names indexed.
    std::size_t m_used = 0;
    std::size_t m_live = 0;
};

}  // namespace platform
