#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/hive/registry_value_records.h"
#include "platform/huge_page_allocator.h"
#include "platform/registry.h"
#include "platform/text_buffer.h"

namespace platform {

enum class RegistryTextFormat { Unknown, Regedit5, Regedit4, Wine2 };

// A registry tree in memory, as loaded from a registry text file. Large hives (a Wine system.reg
// runs to tens of megabytes) load quickly and stay small because only the key lines are read at
// load time: the text is kept and a key's value lines are parsed when the key is first asked for
// its values. Reading may parse, so a hive is used by one thread at a time.
class HiveTree {
public:
    using KeyId = uint32_t;
    static constexpr KeyId kRootKey = 0;
    static constexpr KeyId kNoKey = UINT32_MAX;

    HiveTree();
    ~HiveTree();
    HiveTree(const HiveTree&) = delete;
    HiveTree& operator=(const HiveTree&) = delete;

    // Room for this many keys without growing (a hint; more may follow).
    void Reserve(std::size_t keys);
    // Takes over the text whose value lines later key blocks point into.
    void AdoptText(TextBuffer text, RegistryTextFormat format);
    std::string_view Text() const { return m_text.View(); }
    RegistryTextFormat Format() const { return m_format; }
    // A 64-bit Windows keeps 32-bit programs' SOFTWARE below Software\Wow6432Node: a Wine prefix
    // marked win64, or the machine a regedit export holding that key came from.
    bool IsWin64() const { return m_bWin64; }
    void SetWin64(bool win64) { m_bWin64 = win64; }
    // The text held more than the hive: keys of other roots, or lines it could not read (comments
    // among them). Writing the hive back in its place would lose them. Value lines are read on first
    // use, so only after ParseAllValues does this tell about all of them.
    bool IsPartial() const { return m_bPartial; }
    void MarkPartial() const { m_bPartial = true; }
    void ParseAllValues() const;

    // Keys: paths are backslash-separated below the hive's root (or below `from`), "" is that key itself.
    KeyId FindKey(std::string_view path, KeyId from = kRootKey) const;
    KeyId FindChild(KeyId parent, std::string_view name) const;
    KeyId CreateKey(std::string_view path);
    // `name` must stay valid as long as the hive: a view into the adopted text, or StoreName's result.
    KeyId FindOrCreateChild(KeyId parent, std::string_view name);
    std::string_view StoreName(std::string name);
    void DeleteKey(KeyId key);

    std::string_view KeyName(KeyId key) const { return m_keys[key].name; }
    // The subkeys in the order the platform enumerates them (see RegNameSortsBefore).
    const std::vector<KeyId>& Subkeys(KeyId key) const;

    // Values: a key's value lines, given as ranges of the adopted text (a key may come again in the
    // file), added while the text loads and read on first use in file order. Reading hands out one value at a
    // time, decoded into the caller's buffers; Values and FindValue decode all of a key's values and keep
    // them (the user's hive, which is written back, and callers that hold on to them).
    void AddValueBlock(KeyId key, std::size_t offset, std::size_t length);
    const std::vector<RegValue>& Values(KeyId key) const;
    // Without value lines a key has none; a walk asks every key it passes, so those are not read.
    std::size_t ValueCount(KeyId key) const;
    // False past the last value.
    bool ReadValue(KeyId key, std::size_t position, RegValue& value) const;
    // False when the key has no value of that name.
    bool ReadValue(KeyId key, std::string_view name, RegValue& value) const;
    const RegValue* FindValue(KeyId key, std::string_view name) const;
    void SetValue(KeyId key, RegValue value);
    void SetValues(KeyId key, std::vector<RegValue> values);

private:
    struct Key {
        std::string_view name;
        KeyId parent = kNoKey;
        // RegNameHash of (parent, name), set when the key enters the index.
        uint32_t hash = 0;
        // Deleted children leave on the next sort; until then they are only marked.
        mutable std::vector<KeyId> children;
        // Value lines not read yet; length 0 when none are pending. A key that comes again in the
        // file has all its blocks, this one first, in m_repeatedKeyBlocks.
        uint32_t blockOffset = 0;
        mutable uint32_t blockLength = 0;
        // The lines read into records, an index into m_records; then, once decoded and kept, an
        // index into m_values. kNoValues before.
        mutable uint32_t records = kNoValues;
        mutable uint32_t values = kNoValues;
        bool deleted = false;
        // The children are found through m_index instead of by a scan.
        bool indexed = false;
        // The children are in enumeration order and without deleted ones.
        mutable bool ordered = true;
    };
    using Block = RegistryValueRecords::TextRange;
    static constexpr uint32_t kNoValues = UINT32_MAX;
    // Keys with at most this many children find them by a scan, the others through m_index.
    static constexpr std::size_t kScanLimit = 8;

    // The records of a key whose values are not kept decoded; none when it has no value lines.
    const RegistryValueRecords* Records(KeyId key) const;
    std::vector<RegValue>& MaterialiseValues(KeyId key) const;
    void IndexChildren(KeyId parent);
    KeyId AppendKey(KeyId parent, std::string_view name);
    static uint32_t Hash(KeyId parent, std::string_view name);
    // The slot holding the child `name` of `parent`, or the empty slot where it would go.
    std::size_t Probe(KeyId parent, std::string_view name, uint32_t hash) const;
    void IndexInsert(KeyId key);
    // Puts a key whose hash is known into the index.
    void Place(KeyId key);
    void IndexErase(KeyId key);
    void Rehash(std::size_t slots);

    TextBuffer m_text;
    RegistryTextFormat m_format = RegistryTextFormat::Unknown;
    bool m_bWin64 = false;
    mutable bool m_bPartial = false;
    std::vector<Key, HugePageAllocator<Key>> m_keys;
    // Open-addressed table over (parent, folded name) of the children of keys with many.
    std::vector<uint64_t, HugePageAllocator<uint64_t>> m_index;
    std::size_t m_indexUsed = 0;
    std::deque<std::string> m_names;
    // A deque: records stay where they are while more are made.
    mutable std::deque<RegistryValueRecords> m_records;
    mutable std::vector<std::vector<RegValue>> m_values;
    mutable std::unordered_map<KeyId, std::vector<Block>> m_repeatedKeyBlocks;
};

}  // namespace platform
