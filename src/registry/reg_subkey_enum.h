#pragma once

#include <string>

#include "registry/reg_enum.h"

// Position over the subkeys of a walker's top key; names longer than 255 characters are passed over.
class CRegSubkeyEnum final : public CRegEnum {
public:
    static constexpr std::size_t kMaxNameChars = 255;

    explicit CRegSubkeyEnum(CRegistryWalker& walker) : CRegEnum(walker) {}

    const std::string& Name() const { return m_szName; }

private:
    uint32_t CountOf(uint32_t subkeys, uint32_t /*values*/) const override { return subkeys; }
    platform::RegResult FetchAt(const platform::RegistryKey& key, uint32_t position) override {
        return key.EnumKey(position, kMaxNameChars, m_szName);
    }
    void Clear() override { m_szName.clear(); }

    std::string m_szName;
};
