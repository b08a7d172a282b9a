#include "platform/hive/registry_value_records.h"

#include "platform/hive/registry_name_index.h"
#include "platform/hive/registry_text_parser.h"
#include "platform/registry_name.h"

namespace platform {

namespace {

// Few values are searched one by one; the index takes over when there are many.
constexpr std::size_t kScanLimit = 8;

}  // namespace

RegistryValueRecords::RegistryValueRecords(RegistryTextFormat format, std::string_view text,
                                           std::span<const TextRange> blocks)
    : m_format(format), m_text(text) {
    // About as many values as lines that start like one: room for them at once, as growing would
    // fault in fresh pages again and again.
    std::size_t valueLines = 0;
    for (const TextRange range : blocks) {
        const std::string_view block = m_text.substr(range.offset, range.length);
        for (std::size_t start = 0; start < block.size();) {
            valueLines += block[start] == '"' || block[start] == '@' ? 1 : 0;
            const std::size_t eol = block.find('\n', start);
            start = eol == std::string_view::npos ? block.size() : eol + 1;
        }
    }
    m_records.reserve(valueLines);
    if (valueLines > kScanLimit) {
        m_index = std::make_unique<RegistryNameIndex>(*this, valueLines);
    }
    // Marks of deleted values, as far as the list went at the last deletion; most keys have none.
    std::vector<bool> deleted;
    std::string joined;
    for (const TextRange range : blocks) {
        std::string_view lines = m_text.substr(range.offset, range.length);
        while (!lines.empty()) {
            const char* start = lines.data();
            const std::string_view line = TakeLogicalLine(lines, joined);
            Apply({static_cast<uint32_t>(start - m_text.data()), static_cast<uint32_t>(lines.data() - start)},
                  line, deleted);
        }
    }
    if (deleted.empty()) {
        return;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (i >= deleted.size() || !deleted[i]) {
            m_records[kept++] = m_records[i];
        }
    }
    m_records.resize(kept);
    // The places changed; a later search indexes them anew.
    m_index.reset();
}

RegistryValueRecords::~RegistryValueRecords() = default;

void RegistryValueRecords::Release() {
    m_index.reset();
    std::vector<Record>().swap(m_records);
}

void RegistryValueRecords::Apply(Line place, std::string_view line, std::vector<bool>& deleted) {
    RegValueLine parts;
    const ValueLineKind kind = SplitValueLine(m_format, line, parts);
    if (kind != ValueLineKind::Value) {
        m_bComplete = m_bComplete && kind == ValueLineKind::Blank;
        return;
    }
    std::string unescaped;
    std::string_view name = parts.name;
    if (name.find('\\') != std::string_view::npos) {
        DecodeValueName(m_format, name, unescaped);
        name = unescaped;
    }
    // Only an index needs the hash; a key of few values is scanned.
    const bool indexed = m_index || m_records.size() > kScanLimit;
    const uint32_t tag = indexed ? RegistryNameIndex::Tag(name) : 0;
    const std::size_t found = FindAlive(name, tag, deleted);
    if (parts.erase) {
        if (found != kNotFound) {
            if (m_index) {
                m_index->Remove(found);
            }
            deleted.resize(m_records.size());
            deleted[found] = true;
        }
        return;
    }
    if (found != kNotFound) {
        m_records[found].data = place;
        return;
    }
    // A value set again after its deletion goes to the end, as in the platform's registry.
    m_records.push_back({place, place});
    if (indexed) {
        m_index->Add(m_records.size() - 1, tag);
    }
}

std::size_t RegistryValueRecords::FindAlive(std::string_view name, uint32_t tag,
                                            const std::vector<bool>& deleted) const {
    if (!m_index && m_records.size() > kScanLimit) {
        BuildIndex(deleted);
    }
    if (m_index) {
        return m_index->Find(name, tag);
    }
    std::string scratch;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if ((i >= deleted.size() || !deleted[i]) && RegNameEquals(NameAt(i, scratch), name)) {
            return i;
        }
    }
    return kNotFound;
}

void RegistryValueRecords::BuildIndex(const std::vector<bool>& deleted) const {
    m_index = std::make_unique<RegistryNameIndex>(*this, m_records.size());
    std::string scratch;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (i >= deleted.size() || !deleted[i]) {
            m_index->Add(i, RegistryNameIndex::Tag(NameAt(i, scratch)));
        }
    }
}

std::size_t RegistryValueRecords::Find(std::string_view name) const {
    return FindAlive(name, RegistryNameIndex::Tag(name), {});
}

std::string_view RegistryValueRecords::LineText(Line line, std::string& joined) const {
    std::string_view lines = m_text.substr(line.offset, line.length);
    return TakeLogicalLine(lines, joined);
}

std::string_view RegistryValueRecords::NameAt(std::size_t position, std::string& scratch) const {
    RegValueLine parts;
    SplitCheckedValueLine(LineText(m_records[position].name, scratch), parts);
    if (parts.name.find('\\') == std::string_view::npos) {
        return parts.name;
    }
    std::string unescaped;
    DecodeValueName(m_format, parts.name, unescaped);
    scratch = std::move(unescaped);
    return scratch;
}

void RegistryValueRecords::Decode(std::size_t position, RegValue& value) const {
    const Record& record = m_records[position];
    std::string joined;
    RegValueLine parts;
    SplitCheckedValueLine(LineText(record.name, joined), parts);
    DecodeValueName(m_format, parts.name, value.name);
    if (record.data.offset != record.name.offset) {
        SplitCheckedValueLine(LineText(record.data, joined), parts);
    }
    DecodeValueData(m_format, parts.data, value);
}

}  // namespace platform
