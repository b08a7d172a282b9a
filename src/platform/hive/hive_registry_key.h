#pragma once

#include "platform/hive/hive_tree.h"
#include "platform/registry.h"

namespace platform {

class HiveRegistry;

// An open key of a HiveRegistry. A writable key belongs to HKCU, whose file is rewritten after
// every change.
class HiveRegistryKey : public RegistryKey {
public:
    HiveRegistryKey(HiveTree& hive, HiveTree::KeyId key, const HiveRegistry* owner, bool writable)
        : m_hive(hive), m_key(key), m_owner(owner), m_bWritable(writable) {}

    RegResult QueryInfo(std::string& className, uint32_t& subkeyCount, uint32_t& valueCount) const override;
    RegResult EnumKey(uint32_t index, std::size_t maxNameChars, std::string& name) const override;
    RegResult EnumValue(uint32_t index, std::size_t maxNameChars, std::size_t maxDataBytes,
                        RegValue& value) const override;
    RegResult QueryValue(std::string_view name, std::size_t maxDataBytes, RegValue& value) const override;
    RegResult SetValue(std::string_view name, RegType type, const std::vector<uint8_t>& data) override;

    bool IsIn(const HiveTree& hive) const { return &m_hive == &hive; }
    HiveTree::KeyId Id() const { return m_key; }

private:
    HiveTree& m_hive;
    HiveTree::KeyId m_key;
    const HiveRegistry* m_owner;
    bool m_bWritable;
};

}  // namespace platform
