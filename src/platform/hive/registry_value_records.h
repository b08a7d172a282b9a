#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace platform {

enum class RegistryTextFormat;
class RegistryNameIndex;

// The values of one key as the places of their lines in the hive's text: a key of a hundred thousand
// values costs a few bytes each, and a value is decoded only when it is asked for. The lines are
// applied in order when the records are made (sets and deletions; a value set again keeps its first
// name and place), so what is handed out is what the platform's registry would hold.
class RegistryValueRecords {
public:
    static constexpr std::size_t kNotFound = SIZE_MAX;

    struct TextRange {
        uint32_t offset;
        uint32_t length;
    };

    // `blocks` are the ranges of `text` that hold the key's value lines; the text must outlive the
    // records.
    RegistryValueRecords(RegistryTextFormat format, std::string_view text, std::span<const TextRange> blocks);
    ~RegistryValueRecords();
    // The name index refers to the records: they stay where they were made.
    RegistryValueRecords(const RegistryValueRecords&) = delete;
    RegistryValueRecords& operator=(const RegistryValueRecords&) = delete;

    // Gives the memory back once the values are kept decoded elsewhere.
    void Release();

    // False when a line was left out: a comment or one that cannot be read.
    bool Complete() const { return m_bComplete; }
    std::size_t Size() const { return m_records.size(); }
    void Decode(std::size_t position, RegValue& value) const;
    // Compared without regard to case.
    std::size_t Find(std::string_view name) const;
    // The name of the value at `position`; it may be kept in `scratch`.
    std::string_view NameAt(std::size_t position, std::string& scratch) const;

private:
    using Line = TextRange;
    struct Record {
        // The line that first gave the value its name, and the one that last set its data.
        Line name;
        Line data;
    };

    void Apply(Line place, std::string_view line, std::vector<bool>& deleted);
    std::size_t FindAlive(std::string_view name, uint32_t tag, const std::vector<bool>& deleted) const;
    void BuildIndex(const std::vector<bool>& deleted) const;
    std::string_view LineText(Line line, std::string& joined) const;

    RegistryTextFormat m_format;
    std::string_view m_text;
    std::vector<Record> m_records;
    // Keys with more values than a scan suits find them through this, made on the first search.
    mutable std::unique_ptr<RegistryNameIndex> m_index;
    bool m_bComplete = true;
};

}  // namespace platform
