#include "platform/hive/hive_tree.h"

#include <algorithm>
#include <bit>

#include "platform/registry_name.h"

namespace platform {

namespace {

// Slots hold the key's hash in the high half and KeyId + 1 in the low half, so a probe passes over
// other keys without touching them.
constexpr uint64_t kEmptySlot = 0;
constexpr uint64_t kDeletedSlot = UINT32_MAX;

constexpr HiveTree::KeyId SlotKey(uint64_t slot) {
    return static_cast<HiveTree::KeyId>(slot) - 1;
}
constexpr uint32_t SlotHash(uint64_t slot) {
    return static_cast<uint32_t>(slot >> 32);
}

// Splits off the first component of a backslash-separated path.
std::string_view NextComponent(std::string_view& path) {
    const std::size_t cut = path.find('\\');
    const std::string_view component = path.substr(0, cut);
    path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
    return component;
}

}  // namespace

HiveTree::HiveTree() {
    m_keys.emplace_back();
    m_index.assign(1024, kEmptySlot);
}

HiveTree::~HiveTree() = default;

void HiveTree::AdoptText(TextBuffer text, RegistryTextFormat format) {
    m_text = std::move(text);
    m_format = format;
}

uint32_t HiveTree::Hash(KeyId parent, std::string_view name) {
    return static_cast<uint32_t>(RegNameHash(name, parent));
}

void HiveTree::Reserve(std::size_t keys) {
    m_keys.reserve(keys);
    // Only children of keys with many of them enter the index: in real hives about a quarter.
    const std::size_t slots = std::bit_ceil(keys / 2);
    if (slots > m_index.size()) {
        Rehash(slots);
    }
}

void HiveTree::Rehash(std::size_t slots) {
    decltype(m_index) old;
    old.swap(m_index);
    m_index.assign(slots, kEmptySlot);
    m_indexUsed = 0;
    for (const uint64_t entry : old) {
        if (entry != kEmptySlot && entry != kDeletedSlot) {
            Place(SlotKey(entry));
        }
    }
}

std::size_t HiveTree::Probe(KeyId parent, std::string_view name, uint32_t hash) const {
    const std::size_t mask = m_index.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const uint64_t entry = m_index[slot];
        if (entry == kEmptySlot) {
            return slot;
        }
        if (entry != kDeletedSlot && SlotHash(entry) == hash) {
            const Key& key = m_keys[SlotKey(entry)];
            if (key.parent == parent && RegNameEquals(key.name, name)) {
                return slot;
            }
        }
    }
}

HiveTree::KeyId HiveTree::FindChild(KeyId parent, std::string_view name) const {
    if (!m_keys[parent].indexed) {
        for (const KeyId child : m_keys[parent].children) {
            if (!m_keys[child].deleted && RegNameEquals(m_keys[child].name, name)) {
                return child;
            }
        }
        return kNoKey;
    }
    const uint64_t entry = m_index[Probe(parent, name, Hash(parent, name))];
    return entry == kEmptySlot ? kNoKey : SlotKey(entry);
}

void HiveTree::IndexInsert(KeyId id) {
    // Keep the table at most half full so probes stay short.
    if ((m_indexUsed + 1) * 2 > m_index.size()) {
        Rehash(m_index.size() * 2);
    }
    Key& key = m_keys[id];
    key.hash = Hash(key.parent, key.name);
    Place(id);
}

void HiveTree::Place(KeyId id) {
    const std::size_t mask = m_index.size() - 1;
    std::size_t slot = m_keys[id].hash & mask;
    while (m_index[slot] != kEmptySlot && m_index[slot] != kDeletedSlot) {
        slot = (slot + 1) & mask;
    }
    if (m_index[slot] == kEmptySlot) {
        ++m_indexUsed;
    }
    m_index[slot] = (static_cast<uint64_t>(m_keys[id].hash) << 32) | (id + 1);
}

void HiveTree::IndexErase(KeyId id) {
    const std::size_t mask = m_index.size() - 1;
    for (std::size_t slot = m_keys[id].hash & mask; m_index[slot] != kEmptySlot; slot = (slot + 1) & mask) {
        if (SlotKey(m_index[slot]) == id) {
            m_index[slot] = kDeletedSlot;
            return;
        }
    }
}

HiveTree::KeyId HiveTree::FindKey(std::string_view path, KeyId from) const {
    KeyId key = from;
    while (!path.empty() && key != kNoKey) {
        const std::string_view name = NextComponent(path);
        if (!name.empty()) {
            key = FindChild(key, name);
        }
    }
    return key;
}

void HiveTree::IndexChildren(KeyId parent) {
    m_keys[parent].indexed = true;
    for (const KeyId child : m_keys[parent].children) {
        if (!m_keys[child].deleted) {
            IndexInsert(child);
        }
    }
}

HiveTree::KeyId HiveTree::FindOrCreateChild(KeyId parent, std::string_view name) {
    if (!m_keys[parent].indexed) {
        const KeyId existing = FindChild(parent, name);
        if (existing != kNoKey) {
            return existing;
        }
        const KeyId id = AppendKey(parent, name);
        // Few children are searched one by one; the index takes over for good when a key has many.
        if (m_keys[parent].children.size() > kScanLimit) {
            IndexChildren(parent);
        }
        return id;
    }
    const uint32_t hash = Hash(parent, name);
    const std::size_t slot = Probe(parent, name, hash);
    if (m_index[slot] != kEmptySlot) {
        return SlotKey(m_index[slot]);
    }
    const KeyId id = AppendKey(parent, name);
    m_keys[id].hash = hash;
    if ((m_indexUsed + 1) * 2 > m_index.size()) {
        Rehash(m_index.size() * 2);
        Place(id);
    } else {
        // The probe ended on the empty slot where the new key belongs.
        ++m_indexUsed;
        m_index[slot] = (static_cast<uint64_t>(hash) << 32) | (id + 1);
    }
    return id;
}

HiveTree::KeyId HiveTree::AppendKey(KeyId parent, std::string_view name) {
    const auto id = static_cast<KeyId>(m_keys.size());
    Key& key = m_keys.emplace_back();
    key.name = name;
    key.parent = parent;
    m_keys[parent].children.push_back(id);
    m_keys[parent].ordered = false;
    return id;
}

std::string_view HiveTree::StoreName(std::string name) {
    return m_names.emplace_back(std::move(name));
}

HiveTree::KeyId HiveTree::CreateKey(std::string_view path) {
    KeyId key = kRootKey;
    while (!path.empty()) {
        const std::string_view name = NextComponent(path);
        if (name.empty()) {
            continue;
        }
        const KeyId child = FindChild(key, name);
        key = child != kNoKey ? child : FindOrCreateChild(key, StoreName(std::string(name)));
    }
    return key;
}

void HiveTree::DeleteKey(KeyId id) {
    if (id == kRootKey || id >= m_keys.size() || m_keys[id].deleted) {
        return;
    }
    // Only the key itself becomes unreachable: its subtree is reached through it alone. Its slot in
    // m_keys stays, and its parent drops it from the list of children with the next sort.
    Key& key = m_keys[id];
    key.deleted = true;
    m_keys[key.parent].ordered = false;
    if (m_keys[key.parent].indexed) {
        IndexErase(id);
    }
}

const std::vector<HiveTree::KeyId>& HiveTree::Subkeys(KeyId id) const {
    const Key& key = m_keys[id];
    if (!key.ordered) {
        std::erase_if(key.children, [this](KeyId child) { return m_keys[child].deleted; });
        // Most keys have one subkey or none: nothing to sort, and no buffer for it.
        if (key.children.size() > 1) {
            // Stable, so names that only differ in letters folded here alone keep their file order.
            std::stable_sort(key.children.begin(), key.children.end(), [this](KeyId a, KeyId b) {
                return RegNameSortsBefore(m_keys[a].name, m_keys[b].name);
            });
        }
        key.ordered = true;
    }
    return key.children;
}

void HiveTree::AddValueBlock(KeyId key, std::size_t offset, std::size_t length) {
    const std::string_view lines = Text().substr(offset, length);
    // Most keys have only the blank line before the next key: nothing to read, ever.
    if (lines.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return;
    }
    Key& entry = m_keys[key];
    const Block block{static_cast<uint32_t>(offset), static_cast<uint32_t>(length)};
    if (entry.blockLength == 0) {
        entry.blockOffset = block.offset;
        entry.blockLength = block.length;
        return;
    }
    // A key that comes again in the file: its later lines apply on top of the earlier ones.
    std::vector<Block>& blocks = m_repeatedKeyBlocks[key];
    if (blocks.empty()) {
        blocks.push_back({entry.blockOffset, entry.blockLength});
    }
    blocks.push_back(block);
}

const RegistryValueRecords* HiveTree::Records(KeyId key) const {
    const Key& entry = m_keys[key];
    if (entry.records != kNoValues) {
        return &m_records[entry.records];
    }
    if (entry.blockLength == 0) {
        return nullptr;
    }
    const Block first{entry.blockOffset, entry.blockLength};
    const auto later = m_repeatedKeyBlocks.find(key);
    const RegistryValueRecords& records = m_records.emplace_back(
        m_format, Text(),
        later != m_repeatedKeyBlocks.end() ? std::span<const Block>(later->second) : std::span(&first, 1));
    if (!records.Complete()) {
        MarkPartial();
    }
    entry.records = static_cast<uint32_t>(m_records.size() - 1);
    return &records;
}

std::vector<RegValue>& HiveTree::MaterialiseValues(KeyId key) const {
    const Key& entry = m_keys[key];
    if (entry.values == kNoValues) {
        std::vector<RegValue> values;
        if (const RegistryValueRecords* records = Records(key)) {
            values.resize(records->Size());
            for (std::size_t i = 0; i < values.size(); ++i) {
                records->Decode(i, values[i]);
            }
            m_records[entry.records].Release();
            m_repeatedKeyBlocks.erase(key);
        }
        entry.blockLength = 0;
        entry.records = kNoValues;
        entry.values = static_cast<uint32_t>(m_values.size());
        m_values.push_back(std::move(values));
    }
    return m_values[entry.values];
}

void HiveTree::ParseAllValues() const {
    std::vector<KeyId> pending{kRootKey};
    while (!pending.empty()) {
        const KeyId key = pending.back();
        pending.pop_back();
        MaterialiseValues(key);
        const std::vector<KeyId>& children = Subkeys(key);
        pending.insert(pending.end(), children.begin(), children.end());
    }
}

const std::vector<RegValue>& HiveTree::Values(KeyId key) const {
    return MaterialiseValues(key);
}

std::size_t HiveTree::ValueCount(KeyId key) const {
    const Key& entry = m_keys[key];
    if (entry.values != kNoValues) {
        return m_values[entry.values].size();
    }
    const RegistryValueRecords* records = Records(key);
    return records != nullptr ? records->Size() : 0;
}

bool HiveTree::ReadValue(KeyId key, std::size_t position, RegValue& value) const {
    const Key& entry = m_keys[key];
    if (entry.values != kNoValues) {
        const std::vector<RegValue>& values = m_values[entry.values];
        if (position >= values.size()) {
            return false;
        }
        value = values[position];
        return true;
    }
    const RegistryValueRecords* records = Records(key);
    if (records == nullptr || position >= records->Size()) {
        return false;
    }
    records->Decode(position, value);
    return true;
}

bool HiveTree::ReadValue(KeyId key, std::string_view name, RegValue& value) const {
    if (m_keys[key].values != kNoValues) {
        const RegValue* found = FindValue(key, name);
        if (found != nullptr) {
            value = *found;
        }
        return found != nullptr;
    }
    const RegistryValueRecords* records = Records(key);
    const std::size_t found = records != nullptr ? records->Find(name) : RegistryValueRecords::kNotFound;
    if (found == RegistryValueRecords::kNotFound) {
        return false;
    }
    records->Decode(found, value);
    return true;
}

const RegValue* HiveTree::FindValue(KeyId key, std::string_view name) const {
    for (const RegValue& value : MaterialiseValues(key)) {
        if (RegNameEquals(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void HiveTree::SetValue(KeyId key, RegValue value) {
    std::vector<RegValue>& values = MaterialiseValues(key);
    for (RegValue& existing : values) {
        if (RegNameEquals(existing.name, value.name)) {
            existing = std::move(value);
            return;
        }
    }
    values.push_back(std::move(value));
}

void HiveTree::SetValues(KeyId key, std::vector<RegValue> values) {
    MaterialiseValues(key) = std::move(values);
}

}  // namespace platform
