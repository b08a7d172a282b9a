#include "platform/hive/registry_name_index.h"

#include <algorithm>
#include <bit>

#include "platform/hive/registry_value_records.h"
#include "platform/registry_name.h"

namespace platform {

namespace {

constexpr uint64_t kEmpty = 0;
constexpr uint64_t kRemoved = UINT32_MAX;

std::size_t PositionIn(uint64_t slot) {
    return static_cast<uint32_t>(slot) - 1;
}

}  // namespace

RegistryNameIndex::RegistryNameIndex(const RegistryValueRecords& values, std::size_t expected)
    : m_values(values) {
    Rehash(std::bit_ceil(std::max<std::size_t>(16, (expected + 1) * 2)));
}

uint32_t RegistryNameIndex::Tag(std::string_view name) {
    return static_cast<uint32_t>(RegNameHash(name, 0));
}

std::size_t RegistryNameIndex::Probe(std::string_view name, uint32_t tag) const {
    const std::size_t mask = m_slots.size() - 1;
    std::string scratch;
    for (std::size_t slot = tag & mask;; slot = (slot + 1) & mask) {
        const uint64_t entry = m_slots[slot];
        if (entry == kEmpty || (entry != kRemoved && (entry >> 32) == tag &&
                                RegNameEquals(m_values.NameAt(PositionIn(entry), scratch), name))) {
            return slot;
        }
    }
}

std::size_t RegistryNameIndex::Find(std::string_view name, uint32_t tag) const {
    const uint64_t entry = m_slots[Probe(name, tag)];
    return entry == kEmpty ? kNotFound : PositionIn(entry);
}

void RegistryNameIndex::Add(std::size_t position, uint32_t tag) {
    // At most half full, so probes stay short; removed slots count until the next rehash.
    if ((m_used + 1) * 2 > m_slots.size()) {
        Rehash(std::bit_ceil(std::max<std::size_t>(16, (m_live + 1) * 4)));
    }
    Place(tag, position);
    ++m_live;
}

void RegistryNameIndex::Place(uint32_t tag, std::size_t position) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = tag & mask;
    while (m_slots[slot] != kEmpty) {
        slot = (slot + 1) & mask;
    }
    ++m_used;
    m_slots[slot] = (static_cast<uint64_t>(tag) << 32) | (position + 1);
}

void RegistryNameIndex::Remove(std::size_t position) {
    std::string scratch;
    const std::string name(m_values.NameAt(position, scratch));
    const std::size_t slot = Probe(name, Tag(name));
    if (m_slots[slot] != kEmpty && PositionIn(m_slots[slot]) == position) {
        m_slots[slot] = kRemoved;
        --m_live;
    }
}

void RegistryNameIndex::Rehash(std::size_t slots) {
    decltype(m_slots) old(slots, kEmpty);
    old.swap(m_slots);
    m_used = 0;
    for (const uint64_t entry : old) {
        if (entry != kEmpty && entry != kRemoved) {
            Place(static_cast<uint32_t>(entry >> 32), PositionIn(entry));
        }
    }
}

}  // namespace platform
