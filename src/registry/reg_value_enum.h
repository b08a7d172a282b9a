#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "registry/reg_enum.h"

// Position over the values of a walker's top key; a value whose name is longer than 255
// characters or whose data is longer than 256 bytes is passed over.
class CRegValueEnum final : public CRegEnum {
public:
    static constexpr std::size_t kMaxNameChars = 255;
    static constexpr std::size_t kMaxDataBytes = 256;

    explicit CRegValueEnum(CRegistryWalker& walker) : CRegEnum(walker) {}

    const std::string& Name() const { return m_value.name; }
    platform::RegType Type() const { return m_value.type; }
    const std::vector<uint8_t>& Data() const { return m_value.data; }
    // The data read as a text: up to its terminator, or all of it when it has none.
    std::string DataText() const;

private:
    uint32_t CountOf(uint32_t /*subkeys*/, uint32_t values) const override { return values; }
    platform::RegResult FetchAt(const platform::RegistryKey& key, uint32_t position) override {
        return key.EnumValue(position, kMaxNameChars, kMaxDataBytes, m_value);
    }
    // Keeps the buffers: a key of many values is enumerated without an allocation for each.
    void Clear() override {
        m_value.name.clear();
        m_value.type = platform::RegType::None;
        m_value.data.clear();
    }

    platform::RegValue m_value;
};
